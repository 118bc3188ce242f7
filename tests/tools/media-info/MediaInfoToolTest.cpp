#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

using namespace tagfile;

namespace {

std::string RunCommand(const std::string& command) {
    std::string output;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    if (pipe) ::pclose(pipe);
    return output;
}

TEST(MediaInfoTool, PrintsOneBlockPerFile) {
    TempDir dir;
    const std::string lyrics = std::string(
                                   "\x03"
                                   "eng\0",
                                   5) +
                               text::ToUtf8(u"第一行\r\n第二行\n完");
    WriteFile(dir / "song.mp3",
              Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(1, u"歌名")) + Id3v2Frame(3, "USLT", lyrics)) + Mpeg1Audio() +
                  Id3v1("", Gbk(u"歌手"), "Album", "2001"));
    WriteFile(dir / "sound.wav", "RIFF");
    const std::string mp3 = (dir / "song.mp3").string(), wav = (dir / "sound.wav").string();

    EXPECT_EQ(RunCommand(std::string(MEDIA_INFO_PATH) + " '" + mp3 + "' '" + wav + "'"),
              "File: " + mp3 +
                  "\nResult: True\nMediaType: 2\nTitle: 歌名\nArtist: 歌手\nAlbum: Album\nYear: 2001\n"
                  "Lyrics: 第一行\\n第二行\\n完\nWriter: \nComposer: \nBitRate: 128Kbps\nSampleRate: 44.1KHz\n\n"
                  "File: " +
                  wav +
                  "\nResult: False\nMediaType: 16\nTitle: \nArtist: \nAlbum: \nYear: \nLyrics: \nWriter: \n"
                  "Composer: \nBitRate: \nSampleRate: \n\n");
}

// The line under "Result:" of the block media-info prints for `path`; empty when there is none.
std::string WhyLineOf(const std::string& output, const std::string& path) {
    const std::size_t block = output.find("File: " + path + "\n");
    if (block == std::string::npos) return "(no block)";
    const std::size_t result = output.find('\n', output.find("Result: ", block));
    const std::size_t end = output.find('\n', result + 1);
    const std::string line = output.substr(result + 1, end - result - 1);
    return line.starts_with("Why: ") ? line.substr(5) : "";
}

struct RefusedFile {
    const char* name;
    std::string bytes;  // not written when the case is about the file itself
    const char* why;
};

// Every way a reader refuses a file, each with the reason it gives; a file read gives none.
TEST(MediaInfoTool, WhySaysWhyEachRefusedFileWasRefused) {
    const std::string speexHeader = "Speex   " + std::string(72, '\0');
    const std::vector<RefusedFile> cases = {
        {"missing.mp3", "", "file cannot be opened: no such file or directory"},
        {"folder.mp3", "", "not a regular file"},
        {"sound.wav", "RIFF", "no tag reader for this file type"},
        {"noise.mp3", std::string(4096, '\x55'), "no MPEG frame confirmed"},
        {"lone-frame.mp3", MpegAudio(0xFB, 0x90, 417, 417) + std::string(2000, '\0'), "no MPEG frame confirmed"},
        {"tag-past-end.flac", "ID3\x03\x00\x00" + Syncsafe(100000) + "fLaC", "tag size past the end of the file"},
        {"wave.flac", "RIFF" + std::string(100, '\0'), "no fLaC stream marker"},
        {"short.wma", kAsfHeader.substr(0, 10), "not an ASF header"},
        {"other.wma", std::string(64, '\x30'), "not an ASF header"},
        {"empty.ogg", "", "no Ogg page"},
        {"speex.ogg", OggPage(kOggFirst, 0, 7, 0, {80}, speexHeader), "no Vorbis, Opus or FLAC stream"},
        {"short.m4a", std::string("\0\0\0", 3), "no MP4 box"},
        {"riff.m4a", Mp4Box("RIFF", std::string(16, '\0')), "first box does not start an MP4 file"},
        {"old.ape", "MAC " + LittleEndian(3800, 2) + std::string(40, '\0'),
         "no Monkey's Audio header of a known version"},
        {"mute.ape", "MAC " + LittleEndian(3970, 2) + std::string(40, '\0'), "Monkey's Audio header out of range"},
        {"riff.wv", "RIFF" + std::string(40, '\0'), "no WavPack block header"},
        {"tag-past-end.wv", "ID3\x03\x00\x00" + Syncsafe(100000) + "wvpk", "tag size past the end of the file"},
        {"song.mp3", Mpeg1Audio(), ""},
        {"song.ogg", OggVorbisFile({"TITLE=t"}), ""},
    };
    TempDir dir;
    std::string command = std::string(MEDIA_INFO_PATH) + " --why";
    for (const RefusedFile& file : cases) {
        const std::string name = file.name;
        if (name == "folder.mp3")
            std::filesystem::create_directory(dir / name);
        else if (name != "missing.mp3")
            WriteFile(dir / name, file.bytes);
        command += " '" + (dir / name).string() + "'";
    }
    const std::string output = RunCommand(command);
    for (const RefusedFile& file : cases)
        EXPECT_EQ(WhyLineOf(output, (dir / file.name).string()), file.why) << file.name;
}

TEST(MediaInfoTool, RefusesUnknownOptionsAndTakesDashedNamesAfterTheirEnd) {
    TempDir dir;
    WriteFile(dir / "--why.mp3", Mpeg1Audio());
    EXPECT_EQ(RunCommand(std::string(MEDIA_INFO_PATH) + " --wy x.mp3 2>&1"), "media-info: unknown option --wy\n");
    EXPECT_EQ(RunCommand(std::string(MEDIA_INFO_PATH) + " --why 2>&1"), "usage: media-info [--why] FILE...\n");
    const std::string output = RunCommand("cd '" + dir.Path().string() + "' && " + MEDIA_INFO_PATH + " -- --why.mp3");
    EXPECT_TRUE(output.starts_with("File: --why.mp3\nResult: True\n")) << output;
}

}  // namespace
