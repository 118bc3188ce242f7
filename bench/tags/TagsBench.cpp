// Title and artist of a library of each format, our readers against TagLib, same run, same files
// (warm in the page cache for both): 2,000 MP3, 500 WMA and 400 Monkey's Audio files built byte by byte (no
// Monkey's Audio encoder comes with Debian), and FLAC, Ogg Vorbis, Opus, M4A and WavPack files written by their
// real encoders and tagged with mutagen (make_library.py), half of them with a cover picture, a third with lyrics.
//
// Before timing, both sides read every file once and must agree on its title and artist. After
// the run, one line a format gives our time over TagLib's, against the goal of at most 0.5.
#include "media/readers/MediaInfo.h"
#include "tests/media/readers/LosslessFileBuilder.h"
#include "tests/media/readers/TagFileBuilder.h"

#include <benchmark/benchmark.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace tagfile;

namespace {

constexpr int kMp3Files = 2000;
constexpr int kWmaFiles = 500;
constexpr int kApeFiles = 400;
constexpr int kEncodedFiles = 400;  // of each format make_library.py writes
constexpr double kGoal = 0.5;       // our time over TagLib's, at most

struct Format {
    const char* name;       // in the benchmark names: BM_Ours_Flac, BM_TagLib_Flac
    const char* label;      // in the summary
    const char* extension;  // of the files make_library.py writes; null for those built here
};

constexpr Format kFormats[] = {
    {"Mp3", "MP3", nullptr},   {"Wma", "WMA", nullptr}, {"Flac", "FLAC", ".flac"}, {"OggVorbis", "Ogg Vorbis", ".ogg"},
    {"Opus", "Opus", ".opus"}, {"M4a", "M4A", ".m4a"},  {"Ape", "APE", nullptr},   {"WavPack", "WavPack", ".wv"},
};
constexpr std::size_t kApeFormat = 6;
static_assert(std::string_view(kFormats[kApeFormat].name) == "Ape");
constexpr std::size_t kFormatCount = std::size(kFormats);

struct Files {
    std::vector<std::string> paths;
    std::vector<std::u16string> locations;

    void Add(const std::filesystem::path& path) {
        paths.push_back(path.string());
        locations.push_back(text::FromUtf8(paths.back()));
    }
};

struct Library {
    TempDir dir;
    std::array<Files, kFormatCount> files;  // in the order of kFormats
    std::string error;                      // why the encoded formats are missing, if they are

    Library() {
        for (int i = 0; i < kMp3Files; ++i) {
            const std::u16string n = text::FromUtf8(std::to_string(i));
            const std::string frames =
                Id3v2Frame(3, "TIT2", TextBody(1, u"第" + n + u"首歌")) +
                Id3v2Frame(3, "TPE1", TextBody(1, u"歌手" + n)) + Id3v2Frame(3, "TALB", TextBody(1, u"专辑")) +
                Id3v2Frame(3, "TYER", TextBody(0, u"2008")) + Id3v2Frame(3, "TCON", TextBody(0, u"Pop"));
            Add(0, "song" + std::to_string(i) + ".mp3",
                Id3v2Tag(3, frames, 1024) + Mpeg1Audio(4180) +
                    Id3v1("Song " + std::to_string(i), "Artist", "Album", "2008"));
        }
        for (int i = 0; i < kWmaFiles; ++i) {
            const std::u16string n = text::FromUtf8(std::to_string(i));
            std::vector<std::string> objects = AsfMandatoryObjects();
            // The album artist is the author, as on a one-artist album: our reader shows the album
            // artist where there is one, TagLib the author, and both must show the same here.
            objects.push_back(AsfContentDescription(u"曲目" + n, u"作者" + n, u"(C) 2005"));
            objects.push_back(AsfExtendedContent({{u"WM/AlbumTitle", u"专辑"},
                                                  {u"WM/Year", u"2005"},
                                                  {u"WM/Genre", u"Pop"},
                                                  {u"WM/AlbumArtist", u"作者" + n}}));
            Add(1, "track" + std::to_string(i) + ".wma", AsfFile(objects, 4096));
        }
        for (int i = 0; i < kApeFiles; ++i) {
            // Three seconds of frames, an APEv2 tag with the texts, a picture in every other file.
            ApeStreamFields stream;
            stream.totalFrames = 1;
            stream.finalFrameBlocks = 3 * 44100;
            std::vector<std::string> items{
                ApeItem("Title", text::ToUtf8(u"第" + text::FromUtf8(std::to_string(i)) + u"首歌")),
                ApeItem("Artist", "Artist " + std::to_string(i)), ApeItem("Album", "Album"), ApeItem("Year", "2008")};
            if (i % 2 == 0) items.push_back(ApeItem("Cover Art (Front)", std::string(40000, '\xFF'), kApeItemBinary));
            Add(kApeFormat, "disc" + std::to_string(i) + ".ape", ApeFile(stream, 24000) + ApeTag(items));
        }
        // Debian's Python, which has mutagen, whatever else comes first on the path.
        const std::string command = "/usr/bin/python3 '" TAGS_BENCH_DIR "/make_library.py' '" + dir.Path().string() +
                                    "' " + std::to_string(kEncodedFiles);
        if (std::system(command.c_str()) != 0) {
            error =
                "make_library.py failed: are flac, vorbis-tools, opus-tools, ffmpeg, wavpack and python3-mutagen "
                "installed?";
            return;
        }
        for (std::size_t f = 0; f < kFormatCount; ++f) {
            if (!kFormats[f].extension) continue;
            for (int i = 0; i < kEncodedFiles; ++i)
                files[f].Add(dir / ("song" + std::to_string(i) + kFormats[f].extension));
        }
    }

    void Add(std::size_t format, const std::string& name, const std::string& bytes) {
        WriteFile(dir / name, bytes);
        files[format].Add(dir / name);
    }
};

Library& SharedLibrary() {
    static Library files;
    return files;
}

media::MediaInfo ReadOurs(const std::u16string& location) {
    media::MediaInfo info;
    info.FileName = location;
    media::ReadMediaInfo(info);
    return info;
}

struct TagLibTexts {
    TagLib::String title, artist;
};

// `audioProperties`: TagLib reads the rates too, as our readers do (FileRef's default).
TagLibTexts ReadTagLib(const std::string& path, bool audioProperties) {
    const TagLib::FileRef file(path.c_str(), audioProperties);
    if (file.isNull() || !file.tag()) return {};
    return {file.tag()->title(), file.tag()->artist()};
}

// Files where the two sides differ on the title or the artist, or where either finds none.
int ReportMismatches(const Library& library) {
    int mismatches = 0;
    for (std::size_t f = 0; f < kFormatCount; ++f) {
        const Files& files = library.files[f];
        for (std::size_t i = 0; i < files.paths.size(); ++i) {
            const media::MediaInfo ours = ReadOurs(files.locations[i]);
            const TagLibTexts theirs = ReadTagLib(files.paths[i], true);
            const std::string ourTitle = text::ToUtf8(ours.Title), ourArtist = text::ToUtf8(ours.Artist);
            const std::string theirTitle = theirs.title.to8Bit(true), theirArtist = theirs.artist.to8Bit(true);
            if (ourTitle == theirTitle && ourArtist == theirArtist && !ourTitle.empty() && !ourArtist.empty()) continue;
            if (++mismatches <= 20)
                std::printf("mismatch %s: ours \"%s\" / \"%s\", TagLib \"%s\" / \"%s\"\n", files.paths[i].c_str(),
                            ourTitle.c_str(), ourArtist.c_str(), theirTitle.c_str(), theirArtist.c_str());
        }
    }
    return mismatches;
}

void BM_Ours(benchmark::State& state, const Files& files) {
    for (auto _ : state)
        for (const std::u16string& location : files.locations) benchmark::DoNotOptimize(ReadOurs(location));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(files.paths.size()));
}

void BM_TagLib(benchmark::State& state, const Files& files, bool audioProperties) {
    for (auto _ : state)
        for (const std::string& path : files.paths) benchmark::DoNotOptimize(ReadTagLib(path, audioProperties));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(files.paths.size()));
}

// The console table as usual, keeping each benchmark's CPU time (the median where runs are repeated)
// for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                cpuMs_[run.run_name.str()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // One line a format measured: our time, TagLib's with and without audio properties, and the
    // ratio to the first, TagLib's like for like.
    void PrintSummary() const {
        std::printf("\nOur time / TagLib's (CPU time for the whole library; goal: at most %.1f for every format)\n",
                    kGoal);
        for (const Format& format : kFormats) {
            const std::string name = format.name;
            const auto ours = cpuMs_.find("BM_Ours_" + name), theirs = cpuMs_.find("BM_TagLib_" + name),
                       tagsOnly = cpuMs_.find("BM_TagLibTagsOnly_" + name);
            if (ours == cpuMs_.end() || theirs == cpuMs_.end()) continue;
            const double ratio = ours->second / theirs->second;
            std::printf("%-11s ours %8.2f ms  TagLib %8.2f ms  ratio %.2f  %s", format.label, ours->second,
                        theirs->second, ratio, ratio <= kGoal ? "met" : "NOT MET");
            if (tagsOnly != cpuMs_.end())
                std::printf("  (TagLib without audio properties %.2f ms, ratio %.2f)", tagsOnly->second,
                            ours->second / tagsOnly->second);
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> cpuMs_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const Library& files = SharedLibrary();  // made before timing starts
    if (!files.error.empty()) std::printf("%s\n", files.error.c_str());
    const int mismatches = ReportMismatches(files);
    std::printf("title and artist: %d mismatches between our readers and TagLib\n", mismatches);

    for (std::size_t f = 0; f < kFormatCount; ++f) {
        const Files& set = files.files[f];
        if (set.paths.empty()) continue;
        const std::string name = kFormats[f].name;
        benchmark::RegisterBenchmark(("BM_Ours_" + name).c_str(), BM_Ours, std::cref(set))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_TagLib_" + name).c_str(), BM_TagLib, std::cref(set), true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_TagLibTagsOnly_" + name).c_str(), BM_TagLib, std::cref(set), false)
            ->Unit(benchmark::kMillisecond);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return mismatches == 0 && files.error.empty() ? 0 : 1;
}
