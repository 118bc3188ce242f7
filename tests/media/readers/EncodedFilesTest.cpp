// Files written by real encoders and taggers (flac and metaflac, oggenc and vorbiscomment, opusenc,
// ffmpeg with mutagen, kid3-cli, wavpack), read back. A test whose tool is not installed is skipped.
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/TagExpectations.h"

#include <cmath>
#include <cstdlib>

using namespace tagfile;
using media::MediaInfo;

namespace {

// The Python that has mutagen: Debian's, whatever else comes first on the path.
std::string PythonWithMutagen() {
    for (const char* python : {"/usr/bin/python3", "python3"})
        if (std::system((std::string(python) + " -c 'import mutagen.mp4' >/dev/null 2>&1").c_str()) == 0) return python;
    return {};
}

std::string Quoted(const std::filesystem::path& path) { return tools::ShellQuoted(path.string()); }

void ReplaceAll(std::string& text, std::string_view what, const std::string& with) {
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
        text.replace(at, what.size(), with);
}

class EncodedFilesTest : public MediaFileTest {
protected:
    static constexpr const char* kLyrics = "[00:01.00]第一行";

    // Writes one second of a tone, runs the tools' command lines on it, in which {tone} stands for
    // the tone and {file} for the file `name`, and reads that file back. A command that fails
    // fails the test.
    MediaInfo WriteWith(std::string_view name, std::initializer_list<std::string> commands) {
        WriteTone();
        for (std::string command : commands) {
            ReplaceAll(command, "{tone}", Quoted(dir / "tone.wav"));
            ReplaceAll(command, "{file}", Quoted(dir / name));
            EXPECT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
        }
        MediaInfo info;
        info.FileName = Location(name);
        EXPECT_TRUE(media::ReadMediaInfo(info)) << name;
        return info;
    }

    static void ExpectKbps(const std::u16string& rate) {
        EXPECT_TRUE(rate.size() > 4 && rate.ends_with(u"Kbps") && rate[0] >= u'1' && rate[0] <= u'9')
            << text::ToUtf8(rate);
    }

private:
    // One second of a 440 Hz tone, 16-bit stereo at 44.1 kHz.
    void WriteTone() const {
        constexpr std::uint32_t kRate = 44100, kFrames = 44100;
        std::string samples;
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            const auto value = static_cast<std::uint16_t>(
                static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * 440 * i / kRate)));
            samples += LittleEndian(value, 2) + LittleEndian(value, 2);
        }
        const std::string format = LittleEndian(1, 2) + LittleEndian(2, 2) + LittleEndian(kRate, 4) +
                                   LittleEndian(kRate * 4, 4) + LittleEndian(4, 2) + LittleEndian(16, 2);
        WriteFile(dir / "tone.wav", "RIFF" + LittleEndian(36 + samples.size(), 4) + "WAVEfmt " + LittleEndian(16, 4) +
                                        format + "data" + LittleEndian(samples.size(), 4) + samples);
    }
};

TEST_F(EncodedFilesTest, FlacAndMetaflac) {
    if (!tools::Installed({"flac", "metaflac"})) GTEST_SKIP() << "flac is not installed";
    const MediaInfo info = WriteWith("song.flac", {
                                                      "flac -s -f --tag=TITLE=标题 --tag=ARTIST=甲 --tag=ARTIST=乙 "
                                                      "--tag=ALBUM=Album --tag=DATE=2008-05-01 -o {file} {tone}",
                                                      "metaflac --set-tag='LYRICS=" + std::string(kLyrics) +
                                                          "' --set-tag=COMPOSER=Music --set-tag=LYRICIST=Words {file}",
                                                  });
    ExpectTexts(info, {u"标题", u"甲/乙", u"Album", u"2008", u"[00:01.00]第一行", u"Words", u"Music"});
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    ExpectKbps(info.BitRate);
}

TEST_F(EncodedFilesTest, OggencAndVorbiscomment) {
    if (!tools::Installed({"oggenc", "vorbiscomment"})) GTEST_SKIP() << "vorbis-tools is not installed";
    const MediaInfo info = WriteWith(
        "song.ogg", {
                        "oggenc -Q -b 128 -t 'Vorbis title' -a Singer -l Album -d 2001 -o {file} {tone}",
                        "vorbiscomment -a -t 'UNSYNCEDLYRICS=" + std::string(kLyrics) + "' -t WRITER=Words {file}",
                    });
    ExpectTexts(info, {u"Vorbis title", u"Singer", u"Album", u"2001", u"[00:01.00]第一行", u"Words", u""});
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    EXPECT_EQ(info.BitRate, u"128Kbps") << "the nominal rate oggenc was asked for";
}

TEST_F(EncodedFilesTest, Opusenc) {
    if (!tools::Installed({"opusenc"})) GTEST_SKIP() << "opus-tools is not installed";
    const MediaInfo info = WriteWith(
        "song.opus",
        {
            "opusenc --quiet --title 'Opus title' --artist Singer --album Album --date 1999 --comment 'LYRICS=" +
                std::string(kLyrics) + "' {tone} {file}",
        });
    ExpectTexts(info, {u"Opus title", u"Singer", u"Album", u"1999", u"[00:01.00]第一行", u"", u""});
    EXPECT_EQ(info.SampleRate, u"44.1KHz") << "the rate of the input";
    ExpectKbps(info.BitRate);
}

TEST_F(EncodedFilesTest, FfmpegAacTaggedWithMutagen) {
    const std::string python = PythonWithMutagen();
    if (!tools::Installed({"ffmpeg"}) || python.empty()) GTEST_SKIP() << "ffmpeg or mutagen is not installed";
    const std::string script =
        "from mutagen.mp4 import MP4\n"
        "import sys\n"
        "f = MP4(sys.argv[1])\n"
        "f['\\xa9nam'] = '标题'\n"
        "f['\\xa9ART'] = ['甲', '乙']\n"
        "f['\\xa9alb'] = 'Album'\n"
        "f['\\xa9day'] = '2010-01-02'\n"
        "f['\\xa9lyr'] = '[00:01.00]第一行\\n[00:02.00]第二行'\n"
        "f['\\xa9wrt'] = 'Music'\n"
        "f['----:com.apple.iTunes:LYRICIST'] = b'Words'\n"
        "f['covr'] = [b'\\x89PNG' + b'\\0' * 4000]\n"
        "f.save()\n";
    WriteFile(dir / "tag.py", script);
    const MediaInfo info =
        WriteWith("song.m4a", {
                                  "ffmpeg -nostdin -loglevel error -y -i {tone} -c:a aac -b:a 128k {file}",
                                  python + " " + Quoted(dir / "tag.py") + " {file}",
                              });
    ExpectTexts(info,
                {u"标题", u"甲/乙", u"Album", u"2010", u"[00:01.00]第一行\n[00:02.00]第二行", u"Words", u"Music"});
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    ExpectKbps(info.BitRate);
}

// kid3-cli writes each format through its own tag library: another writer's layout of the same tags.
TEST_F(EncodedFilesTest, Kid3RetagsEachFormat) {
    if (!tools::Installed({"kid3-cli", "ffmpeg"})) GTEST_SKIP() << "kid3-cli or ffmpeg is not installed";
    for (const char* name : {"k.flac", "k.ogg", "k.opus", "k.m4a"}) {
        const MediaInfo info = WriteWith(
            name,
            {
                "ffmpeg -nostdin -loglevel error -y -i {tone} {file}",
                "kid3-cli -c \"set title 'Kid title'\" -c \"set artist 'Kid artist'\" -c \"set album 'Kid album'\" "
                "-c 'set date 2011' -c \"set composer 'Kid composer'\" {file}",
            });
        ExpectTexts(info, {u"Kid title", u"Kid artist", u"Kid album", u"2011", u"", u"", u"Kid composer"}, name);
        EXPECT_FALSE(info.SampleRate.empty()) << name;
    }
}

// WavPack's own encoder with its tag options, and ffmpeg's encoder and APEv2 tag writer; an audiobook's .m4b as
// ffmpeg writes it; an APEv2 tag that mutagen adds to an MP3 beside its ID3 tags.
TEST_F(EncodedFilesTest, WavPackAudiobooksAndApev2) {
    if (!tools::Installed({"wavpack", "ffmpeg"})) GTEST_SKIP() << "wavpack or ffmpeg is not installed";
    const MediaInfo wavpack = WriteWith(
        "w.wv", {"wavpack -q -y -w 'Title=标题' -w 'Artist=甲' -w 'Album=Album' -w 'Year=2008' -w 'Composer=Music' "
                 "{tone} -o {file}"});
    ExpectTexts(wavpack, {u"标题", u"甲", u"Album", u"2008", u"", u"", u"Music"});
    EXPECT_EQ(wavpack.SampleRate, u"44.1KHz");
    ExpectKbps(wavpack.BitRate);

    const MediaInfo ffmpegWavPack = WriteWith(
        "f.wv", {"ffmpeg -nostdin -loglevel error -y -i {tone} -c:a wavpack -metadata title=T -metadata artist=A "
                 "-ar 22050 {file}"});
    ExpectTexts(ffmpegWavPack, {u"T", u"A", u"", u"", u"", u"", u""});
    EXPECT_EQ(ffmpegWavPack.SampleRate, u"22.05KHz");

    const MediaInfo book = WriteWith(
        "book.m4b", {"ffmpeg -nostdin -loglevel error -y -i {tone} -c:a aac -metadata title=Chapter -metadata "
                     "artist=Reader {file}"});
    ExpectTexts(book, {u"Chapter", u"Reader", u"", u"", u"", u"", u""});
    EXPECT_EQ(book.MediaType, media::kMediaMp4Audio);

    const std::string python = PythonWithMutagen();
    if (python.empty()) GTEST_SKIP() << "mutagen is not installed";
    WriteFile(dir / "ape.py",
              "import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2()\nt['Title'] = 'ape title'\n"
              "t['Artist'] = ['甲', '乙']\nt.save(sys.argv[1])\n");
    const MediaInfo mp3 = WriteWith("a.mp3", {"ffmpeg -nostdin -loglevel error -y -i {tone} -metadata title=id3 {file}",
                                              python + " " + Quoted(dir / "ape.py") + " {file}"});
    EXPECT_EQ(mp3.Title, u"id3") << "the ID3 text stands";
    EXPECT_EQ(mp3.Artist, u"甲/乙") << "the APEv2 tag gives what ID3 lacks";
}

}  // namespace
