// Loading a full list (32,767 rows) into the playlist window's grid, through the real windows: the grid is the one
// the program's manifest names, created by class identity, and the load is the one start-up and the open command use.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/automation/ClassRegistry.h"

namespace {

constexpr std::size_t kRows = 32767;

// Titles and artists as a real library has them: mixed Chinese and Latin, a folder per album.
media::PlaylistRecord Record(std::size_t i) {
    const std::u16string n = QString::number(i + 1).toStdU16String();
    const std::u16string album = QString::number(i / 12).toStdU16String();
    return {u"第" + n + u"首歌 Song " + n, u"歌手 Artist " + album, u"03:4" + n.substr(n.size() - 1),
            u"/home/user/Music/专辑 " + album + u"/" + n + u" - 第" + n + u"首歌.mp3"};
}

void BM_LoadFullList(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath(QStringLiteral("default.lst")).toStdString();
    if (!media::SavePlaylistFile(path, kRows, Record)) {
        state.SkipWithError("could not write the list");
        return;
    }
    media::Shared().PlayListFile = QString::fromStdString(path).toStdU16String();
    media::GridProxy& grid = media::frmList().PlayList();
    for (auto _ : state) {
        state.PauseTiming();
        grid.Clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        media::frmList().LoadPlayList();
    }
    if (grid.ItemCount() != static_cast<std::int32_t>(kRows)) state.SkipWithError("not every row was loaded");
    state.counters["rows"] = grid.ItemCount();
    state.SetItemsProcessed(state.iterations() * grid.ItemCount());
}
BENCHMARK(BM_LoadFullList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The copy of a full list the ending would write, as the window thread takes it once the list's edits rest (or
// every few seconds during a long add) so that a freeze cannot cost the list: the rows read through the grid and
// encoded.
void BM_EndingCopyOfAFullList(benchmark::State& state) {
    media::GridProxy& grid = media::frmList().PlayList();
    if (grid.ItemCount() != static_cast<std::int32_t>(kRows)) media::frmList().LoadPlayList();
    std::size_t bytes = 0;
    for (auto _ : state) bytes = media::frmList().EncodeRows(media::Shared().PlayListFile).size();
    state.counters["rows"] = grid.ItemCount();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EndingCopyOfAFullList)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    automation::ClassRegistry::Instance().AddManifest(automation::ProgramFolder() + "/media.manifest");
    media::frmMain().Transport().SetGrid(media::frmList().PlayList());
    media::Shared().PlayListFile.clear();
    media::frmList().Load();
    if (!media::frmList().PlayList().Valid()) {
        fprintf(stderr, "the grid library was not found through media.manifest\n");
        return 1;
    }
    media::frmMain().Transport().TimerMain.SetEnabled(false);  // the poller would act on the track the load starts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    media::DestroyWindows();
    return 0;
}
