#include "media/playlist/AtomicFile.h"
#include "media/playlist/PlaylistFile.h"
#include "platform/text/FileName.h"
#include "tests/media/playlist/SmallFileSystem.h"
#include "tests/media/readers/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <set>

using namespace tagfile;
using media::PlaylistFileReader;
using media::PlaylistRecord;

namespace {

constexpr std::size_t kMaxRows = 32767;

std::vector<PlaylistRecord> Load(const std::filesystem::path& path, std::string* damage = nullptr) {
    PlaylistFileReader reader;
    EXPECT_TRUE(reader.Open(path.string()));
    std::vector<PlaylistRecord> records;
    while (auto record = reader.Next()) records.push_back(*record);
    if (damage) *damage = reader.Damage();
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

// Twenty numbered rows, and their lines as the writer writes them in GBK.
std::vector<PlaylistRecord> Numbered(int count) {
    std::vector<PlaylistRecord> rows;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = text::FromUtf8(std::to_string(i));
        rows.push_back({u"歌" + n, u"歌手", u"03:" + (i < 10 ? u"0" + n : n), u"/音乐/" + n + u".mp3"});
    }
    return rows;
}

std::vector<std::string> GbkLines(const std::vector<PlaylistRecord>& rows) {
    std::vector<std::string> lines;
    for (const PlaylistRecord& row : rows)
        lines.push_back(media::EncodePlaylist(1, [&row](std::size_t) { return row; }));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line;
    return bytes;
}

// Lists from other programs and lists damaged by hand or by the disk: what is read, and what damage is named.
TEST(PlaylistFile, ForeignAndDamagedListsAreReadWithTheLeastLoss) {
    const std::vector<PlaylistRecord> rows = Numbered(20);
    std::vector<std::string> lines = GbkLines(rows);
    std::u16string utf16;
    for (const PlaylistRecord& row : rows)
        utf16 += u"\"" + row.title + u"\",\"" + row.artist + u"\",\"" + row.time + u"\",\"" + row.location + u"\"\r\n";

    const auto with = [&rows](std::size_t index, PlaylistRecord record) {
        std::vector<PlaylistRecord> changed = rows;
        changed[index] = std::move(record);
        return changed;
    };
    const auto lineChanged = [&lines](std::size_t index, std::string line) {
        std::vector<std::string> changed = lines;
        changed[index] = std::move(line);
        return Joined(changed);
    };
    std::vector<std::string> withNulLine = lines;
    withNulLine.insert(withNulLine.begin() + 1, std::string(40, '\0') + "\r\n");
    // Texts holding line ends (a name on disk may) are written between their quotes as they are.
    const std::vector<PlaylistRecord> lineEnds = {
        {u"一\r\n二", u"", u"00:00", u"/m/a\nb.mp3"}, {u"t", u"a", u"00:01", u"/m/c\rd\r\n.mp3"}, rows[0]};

    struct Case {
        const char* name;
        std::string bytes;
        std::vector<PlaylistRecord> expected;
        std::string damage;   // empty for a list read cleanly
        std::string written;  // what a save writes for the rows read, where it matters
    };
    const std::vector<Case> cases = {
        {"UTF-16 little endian", "\xFF\xFE" + Utf16(utf16), rows, "", Joined(lines)},
        {"UTF-16 big endian", "\xFE\xFF" + Utf16(utf16, true), rows, "", Joined(lines)},
        // Written by an editor or another program here: UTF-8 without a mark. Saved, it keeps today's form.
        {"UTF-8 without a mark", text::ToUtf8(utf16), rows, "", Joined(lines)},
        {"UTF-8 without a mark, one text longer than a read",
         text::ToUtf8(u"\"" + std::u16string(40000, u'歌') + u"\",\"\",\"00:00\",\"/m/歌.mp3\"\n"),
         {{std::u16string(40000, u'歌'), u"", u"00:00", u"/m/歌.mp3"}},
         "",
         {}},
        // Not UTF-8 throughout: GBK, as before.
        {"UTF-8 but for one byte",
         text::ToUtf8(utf16) + "\"" + Gbk(u"歌") + "\",\"\",\"\",\"\"\r\n",
         [&rows] {
             std::vector<PlaylistRecord> more;
             for (const PlaylistRecord& row : rows)
                 more.push_back({text::FromAnsi(text::ToUtf8(row.title)), text::FromAnsi(text::ToUtf8(row.artist)),
                                 row.time, text::FromAnsi(text::ToUtf8(row.location))});
             more.push_back({u"歌", u"", u"", u""});
             return more;
         }(),
         "bytes that are not GBK on line 1",
         {}},
        {"UTF-16 cut in a character",
         "\xFF\xFE" + Utf16(utf16) + "\x22",
         rows,
         "half a UTF-16 character on line 21",
         {}},
        {"texts holding line ends",
         media::EncodePlaylist(lineEnds.size(), [&](std::size_t i) { return lineEnds[i]; }),
         lineEnds,
         "",
         {}},
        {"a byte GBK does not hold",
         lineChanged(
             4, "\"" + Gbk(u"歌5") + "\xFF\",\"" + Gbk(u"歌手") + "\",\"03:05\",\"" + Gbk(u"/音乐/5.mp3") + "\"\r\n"),
         with(4, {u"歌5\uFFFD", u"歌手", u"03:05", u"/音乐/5.mp3"}),
         "bytes that are not GBK on line 5",
         {}},
        // The title's closing quote is gone: the line gives three fields, and the next line, four clean fields of
        // its own, starts the next record.
        {"an unclosed quote in row 3",
         lineChanged(2, "\"" + Gbk(u"歌3") + ",\"" + Gbk(u"歌手") + "\",\"03:03\",\"" + Gbk(u"/音乐/3.mp3") + "\"\r\n"),
         with(2, {u"歌3,", u"03:03", u"/音乐/3.mp3", u""}),
         "text outside the quotes on line 3",
         {}},
        {"a location's closing quote missing",
         lineChanged(2, "\"" + Gbk(u"歌3") + "\",\"" + Gbk(u"歌手") + "\",\"03:03\",\"" + Gbk(u"/音乐/3.mp3") + "\r\n"),
         rows,
         "an unclosed quote on line 3",
         {}},
        {"a line of NUL bytes", Joined(withNulLine), rows, "NUL bytes on line 2", {}},
        {"a record cut short at the end",
         Joined(lines) + "\"t\",\"a\"",
         [&rows] {
             std::vector<PlaylistRecord> more = rows;
             more.push_back({u"t", u"a", u"", u""});
             return more;
         }(),
         "a record of fewer than four fields on line 21",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir / "list.lst", c.bytes);
        std::string damage;
        EXPECT_EQ(Load(dir / "list.lst", &damage), c.expected);
        EXPECT_EQ(damage, c.damage);
        if (!c.damage.empty()) continue;
        // A list read cleanly is written in today's form (here GBK, or UTF-8 where a text needs it) and reads back.
        ASSERT_TRUE(Save(dir / "saved.lst", c.expected));
        if (!c.written.empty()) {
            EXPECT_EQ(ReadFile(dir / "saved.lst"), c.written);
        }
        EXPECT_EQ(Load(dir / "saved.lst", &damage), c.expected);
        EXPECT_EQ(damage, "");
    }
}

// GBK text whose bytes are valid UTF-8 as well ("浣犲ソ" is, byte for byte, UTF-8 "你好"): the writer saves it in
// UTF-8 behind a mark so that it reads back as written; a list of such bytes alone without a mark reads as UTF-8.
TEST(PlaylistFile, GbkTextThatIsValidUtf8IsWrittenSoItReadsBack) {
    TempDir dir;
    const std::vector<PlaylistRecord> rows = {{u"浣犲ソ", u"", u"00:00", u"/m/1.mp3"}};
    ASSERT_EQ(Gbk(u"浣犲ソ"), text::ToUtf8(u"你好"));
    ASSERT_TRUE(Save(dir / "list.lst", rows));
    EXPECT_EQ(ReadFile(dir / "list.lst").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(Load(dir / "list.lst"), rows);

    WriteFile(dir / "old.lst", "\"" + Gbk(u"浣犲ソ") + "\",\"\",\"00:00\",\"/m/1.mp3\"\r\n");
    EXPECT_EQ(Load(dir / "old.lst"), (std::vector<PlaylistRecord>{{u"你好", u"", u"00:00", u"/m/1.mp3"}}));
}

// On a file system that fills up, a save that does not fit fails with ENOSPC and the old list stays byte for byte,
// whether the whole list would have fitted in the writer's buffer or not.
TEST(PlaylistFile, SaveOnAFullDiskFailsAndKeepsTheOldList) {
    SmallFileSystem disk(512 * 1024);
    if (disk.Path().empty()) GTEST_SKIP() << "no small file system can be mounted here";
    const std::filesystem::path list = disk.Path() + "/default.lst";
    ASSERT_TRUE(Save(list, Numbered(3)));
    const std::string oldBytes = ReadFile(list);

    struct Case {
        const char* name;
        std::size_t freeBytes;
        int rows;
    };
    for (const Case& c : {Case{"no room at all", 0, 2}, Case{"a page free", 4096, 160},
                          Case{"more than a buffer's worth", 16384, 2000}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(disk.Fill(c.freeBytes));
        errno = 0;
        EXPECT_FALSE(Save(list, Numbered(c.rows)));
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(ReadFile(list), oldBytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.Path()), {}), 2)
            << "a temporary file was left";
    }
    // With room again the list is saved.
    std::filesystem::remove(disk.Path() + "/filler");
    ASSERT_TRUE(Save(list, Numbered(160)));
    EXPECT_EQ(Load(list), Numbered(160));
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

    // The reason comes with the failure, for the message that tells of it.
    errno = 0;
    EXPECT_FALSE(Save(dir / "no-such-folder" / "list.lst", old));
    EXPECT_EQ(errno, ENOENT);
    std::filesystem::create_directory(dir / "folder.lst");
    errno = 0;
    EXPECT_FALSE(Save(dir / "folder.lst", old));
    EXPECT_EQ(errno, EISDIR);
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
