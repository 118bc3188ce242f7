// Filling the grid with the most rows it holds, through its dispatch interface, and sorting them.
#include <benchmark/benchmark.h>

#include <QWidget>
#include <random>

#include "lorvex/listview/ListView.h"
#include "platform/automation/ControlHosting.h"

using namespace lorvex;
using automation::InvokeKind;
using automation::Variant;

namespace {

constexpr int kRows = 32767;

class Site : public automation::ControlSite {
public:
    QWidget* ContainerWidget() override { return &container; }
    bool UserMode() const override { return true; }
    void PropertyChanged(DispId) override {}
    QWidget container;
};

// A grid with the playlist's eight columns, placed on a container as the player places it.
Ref<ListView> NewGrid(Site& site) {
    Ref<ListView> grid = ListView::Create();
    grid->SetSite(&site);
    grid->ReadProperties(automation::PropertyBag{});
    for (const char16_t* key : {u"id", u"l1", u"title", u"l2", u"artist", u"l3", u"time", u"filaname"}) {
        std::vector<Variant> args{Variant(key)};
        grid->Invoke(dispid::AddColumn, InvokeKind::Method, args, nullptr);
    }
    return grid;
}

std::u16string Title(std::mt19937& random) {
    std::u16string t;
    for (int i = 0; i < 12; ++i) t.push_back(static_cast<char16_t>(u'a' + random() % 26));
    return t;
}

void Fill(ListView& grid, int rows) {
    std::mt19937 random(7);
    for (int r = 0; r < rows; ++r) {
        Variant added;
        std::vector<Variant> none;
        grid.Invoke(dispid::AddItem, InvokeKind::Method, none, &added);
        std::vector<Variant> title{added, Variant(std::int32_t(2)), Variant(Title(random))};
        grid.Invoke(dispid::ItemText, InvokeKind::PropertyPut, title, nullptr);
        std::vector<Variant> location{added, Variant(std::int32_t(7)), Variant(u"/music/album/track.mp3")};
        grid.Invoke(dispid::ItemText, InvokeKind::PropertyPut, location, nullptr);
    }
}

void AppendRows(benchmark::State& state) {
    Site site;
    for (auto _ : state) {
        state.PauseTiming();
        Ref<ListView> grid = NewGrid(site);
        grid->SetRedraw(false);
        state.ResumeTiming();
        Fill(*grid, kRows);
        benchmark::DoNotOptimize(grid->ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(AppendRows)->Unit(benchmark::kMillisecond);

void SortRows(benchmark::State& state) {
    Site site;
    for (auto _ : state) {
        state.PauseTiming();
        Ref<ListView> grid = NewGrid(site);
        grid->SetRedraw(false);
        Fill(*grid, kRows);  // random titles, so every run sorts from scratch
        std::vector<Variant> args{Variant(u"title"), Variant(std::int32_t(SortAscending))};
        state.ResumeTiming();
        grid->Invoke(dispid::Sort, InvokeKind::Method, args, nullptr);
    }
}
BENCHMARK(SortRows)->Unit(benchmark::kMillisecond);

}  // namespace
