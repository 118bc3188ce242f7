// The media types of the extensions read beyond MP3 and Windows Media, and the reader each one
// runs: the classic extensions keep their values and readers.
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/MediaFileTest.h"

#include "media/readers/MediaFormats.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

using namespace tagfile;
using media::MediaInfo;

namespace {

using ExtensionTypesTest = MediaFileTest;

TEST(ExtensionTypes, NewExtensionsHaveBitsOfTheirOwn) {
    EXPECT_EQ(media::MediaTypeOf(u"a.flac"), media::kMediaFlac);
    EXPECT_EQ(media::MediaTypeOf(u"a.OGG"), media::kMediaOgg);
    EXPECT_EQ(media::MediaTypeOf(u"a.oga"), media::kMediaOgg);
    EXPECT_EQ(media::MediaTypeOf(u"a.Opus"), media::kMediaOpus);
    EXPECT_EQ(media::MediaTypeOf(u"a.m4a"), media::kMediaMp4Audio);
    EXPECT_EQ(media::MediaTypeOf(u"a.M4B"), media::kMediaMp4Audio);
    EXPECT_EQ(media::MediaTypeOf(u"a.mp4"), media::kMediaMp4Audio) << "the sound of an MP4 file is read as M4A's";
    EXPECT_EQ(media::MediaTypeOf(u"a.ape"), media::kMediaApe);
    EXPECT_EQ(media::MediaTypeOf(u"a.WV"), media::kMediaWavPack);
    EXPECT_EQ(media::MediaTypeOf(u"a.cue"), 0) << "a sheet is read by the sheet reader, not as a media";
    EXPECT_EQ(media::MediaTypeOf(u"a.flac.txt"), 0);

    const std::int32_t classic =
        media::kMediaMidi | media::kMediaMp3 | media::kMediaWindowsMedia | media::kMediaVideo | media::kMediaWave;
    const std::int32_t added[] = {media::kMediaFlac,     media::kMediaOgg, media::kMediaOpus,
                                  media::kMediaMp4Audio, media::kMediaApe, media::kMediaWavPack};
    std::int32_t seen = classic;
    for (std::int32_t flag : added) {
        EXPECT_EQ(flag & (flag - 1), 0) << flag << " is one bit";
        EXPECT_EQ(flag & seen, 0) << flag << " is a bit no other type uses";
        seen |= flag;
    }

    // The classic table as it always was.
    const std::pair<std::u16string_view, std::int32_t> classicTypes[] = {
        {u"x.mpg", 8},  {u"x.mpeg", 8}, {u"x.avi", 8}, {u"x.mpe", 8},   {u"x.mpa", 8},
        {u"x.m1v", 8},  {u"x.ifo", 8},  {u"x.vob", 8}, {u"x.mp3", 2},   {u"x.wav", 16},
        {u"x.snd", 16}, {u"x.aif", 16}, {u"x.au", 16}, {u"x.aifc", 16}, {u"x.aiff", 16},
        {u"x.asf", 4},  {u"x.wma", 4},  {u"x.wm", 4},  {u"x.wmd", 4},   {u"x.wmv", 12},
        {u"x.mid", 1},  {u"x.midi", 1}, {u"x.rmi", 1}, {u"x.mdi", 0},   {u"x", 0},
    };
    for (const auto& [name, type] : classicTypes) EXPECT_EQ(media::MediaTypeOf(name), type) << text::ToUtf8(name);
}

TEST_F(ExtensionTypesTest, EachExtensionRunsItsReaderAndTheContentMustFit) {
    const std::string flac = FlacFile({FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=flac"}))});
    const std::string vorbis = OggVorbisFile({"TITLE=vorbis"});
    const std::string opus = OggOpusFile({"TITLE=opus"});
    const std::string oggFlac = OggFlacFile({"TITLE=ogg flac"});
    const std::string m4a =
        M4aFile(Mp4UserData(Mp4Item("\xA9"
                                    "nam",
                                    {"m4a"})));

    EXPECT_EQ(Read("a.flac", flac).Title, u"flac");
    EXPECT_EQ(Read("a.ogg", vorbis).Title, u"vorbis");
    EXPECT_EQ(Read("a.oga", oggFlac).Title, u"ogg flac");
    EXPECT_EQ(Read("a.opus", opus).Title, u"opus");
    EXPECT_EQ(Read("a.opus.OPUS", vorbis).Title, u"vorbis") << "Ogg content decides among Ogg codecs";
    EXPECT_EQ(Read("a.M4A", m4a).Title, u"m4a");

    // A file whose content is not what its extension says reads nothing.
    for (const auto& [name, bytes] : {std::pair{"b.flac", vorbis}, {"b.ogg", flac}, {"b.opus", m4a}, {"b.m4a", opus}})
        EXPECT_EQ(Read(name, bytes, false).Title, u"") << name;
    // Nor do the classic readers read the new formats, nor the new ones a WAV file.
    EXPECT_EQ(Read("c.mp3", flac, false).Title, u"");
    EXPECT_EQ(Read("c.wav", flac, false).MediaType, media::kMediaWave);
}

// The lists made from the formats table: what the dialog, the folder search and the desktop entry offer.
TEST(FormatsTable, GivesTheDialogEntriesThePassesAndTheMimeTypes) {
    EXPECT_EQ(media::DialogPatterns(media::DialogEntry::Classic), u"*.mp3;*.wav;*.wma;*.mdi") << "as it always read";
    EXPECT_EQ(media::DialogPatterns(media::DialogEntry::More),
              u"*.flac;*.ogg;*.oga;*.opus;*.m4a;*.m4b;*.mp4;*.ape;*.wv;*.cue");

    using media::FolderPass;
    const std::vector<std::pair<FolderPass, std::vector<std::u16string>>> passes{
        {FolderPass::Wma, {u"*.wma"}},           {FolderPass::Sheets, {u"*.cue"}},
        {FolderPass::Mp3, {u"*.mp3"}},           {FolderPass::Flac, {u"*.flac"}},
        {FolderPass::Ogg, {u"*.ogg", u"*.oga"}}, {FolderPass::Opus, {u"*.opus"}},
        {FolderPass::Mp4, {u"*.m4a", u"*.m4b"}}, {FolderPass::Ape, {u"*.ape"}},
        {FolderPass::WavPack, {u"*.wv"}}};
    ASSERT_EQ(media::FolderPasses().size(), passes.size());
    for (std::size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(media::FolderPasses()[i].pass, passes[i].first) << i;
        EXPECT_EQ(media::FolderPasses()[i].patterns, passes[i].second) << i;
    }

    // Every row the folder search or the dialog takes has a reader or is a sheet; no extension is listed twice.
    std::set<std::u16string> seen;
    for (const media::MediaFormat& format : media::MediaFormats()) {
        EXPECT_TRUE(seen.insert(std::u16string(format.extension)).second) << text::ToUtf8(format.extension);
        EXPECT_EQ(media::MediaTypeOf(u"x" + std::u16string(format.extension)), format.mediaType);
    }
}

// The desktop entry is a file of its own; it must claim exactly the table's MIME types.
TEST(FormatsTable, TheDesktopEntryClaimsTheTablesMimeTypes) {
    std::ifstream desktop(std::string(MEDIA_SOURCE_DIR) + "/dist/media.desktop");
    ASSERT_TRUE(desktop) << "dist/media.desktop";
    std::string line, claimed;
    while (std::getline(desktop, line))
        if (line.rfind("MimeType=", 0) == 0) claimed = line.substr(9);
    std::vector<std::string> listed;
    std::istringstream parts(claimed);
    for (std::string type; std::getline(parts, type, ';');)
        if (!type.empty()) listed.push_back(type);
    std::vector<std::string> table = media::MimeTypes();
    EXPECT_TRUE(std::find(table.begin(), table.end(), "audio/x-ape") != table.end());
    std::sort(listed.begin(), listed.end());
    std::sort(table.begin(), table.end());
    EXPECT_EQ(listed, table);
}

}  // namespace
