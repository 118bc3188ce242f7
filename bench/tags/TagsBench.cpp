// Title and artist of 2,000 tagged MP3 and 500 WMA files: our readers against TagLib, same run,
// same files (warm in the page cache for both).
#include "media/playlist/MediaInfo.h"
#include "tests/media/playlist/TagFileBuilder.h"

#include <benchmark/benchmark.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

using namespace tagfile;

namespace {

constexpr int kMp3Files = 2000;
constexpr int kWmaFiles = 500;

struct Library {
    TempDir dir;
    std::vector<std::string> paths;
    std::vector<std::u16string> locations;

    Library()
    {
        for (int i = 0; i < kMp3Files; ++i) {
            const std::u16string n = text::fromUtf8(std::to_string(i));
            const std::string frames = id3v2Frame(3, "TIT2", textBody(1, u"第" + n + u"首歌")) + id3v2Frame(3, "TPE1", textBody(1, u"歌手" + n))
                + id3v2Frame(3, "TALB", textBody(1, u"专辑")) + id3v2Frame(3, "TYER", textBody(0, u"2008"))
                + id3v2Frame(3, "TCON", textBody(0, u"Pop"));
            add("song" + std::to_string(i) + ".mp3", id3v2Tag(3, frames, 1024) + mpeg1Audio(4180)
                                                        + id3v1("Song " + std::to_string(i), "Artist", "Album", "2008"));
        }
        for (int i = 0; i < kWmaFiles; ++i) {
            const std::u16string n = text::fromUtf8(std::to_string(i));
            std::vector<std::string> objects = asfMandatoryObjects();
            objects.push_back(asfContentDescription(u"曲目" + n, u"作者" + n, u"(C) 2005"));
            objects.push_back(asfExtendedContent(
                {{u"WM/AlbumTitle", u"专辑"}, {u"WM/Year", u"2005"}, {u"WM/Genre", u"Pop"}, {u"WM/AlbumArtist", u"歌手" + n}}));
            add("track" + std::to_string(i) + ".wma", asfFile(objects, 4096));
        }
    }

    void add(const std::string& name, const std::string& bytes)
    {
        writeFile(dir / name, bytes);
        paths.push_back((dir / name).string());
        locations.push_back(text::fromUtf8(paths.back()));
    }
};

Library& library()
{
    static Library files;
    return files;
}

void reportTitles(benchmark::State& state, int titled)
{
    if (titled != kMp3Files + kWmaFiles)
        state.SkipWithError("not every file gave a title");
    state.SetItemsProcessed(state.iterations() * (kMp3Files + kWmaFiles));
}

void BM_OurReaders(benchmark::State& state)
{
    const Library& files = library();  // made before timing starts
    int titled = 0;
    for (auto _ : state) {
        titled = 0;
        for (const std::u16string& location : files.locations) {
            media::MediaInfo info;
            info.FileName = location;
            media::ReadMediaInfo(info);
            titled += !info.Title.empty() && !info.Artist.empty();
            benchmark::DoNotOptimize(info);
        }
    }
    reportTitles(state, titled);
}

// Tags only, or (argument 1) with audio properties too, the nearer match for our readers, which
// also read the first audio frame header.
void BM_TagLib(benchmark::State& state)
{
    const bool audioProperties = state.range(0) != 0;
    const Library& files = library();
    int titled = 0;
    for (auto _ : state) {
        titled = 0;
        for (const std::string& path : files.paths) {
            const TagLib::FileRef file(path.c_str(), audioProperties);
            if (file.isNull() || !file.tag())
                continue;
            const TagLib::String title = file.tag()->title();
            const TagLib::String artist = file.tag()->artist();
            titled += !title.isEmpty() && !artist.isEmpty();
            benchmark::DoNotOptimize(title);
            benchmark::DoNotOptimize(artist);
        }
    }
    reportTitles(state, titled);
}

BENCHMARK(BM_OurReaders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagLib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
