// One full paint of the grid (header, every visible cell through the custom-draw callback, the copy to the
// window) with the most rows the grid holds against a short list: the cost must not grow with the rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include "lorvex/listview/ListView.h"
#include "lorvex/listview/ListViewWindow.h"
#include "platform/automation/ControlHosting.h"
#include "tests/lorvex/listview/TestHost.h"

using namespace lorvex;
using automation::InvokeKind;
using automation::Variant;

namespace {

// Colours each cell as the player's callback would: alternate rows, the selection in its own colours.
class Striped final : public automation::RefCounted<Dispatch> {
public:
    void* QueryInterface(const Guid& iid) override {
        return iid == automation::Unknown::IID || iid == Dispatch::IID || iid == IID_ICustomDraw
                   ? static_cast<Dispatch*>(this)
                   : nullptr;
    }
    automation::Status Invoke(DispId, InvokeKind, std::span<Variant> args, Variant* result) override {
        const std::int32_t row = args[0].Int32Or();
        args[2].Assign(Variant(std::int32_t(row % 2 ? 0xFCF9F1 : 0xFFFFFF)));
        args[3].Assign(Variant(std::int32_t(0x8F614C)));
        if (result) *result = Variant::FromBool(true);
        return {};
    }
};

// The playlist's eight columns on a 600 x 400 window, rows filled, scrolled to the middle of the list.
struct PaintedGrid {
    explicit PaintedGrid(int rows) {
        site.container.resize(620, 420);
        grid = ListView::Create();
        grid->SetSite(&site);
        grid->Widget()->setGeometry(0, 0, 600, 400);
        grid->ReadProperties(automation::PropertyBag{});
        grid->SetRedraw(false);
        grid->SetCheckboxes(true);
        const std::pair<const char16_t*, int> columns[] = {{u"id", 50},   {u"l1", 1},        {u"title", 250},
                                                           {u"l2", 1},    {u"artist", 150},  {u"l3", 1},
                                                           {u"time", 60}, {u"filaname", 200}};
        for (auto [key, width] : columns) {
            std::vector<Variant> args{Variant(key), Variant(key), Variant(std::int32_t(TextAlignLeft)), Variant(width)};
            grid->Invoke(dispid::AddColumn, InvokeKind::Method, args, nullptr);
        }
        for (int r = 0; r < rows; ++r) {
            std::int32_t at = -1, added = 0;
            grid->AddItem(at, QString::number(r + 1).toStdU16String() + u".", -1, added);
            grid->SetItemText(added, 2, u"A title of moderate length " + QString::number(r).toStdU16String());
            grid->SetItemText(added, 4, u"Some Artist");
            grid->SetItemText(added, 6, u"03:25");
            grid->SetItemText(added, 7, u"/music/album/track.mp3");
            grid->Items()[static_cast<std::size_t>(added)].selected = r % 7 == 0;
        }
        grid->SetDrawCallback(Ref<Dispatch>(new Striped));
        grid->SetRedraw(true);
        grid->MakeSureVisible(rows / 2, -1);
        site.container.show();
        QApplication::processEvents();
    }
    TestSite site;
    Ref<ListView> grid;
};

void FullPaint(benchmark::State& state) {
    PaintedGrid painted(static_cast<int>(state.range(0)));
    ControlWindow* window = painted.grid->Window()->Control();
    for (auto _ : state) {
        painted.grid->Window()->PaintList();
        window->repaint();  // renders the back buffer and copies it to the window, now
    }
    state.counters["rows"] = static_cast<double>(painted.grid->ItemCount());
}
BENCHMARK(FullPaint)->Arg(100)->Arg(32767)->Unit(benchmark::kMicrosecond);

}  // namespace
