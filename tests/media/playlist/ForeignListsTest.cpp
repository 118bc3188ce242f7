#include "media/playlist/ForeignLists.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"
#include "tests/media/readers/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tagfile;
using media::ListFormat;

namespace {

std::vector<std::u16string> Entries(std::string_view bytes, ListFormat format) {
    return media::ForeignListEntries(bytes, format, "/lists/");
}

// Each format and code page from bytes, in the forms other players write: entries, comments, relative names, file
// URIs and addresses.
TEST(ForeignLists, EachFormatAndCodePageGivesTheLocationsItNames) {
    const std::u16string song = u"/音乐/歌.mp3";
    struct Case {
        const char* name;
        ListFormat format;
        std::string bytes;
        std::vector<std::u16string> expected;
    };
    const std::vector<Case> cases = {
        {"M3U in UTF-8 with #EXTINF, relative names, a file URI and an address",
         ListFormat::M3u,
         "#EXTM3U\r\n#EXTINF:245,Artist - Title\r\n" + text::ToUtf8(song) +
             "\r\n\r\n  sub/a b.mp3 \r\n./c.ogg\nfile:///m/%E6%AD%8C%20x.mp3\nhttp://radio.example/live?x=1\n"
             "cdda://1\nfile://otherhost/m/y.mp3\n#file:///commented.mp3",
         {song, u"/lists/sub/a b.mp3", u"/lists/c.ogg", u"/m/歌 x.mp3", u"http://radio.example/live?x=1"}},
        {"M3U in GBK",
         ListFormat::M3u,
         "#EXTM3U\r\n" + Gbk(u"/音乐/周杰伦 - 七里香.mp3") + "\r\n" + Gbk(u"歌曲.mp3"),
         {u"/音乐/周杰伦 - 七里香.mp3", u"/lists/歌曲.mp3"}},
        {"M3U in Big5",
         ListFormat::M3u,
         "#EXTM3U\r\n/\xAD\xB5\xBC\xD6/\xA9P\xAAN\xAD\xDB/\xA4"
         "C\xA8\xBD\xAD\xBB.mp3\r\n"
         "/\xAD\xB5\xBC\xD6/\xB3\xAF\xAB\xB3\xA8\xB3/\xA4Q\xA6~.mp3\r\n",
         {u"/音樂/周杰倫/七里香.mp3", u"/音樂/陳奕迅/十年.mp3"}},
        {"M3U in UTF-16 with a mark", ListFormat::M3u, "\xFF\xFE" + Utf16(u"#EXTM3U\r\n" + song + u"\r\n"), {song}},
        {"M3U8 with a mark, a name that is not UTF-8 kept as its bytes",
         ListFormat::M3u8,
         "\xEF\xBB\xBF#EXTM3U\n" + text::ToUtf8(song) + "\n/m/\xC4\xE3.mp3\n",
         {song, text::FromFileName("/m/\xC4\xE3.mp3")}},
        {"PLS in the order of its numbers",
         ListFormat::Pls,
         "[playlist]\r\nFile2=http://radio.example/b\r\nTitle2=B\r\nfile1=" + text::ToUtf8(song) +
             "\r\nLength1=200\r\nFileX=/no.mp3\r\nFile10=rel.mp3\r\nNumberOfEntries=3\r\nVersion=2\r\n",
         {song, u"http://radio.example/b", u"/lists/rel.mp3"}},
        {"XSPF: the first location of each track, relative URIs percent-decoded",
         ListFormat::Xspf,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
         "<title>not a track</title><trackList>"
         "<track><location>file:///m/%E6%AD%8C.mp3</location><location>file:///second.mp3</location>"
         "<title>T</title></track>"
         "<track><title>no location</title></track>"
         "<track><location>sub/a%20b.flac</location></track>"
         "<track><location>http://radio.example/c</location></track>"
         "</trackList></playlist>",
         {u"/m/歌.mp3", u"/lists/sub/a b.flac", u"http://radio.example/c"}},
        {"XSPF in GBK by its declaration, broken after its first track",
         ListFormat::Xspf,
         "<?xml version=\"1.0\" encoding=\"GBK\"?><playlist><trackList><track><location>" + Gbk(u"歌.mp3") +
             "</location></track><track><location>/x.mp3</loc",
         {u"/lists/歌.mp3"}},
        {"XSPF whose entities would grow without end",
         ListFormat::Xspf,
         "<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY a \"aaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
         "<playlist><trackList><track><location>/&d;&d;&d;&d;&d;&d;</location></track></trackList></playlist>",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Entries(c.bytes, c.format), c.expected);
    }
}

TEST(ForeignLists, FormatsAreKnownByTheirNames) {
    EXPECT_EQ(media::ListFormatOf(u"/a/b.LST"), ListFormat::Lst);
    EXPECT_EQ(media::ListFormatOf(u"/a/b.m3u"), ListFormat::M3u);
    EXPECT_EQ(media::ListFormatOf(u"/a/b.M3U8"), ListFormat::M3u8);
    EXPECT_EQ(media::ListFormatOf(u"b.pls"), ListFormat::Pls);
    EXPECT_EQ(media::ListFormatOf(u"b.Xspf"), ListFormat::Xspf);
    EXPECT_EQ(media::ListFormatOf(u"/a/b.mp3"), ListFormat::NotAList);
    EXPECT_EQ(media::ListFormatOf(u"/a/m3u"), ListFormat::NotAList);
}

// What the program writes as M3U8 reads back as the same locations, whatever the names hold.
TEST(ForeignLists, M3u8ListsTheProgramWritesReadBack) {
    const std::vector<media::PlaylistRecord> rows = {
        {u"七里香", u"周杰伦", u"04:59", u"/音乐/七里香.mp3"},
        {u"line\nend", u"", u"00:00", u"/m/a\nb.mp3"},
        {u"gbk", u"", u"1:02:03", text::FromFileName("/m/\xC4\xE3\xBA\xC3.mp3")},
        {u"radio", u"", u"00:00", u"http://radio.example/live"},
        {u"odd", u"", u"00:00", u"/m/#1 file:x .mp3 "},
    };
    const std::string bytes = media::EncodeM3u8(rows.size(), [&rows](std::size_t i) { return rows[i]; });
    EXPECT_TRUE(
        bytes.starts_with("#EXTM3U\n#EXTINF:299,周杰伦 - 七里香\n/音乐/七里香.mp3\n#EXTINF:-1,line end\n"
                          "file:///m/a%0Ab.mp3\n#EXTINF:3723,gbk\nfile:///m/%C4%E3%BA%C3.mp3\n"))
        << bytes;
    std::vector<std::u16string> locations;
    for (const auto& row : rows) locations.push_back(row.location);
    EXPECT_EQ(Entries(bytes, ListFormat::M3u8), locations);
}

TEST(ForeignLists, ListFilesAreReadOnlyWhenTheyAreRegularAndBounded) {
    TempDir dir;
    const std::string folder = dir.Path().string();
    WriteFile(dir / "a.m3u", "a.mp3\n");
    EXPECT_EQ(media::ReadListEntries(folder + "/a.m3u"),
              std::vector<std::u16string>{text::FromFileName(folder + "/a.mp3")});
    WriteFile(dir / "own.lst", Gbk(u"\"歌\",\"\",\"00:00\",\"/m/歌.mp3\"\r\n\"b\",\"\",\"00:00\",\"/m/b.mp3\"\r\n"));
    EXPECT_EQ(media::ReadListEntries(folder + "/own.lst"), (std::vector<std::u16string>{u"/m/歌.mp3", u"/m/b.mp3"}));

    ASSERT_EQ(::mkfifo((folder + "/fifo.m3u").c_str(), 0600), 0);
    EXPECT_EQ(media::ReadListEntries(folder + "/fifo.m3u"), std::nullopt);  // returns at once: nobody writes
    std::filesystem::resize_file(dir / "a.m3u", media::kMaxListBytes + 1);
    EXPECT_EQ(media::ReadListEntries(folder + "/a.m3u"), std::nullopt);
    EXPECT_EQ(media::ReadListEntries(folder + "/missing.pls"), std::nullopt);
    EXPECT_EQ(media::ReadListEntries(folder + "/song.mp3"), std::nullopt);
}

}  // namespace
