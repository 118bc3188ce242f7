// MP3 files tagged by the encoders and taggers people use: the reader gives back the title and
// artist each one wrote. A tool that is not installed skips its test.
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/Mp3FileBuilder.h"

#include <cstdlib>

using namespace tagfile;
using media::MediaInfo;
using tools::Installed;
using tools::ShellQuoted;

namespace {

// Runs a command whose arguments are UTF-8, quietly; true when it succeeded.
bool RunCommand(const std::string& command) {
    return std::system(("LC_ALL=C.UTF-8 " + command + " >/dev/null 2>&1").c_str()) == 0;
}

// The file without its ID3v2 tag, to see what a writer put into the ID3v1 block alone.
std::string WithoutId3v2(const std::string& bytes) {
    if (bytes.size() < 10 || bytes.compare(0, 3, "ID3") != 0) return bytes;
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7F);
    return bytes.substr(std::min(bytes.size(), 10 + size));
}

class Mp3TaggerTest : public MediaFileTest {
protected:
    // Half a second of 64 kbit/s mono audio encoded by ffmpeg, untagged; frames built byte by byte
    // where ffmpeg is missing.
    static void SetUpTestSuite() {
        TempDir folder;
        const auto path = folder / "plain.mp3";
        if (Installed({"ffmpeg"}) && RunCommand(Encode(path.string(), "-id3v2_version 0"))) audio = ReadFile(path);
        if (audio.empty()) audio = Mpeg1Audio(20000);
    }

    static std::string Encode(const std::string& path, const std::string& options) {
        return "ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i "
               "sine=frequency=440:sample_rate=44100:duration=0.5 "
               "-ac 1 -c:a libmp3lame -b:a 64k " +
               options + " -y " + ShellQuoted(path);
    }

    // An untagged copy of the audio named `name`, for a tagger to write into; its path, quoted.
    std::string Untagged(std::string_view name) {
        WriteFile(dir / name, audio);
        return ShellQuoted((dir / name).string());
    }

    // Reads back what a tool wrote into `name`.
    MediaInfo ExpectTexts(std::string_view name, std::u16string_view title, std::u16string_view artist) {
        SCOPED_TRACE(name);
        const MediaInfo info = Read(name, ReadFile(dir / name));
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, artist);
        EXPECT_NE(info.BitRate, u"");
        return info;
    }

    static inline std::string audio;
};

TEST_F(Mp3TaggerTest, FfmpegWhileEncoding) {
    if (!Installed({"ffmpeg"})) GTEST_SKIP() << "ffmpeg is not installed";
    const auto tagged = [&](std::string_view name, const std::string& options, std::u16string_view title,
                            std::u16string_view artist) {
        const std::string metadata = " -metadata title=" + ShellQuoted(text::ToUtf8(title)) +
                                     " -metadata artist=" + ShellQuoted(text::ToUtf8(artist));
        ASSERT_TRUE(RunCommand(Encode((dir / name).string(), options + metadata))) << name;
    };
    tagged("v23.mp3", "-id3v2_version 3", u"月亮代表我的心 Café", u"邓丽君");
    const MediaInfo info = ExpectTexts("v23.mp3", u"月亮代表我的心 Café", u"邓丽君");
    EXPECT_EQ(info.BitRate, u"64Kbps");  // the frame after the encoder's summary
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    tagged("v24.mp3", "-id3v2_version 4", u"Café " + std::u16string(60, u'歌'), u"周杰伦");
    ExpectTexts("v24.mp3", u"Café " + std::u16string(60, u'歌'), u"周杰伦");

    // Its ID3v1 block holds UTF-8, cut at 30 bytes even inside a character.
    tagged("v1.mp3", "-write_id3v1 1", u"A" + std::u16string(10, u'周'), u"Café");
    WriteFile(dir / "v1.mp3", WithoutId3v2(ReadFile(dir / "v1.mp3")));
    ExpectTexts("v1.mp3", u"A" + std::u16string(9, u'周'), u"Café");
}

TEST_F(Mp3TaggerTest, MutagenId3v24) {
    if (!Installed({"mid3v2"})) GTEST_SKIP() << "mid3v2 (python3-mutagen) is not installed";
    // A title of more than 127 bytes: a size whose syncsafe and plain readings differ.
    const std::u16string title = u"标题 " + std::u16string(200, u'x');
    ASSERT_TRUE(RunCommand("mid3v2 -t " + ShellQuoted(text::ToUtf8(title)) + " -a " + ShellQuoted("周杰伦") + " " +
                           Untagged("v24.mp3")));
    ExpectTexts("v24.mp3", title, u"周杰伦");
}

TEST_F(Mp3TaggerTest, EyeD3) {
    if (!Installed({"eyeD3"})) GTEST_SKIP() << "eyeD3 is not installed";
    const auto tag = [&](std::string_view name, const std::string& options, std::string_view title,
                         std::string_view artist) {
        ASSERT_TRUE(RunCommand("eyeD3 " + options + " -t " + ShellQuoted(title) + " -a " + ShellQuoted(artist) + " " +
                               Untagged(name)))
            << name;
    };
    tag("latin1.mp3", "--to-v2.3 --encoding latin1", "Café", "Beyoncé");
    ExpectTexts("latin1.mp3", u"Café", u"Beyoncé");
    tag("utf8.mp3", "--to-v2.4 --encoding utf8", "月亮代表我的心", "邓丽君");
    ExpectTexts("utf8.mp3", u"月亮代表我的心", u"邓丽君");
    tag("v1.mp3", "-1", "Café", "Beyoncé");  // ID3v1 in Latin-1
    ExpectTexts("v1.mp3", u"Café", u"Beyoncé");
}

TEST_F(Mp3TaggerTest, Kid3) {
    if (!Installed({"kid3-cli"})) GTEST_SKIP() << "kid3-cli is not installed";
    const auto tag = [&](std::string_view name, std::string_view title, std::string_view artist,
                         std::string_view tagNumber) {
        const auto set = [&](std::string_view frame, std::string_view value) {
            return " -c " + ShellQuoted("set " + std::string(frame) + " \"" + std::string(value) + "\" " +
                                        std::string(tagNumber));
        };
        ASSERT_TRUE(RunCommand("kid3-cli" + set("title", title) + set("artist", artist) + " " + Untagged(name)))
            << name;
    };
    tag("v2.mp3", "月亮代表我的心 Café", "邓丽君", "2");  // ID3v2.3 in UTF-16
    ExpectTexts("v2.mp3", u"月亮代表我的心 Café", u"邓丽君");
    tag("v1.mp3", "Café", "Beyoncé", "1");  // ID3v1 in Latin-1
    ExpectTexts("v1.mp3", u"Café", u"Beyoncé");
}

}  // namespace
