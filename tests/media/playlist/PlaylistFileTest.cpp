#include "media/playlist/AtomicFile.h"
#include "media/playlist/PlaylistFile.h"
#include "platform/text/FileName.h"
#include "tests/media/playlist/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <set>

using namespace tagfile;
using media::PlaylistFileReader;
using media::PlaylistRecord;

namespace {

constexpr std::size_t kMaxRows = 32767;

std::vector<PlaylistRecord> Load(const std::filesystem::path& path) {
    PlaylistFileReader reader;
    EXPECT_TRUE(reader.Open(path.string()));
    std::vector<PlaylistRecord> records;
    while (auto record = reader.Next()) records.push_back(*record);
    return records;
}

bool Save(const std::filesystem::path& path, const std::vector<PlaylistRecord>& rows) {
    return media::SavePlaylistFile(path.string(), rows.size(), [&rows](std::size_t i) { return rows[i]; });
}

std::vector<PlaylistRecord> FullList(std::u16string_view extra) {
    std::vector<PlaylistRecord> rows;
    for (std::size_t i = 0; i < kMaxRows; ++i) {
        const std::u16string n(text::FromUtf8(std::to_string(i)));
        rows.push_back({u"歌名, 第" + n + u"首" + std::u16string(i % 3 == 0 ? extra : u""), i % 7 ? u"歌手" : u"",
                        u"03:4" + n.substr(n.size() - 1), u"/音乐/文件夹 " + n + u"/song.mp3"});
    }
    return rows;
}

TEST(PlaylistFile, GbkListRoundTripsInTheClassicFormat) {
    TempDir dir;
    const std::vector<PlaylistRecord> rows = FullList(u"");
    ASSERT_TRUE(Save(dir / "list.lst", rows));
    EXPECT_EQ(Load(dir / "list.lst"), rows);

    const std::string bytes = ReadFile(dir / "list.lst");
    const std::string firstLine =
        std::string("\"") + Gbk(u"歌名, 第0首") + "\",\"\",\"03:40\",\"" + Gbk(u"/音乐/文件夹 0/song.mp3") + "\"\r\n";
    EXPECT_EQ(bytes.substr(0, firstLine.size()), firstLine);
}

TEST(PlaylistFile, ListWithTextsGbkLacksIsWrittenAsUtf8) {
    TempDir dir;
    const std::vector<PlaylistRecord> rows = FullList(u" 노래 🎵");
    ASSERT_TRUE(Save(dir / "list.lst", rows));
    EXPECT_EQ(Load(dir / "list.lst"), rows);
    EXPECT_EQ(ReadFile(dir / "list.lst").substr(0, 3), "\xEF\xBB\xBF");

    // A quote in a location (legal in file names) survives too.
    const std::vector<PlaylistRecord> quoted = {{u"a", u"b", u"00:00", u"/m/say \"hi\".mp3"}};
    ASSERT_TRUE(Save(dir / "quoted.lst", quoted));
    EXPECT_EQ(Load(dir / "quoted.lst"), quoted);
}

TEST(PlaylistFile, LocationsThatAreNotUtf8OnDiskKeepTheirBytes) {
    TempDir dir;
    // A GBK name found in a folder (你好.mp3): the list goes to UTF-8 and the name is written as its own bytes.
    const std::u16string gbkName = text::FromFileName("/m/\xC4\xE3\xBA\xC3.mp3");
    const std::vector<PlaylistRecord> rows = {{u"歌", u"", u"00:00", u"/m/歌.mp3"}, {u"你好", u"", u"00:00", gbkName}};
    ASSERT_TRUE(Save(dir / "list.lst", rows));
    EXPECT_EQ(ReadFile(dir / "list.lst"),
              "\xEF\xBB\xBF\"\xE6\xAD\x8C\",\"\",\"00:00\",\"/m/\xE6\xAD\x8C.mp3\"\r\n"
              "\"\xE4\xBD\xA0\xE5\xA5\xBD\",\"\",\"00:00\",\"/m/\xC4\xE3\xBA\xC3.mp3\"\r\n");
    EXPECT_EQ(Load(dir / "list.lst"), rows);
    // Saved again unchanged, byte for byte.
    ASSERT_TRUE(Save(dir / "again.lst", Load(dir / "list.lst")));
    EXPECT_EQ(ReadFile(dir / "again.lst"), ReadFile(dir / "list.lst"));
}

TEST(PlaylistFile, ReaderAcceptsLooseSyntax) {
    TempDir dir;
    // Spaces outside quotes, an unquoted field, a record spread over two lines, a blank line, LF
    // line ends, and a last record two fields short.
    WriteFile(dir / "loose.lst",
              "  \"a, b\" , plain text ,\"00:01\",\"/x.mp3\"\r\n\"t2\",\"a2\"\n\"00:02\",\"/y.mp3\"\n\n\"t3\",\"a3\"");
    const std::vector<PlaylistRecord> expected = {
        {u"a, b", u"plain text", u"00:01", u"/x.mp3"},
        {u"t2", u"a2", u"00:02", u"/y.mp3"},
        {u"t3", u"a3", u"", u""},
    };
    EXPECT_EQ(Load(dir / "loose.lst"), expected);

    WriteFile(dir / "empty.lst", "");
    EXPECT_TRUE(Load(dir / "empty.lst").empty());
    EXPECT_FALSE(PlaylistFileReader().Open((dir / "missing.lst").string()));
}

TEST(PlaylistFile, FailedSaveKeepsThePreviousList) {
    TempDir dir;
    const std::vector<PlaylistRecord> old = {{u"old", u"list", u"00:00", u"/old.mp3"}};
    ASSERT_TRUE(Save(dir / "list.lst", old));

    // The disk "fills" part way through the new list: the write fails, whoever runs the test.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool savedOk = Save(dir / "list.lst", FullList(u""));
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(Load(dir / "list.lst"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "temporary file left behind";

    EXPECT_FALSE(Save(dir / "no-such-folder" / "list.lst", old));
}

}  // namespace

TEST(PlaylistFile, LeftoversOfKilledSavesGoAndEverythingElseStays) {
    TempDir dir;
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const std::string dead = std::to_string(ended), alive = std::to_string(getpid());
    for (const std::string& name :
         std::vector<std::string>{"list.lst", "list.lst.tmp-" + dead + "-3", "list.lst.tmp-" + alive + "-1",
                                  "list.lst.backup", "list.lst.tmp-x-1", "other.lst.tmp-" + dead + "-1"})
        WriteFile(dir / name, "\"a\",\"b\",\"c\",\"d\"\r\n");

    media::RemoveLeftoverTemporaries((dir / "list.lst").string());

    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"list.lst", "list.lst.tmp-" + alive + "-1", "list.lst.backup",
                                           "list.lst.tmp-x-1", "other.lst.tmp-" + dead + "-1"}));
}
