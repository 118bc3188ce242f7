// The find box's work on a full list (32,767 rows): reading the rows into its index when it opens (from the texts
// alone, and from a real grid through its dispatch interface as the box reads them), and narrowing them as a letter
// is typed, from every row and from the results of the letters before.
#include <benchmark/benchmark.h>

#include <QString>

#include "lorvex/listview/ListView.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/RowFinder.h"

namespace {

constexpr std::size_t kRows = 32767;

// Titles and artists as a real library has them: mixed Chinese and Latin, a folder per album.
media::FindableRow Row(std::size_t i) {
    const std::u16string n = QString::number(i + 1).toStdU16String();
    const std::u16string album = QString::number(i / 12).toStdU16String();
    static const std::u16string kTitles[] = {u"晴天", u"七里香", u"Yesterday", u"后来", u"Hello", u"稻香"};
    const std::u16string& title = kTitles[i % std::size(kTitles)];
    return {title + u" " + n, u"歌手 Artist " + album,
            u"/home/user/Music/专辑 " + album + u"/" + n + u" - " + title + u".mp3"};
}

media::RowFinder& FullFinder() {
    static media::RowFinder finder;
    if (finder.RowCount() == 0) finder.Index(kRows, Row);
    return finder;
}

void BM_IndexRows(benchmark::State& state) {
    for (auto _ : state) {
        media::RowFinder finder;
        finder.Index(kRows, Row);
        benchmark::DoNotOptimize(finder.RowCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
}
BENCHMARK(BM_IndexRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// As the box opens: every row's title, artist and location read from the grid, one call each.
void BM_IndexFromTheGrid(benchmark::State& state) {
    automation::Ref<lorvex::ListView> view = lorvex::ListView::Create();
    media::GridProxy grid(static_cast<automation::Dispatch*>(view.Get()));
    media::SetUpColumns(grid);
    for (std::size_t i = 0; i < kRows; ++i) {
        const media::FindableRow row = Row(i);
        media::AddRow(grid, static_cast<std::int32_t>(i + 1), row.title, row.artist, u"03:00", row.location);
    }
    for (auto _ : state) {
        media::RowFinder finder;
        finder.Index(static_cast<std::size_t>(grid.ItemCount()), [&](std::size_t r) {
            const auto at = static_cast<std::int32_t>(r);
            return media::FindableRow{grid.ItemText(at, media::column::kTitle),
                                      grid.ItemText(at, media::column::kArtist),
                                      grid.ItemText(at, media::column::kLocation)};
        });
        benchmark::DoNotOptimize(finder.RowCount());
    }
    state.counters["rows"] = grid.ItemCount();
}
BENCHMARK(BM_IndexFromTheGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

// A query typed afresh: every row is looked at. A first letter, and pinyin initials that only the initials of the
// rows' Chinese titles hold.
void BM_QueryOverEveryRow(benchmark::State& state, const char16_t* query) {
    media::RowFinder& finder = FullFinder();
    for (auto _ : state) {
        finder.Find(u"");
        benchmark::DoNotOptimize(finder.Find(query).size());
    }
}
BENCHMARK_CAPTURE(BM_QueryOverEveryRow, first_letter, u"h")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_QueryOverEveryRow, pinyin_initials, u"qlx")->Unit(benchmark::kMicrosecond)->UseRealTime();

// A letter added to a query: only the last results are looked at.
void BM_NextKeystroke(benchmark::State& state) {
    media::RowFinder& finder = FullFinder();
    for (auto _ : state) {
        state.PauseTiming();
        finder.Find(u"");
        finder.Find(u"h");
        state.ResumeTiming();
        benchmark::DoNotOptimize(finder.Find(u"he").size());
    }
}
BENCHMARK(BM_NextKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
