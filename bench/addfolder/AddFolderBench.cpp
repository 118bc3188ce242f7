// The add-folder command on a folder of 2,500 tagged files (2,000 MP3 in album folders, 500 WMA) into the real grid,
// shown on a window, with the dialog answered by a hook. Besides the time, reports the longest the interface waited
// for its turn during a run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "lorvex/listview/ListView.h"
#include "media/playlist/AddMedia.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/automation/ControlHosting.h"
#include "platform/forms/CommonDialogs.h"
#include "tests/media/readers/TagFileBuilder.h"

using namespace tagfile;

namespace {

constexpr int kAlbums = 20;
constexpr int kMp3PerAlbum = 100;
constexpr int kWmaFiles = 500;

std::string Mp3(int album, int track) {
    const std::u16string n = text::FromUtf8(std::to_string(album * 100 + track));
    const std::string frames = Id3v2Frame(3, "TIT2", TextBody(1, u"第" + n + u"首歌")) +
                               Id3v2Frame(3, "TPE1", TextBody(1, u"歌手" + n)) +
                               Id3v2Frame(3, "TALB", TextBody(1, u"专辑"));
    return Id3v2Tag(3, frames, 1024) + Mpeg1Audio(4180) + Id3v1("Song", "Artist", "Album", "2008");
}

std::string Wma(int i) {
    const std::u16string n = text::FromUtf8(std::to_string(i));
    std::vector<std::string> objects = AsfMandatoryObjects();
    objects.push_back(AsfContentDescription(u"曲目" + n, u"作者" + n, u"(C) 2005"));
    objects.push_back(AsfExtendedContent({{u"WM/AlbumTitle", u"专辑"}, {u"WM/Year", u"2005"}}));
    return AsfFile(objects, 4096);
}

struct Library {
    TempDir dir;
    Library() {
        for (int a = 0; a < kAlbums; ++a) {
            std::filesystem::create_directories(dir / ("album" + std::to_string(a)));
            for (int t = 0; t < kMp3PerAlbum; ++t)
                WriteFile(dir / ("album" + std::to_string(a)) / ("track" + std::to_string(t) + ".mp3"), Mp3(a, t));
        }
        std::filesystem::create_directories(dir / "wma");
        for (int i = 0; i < kWmaFiles; ++i) WriteFile(dir / "wma" / ("song" + std::to_string(i) + ".wma"), Wma(i));
        WriteFile(dir / "cover.jpg", std::string(2048, 'j'));
    }
};

// The playlist grid with its design and columns, on a shown window of the playlist's size.
class Site : public automation::ControlSite {
public:
    Site() {
        container.resize(263, 312);
        grid = lorvex::ListView::Create();
        grid->SetSite(this);
        grid->ReadProperties(media::PlaylistGridDesign());
        proxy = media::GridProxy(static_cast<automation::Dispatch*>(grid.Get()));
        media::SetUpColumns(proxy);
        container.show();
    }
    QWidget* ContainerWidget() override { return &container; }
    bool UserMode() const override { return true; }
    void PropertyChanged(automation::DispId) override {}

    QWidget container;
    automation::Ref<lorvex::ListView> grid;
    media::GridProxy proxy;
};

void BM_AddFolder(benchmark::State& state) {
    static Library library;
    Site site;
    const QString folder = QString::fromStdString(library.dir.Path().string());
    forms::SetDialogHook([folder](const forms::DialogRequest&) { return QStringList{folder}; });

    // A timer that wants to run all the time: the gaps between its runs are what a user would feel.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    std::int32_t rows = 0;
    for (auto _ : state) {
        site.proxy.Clear();
        QCoreApplication::processEvents();
        sinceTick.start();
        ticker.start(0);
        media::MediaAdder adder(site.proxy);
        media::AddFolderCommand(nullptr, adder);
        ticker.stop();
        rows = site.proxy.ItemCount();
    }
    forms::SetDialogHook({});
    if (rows != kAlbums * kMp3PerAlbum + kWmaFiles) state.SkipWithError("not every file was added");
    state.counters["files"] = rows;
    state.counters["longest_wait_ms"] = static_cast<double>(longestGap);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AddFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
