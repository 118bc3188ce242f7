// Picking files and folders: the dialogs' result texts and how they are taken apart, the directory search, and the
// folder search that fills the real grid.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtCore/qtestsupport_core.h>  // QTest::qWaitFor, without the test library
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "lorvex/listview/ListView.h"
#include "media/playlist/AddMedia.h"
#include "media/playlist/FindFile.h"
#include "media/playlist/PlaylistRows.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/text/FileName.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

const QChar kNul(u'\0');

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
std::u16string U(const std::string& s) { return QString::fromStdString(s).toStdU16String(); }

// Answers every dialog with the given paths while it lives, and keeps the last request.
class AnsweredDialogs {
public:
    explicit AnsweredDialogs(QStringList answer) {
        forms::SetDialogHook([this, answer](const forms::DialogRequest& request) {
            last = request;
            ++shown;
            return answer;
        });
    }
    ~AnsweredDialogs() { forms::SetDialogHook({}); }
    forms::DialogRequest last;
    int shown = 0;
};

struct Grid {
    Grid() : view(lorvex::ListView::Create()), grid(static_cast<automation::Dispatch*>(view.Get())) {
        SetUpColumns(grid);
    }
    std::vector<std::u16string> Locations() const {
        std::vector<std::u16string> out;
        for (std::int32_t r = 0; r < grid.ItemCount(); ++r) out.push_back(grid.ItemText(r, column::kLocation));
        return out;
    }
    automation::Ref<lorvex::ListView> view;
    GridProxy grid;
};

class Tree {
public:
    Tree() : root_(dir_.path().toStdString()) {}
    const fs::path& Root() const { return root_; }
    fs::path File(const fs::path& relative) {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "not really media";
        return path;
    }
    fs::path Folder(const fs::path& relative) {
        fs::create_directories(root_ / relative);
        return root_ / relative;
    }

private:
    QTemporaryDir dir_;
    fs::path root_;
};

// File managers' order for the plain ASCII names these tests use: case ignored, runs of digits by their value.
bool NameOrder(const std::string& a, const std::string& b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            const std::size_t i0 = i, j0 = j;
            while (i < a.size() && digit(a[i])) ++i;
            while (j < b.size() && digit(b[j])) ++j;
            const unsigned long x = std::stoul(a.substr(i0, i - i0)), y = std::stoul(b.substr(j0, j - j0));
            if (x != y) return x < y;
            continue;
        }
        const char x = static_cast<char>(std::tolower(a[i++])), y = static_cast<char>(std::tolower(b[j++]));
        if (x != y) return x < y;
    }
    return a.size() - i < b.size() - j;
}

std::vector<fs::directory_entry> EntriesInNameOrder(const fs::path& folder) {
    std::vector<fs::directory_entry> entries(fs::directory_iterator(folder), fs::directory_iterator{});
    std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return NameOrder(a.path().filename().string(), b.path().filename().string());
    });
    return entries;
}

// What the search must add for one pass's extensions, each folder's entries in name order.
void ListedOrder(const fs::path& folder, const std::vector<std::string>& extensions, std::vector<std::u16string>& out) {
    for (const fs::directory_entry& entry : EntriesInNameOrder(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory()) {
            if (name.front() != '.') ListedOrder(entry.path(), extensions, out);
        } else {
            std::string ext = entry.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
                out.push_back(U(entry.path().string()));
        }
    }
}

void ListedOrder(const fs::path& folder, const std::string& extension, std::vector<std::u16string>& out) {
    ListedOrder(folder, std::vector<std::string>{extension}, out);
}

std::vector<std::u16string> AddFolder(GridProxy& grid, const fs::path& folder) {
    AnsweredDialogs dialogs({QString::fromStdString(folder.string())});
    MediaAdder adder(grid);
    AddFolderCommand(nullptr, adder);
    std::vector<std::u16string> rows;
    for (std::int32_t r = 0; r < grid.ItemCount(); ++r) rows.push_back(grid.ItemText(r, column::kLocation));
    return rows;
}

}  // namespace

// ---------------------------------------------------------------- dialog results

TEST(DialogResult, OneFileIsItsPath) {
    AnsweredDialogs dialogs({QStringLiteral("/music/one.mp3")});
    const QString result =
        forms::BrowseForFiles(nullptr, QStringLiteral("t"), QStringLiteral("f"), QStringLiteral("*.mp3"), 1, 65535);
    EXPECT_EQ(result, QStringLiteral("/music/one.mp3"));
    EXPECT_EQ(SplitSelection(result.toStdU16String()), 0);
    EXPECT_EQ(SelectedFiles(), std::vector<std::u16string>{u"/music/one.mp3"});
}

TEST(DialogResult, SeveralFilesAreTheFolderAndTheirNames) {
    AnsweredDialogs dialogs(
        {QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.wma"), QStringLiteral("/music/c d.mp3")});
    const QString result =
        forms::BrowseForFiles(nullptr, QStringLiteral("t"), QStringLiteral("f"), QStringLiteral("*.mp3"), 1, 65535);
    EXPECT_EQ(result, QStringLiteral("/music") + kNul + "a.mp3" + kNul + "b.wma" + kNul + "c d.mp3" + kNul + kNul);
    EXPECT_EQ(SplitSelection(result.toStdU16String()), 2);
    EXPECT_EQ(SelectedFiles(), (std::vector<std::u16string>{u"/music/a.mp3", u"/music/b.wma", u"/music/c d.mp3"}));
}

TEST(DialogResult, FilesOfTheRootFolderGetOneSlash) {
    AnsweredDialogs dialogs({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")});
    const QString result = forms::BrowseForFiles(nullptr, {}, {}, {}, 1, 65535);
    EXPECT_EQ(result, QStringLiteral("/") + kNul + "a.mp3" + kNul + "b.mp3" + kNul + kNul);
    EXPECT_EQ(SplitSelection(result.toStdU16String()), 1);
    EXPECT_EQ(SelectedFiles(), (std::vector<std::u16string>{u"/a.mp3", u"/b.mp3"}));
}

TEST(DialogResult, NamesTypedWithFoldersOfTheirOwnKeepTheirPaths) {
    AnsweredDialogs dialogs({QStringLiteral("/music/x/a.mp3"), QStringLiteral("/music/y/b.mp3")});
    const QString result = forms::BrowseForFiles(nullptr, {}, {}, {}, 1, 65535);
    SplitSelection(result.toStdU16String());
    EXPECT_EQ(SelectedFiles(), (std::vector<std::u16string>{u"/music/x/a.mp3", u"/music/y/b.mp3"}));
}

TEST(DialogResult, CancelIsEmptyEverywhere) {
    AnsweredDialogs dialogs({});
    EXPECT_TRUE(forms::BrowseForFiles(nullptr, {}, {}, {}, 1, 65535).isEmpty());
    EXPECT_TRUE(forms::BrowseForSaveFile(nullptr, {}, {}).isEmpty());
    EXPECT_TRUE(forms::BrowseForFolder(nullptr, QStringLiteral("t")).isEmpty());
    EXPECT_EQ(dialogs.shown, 3);
}

TEST(DialogResult, ASelectionLongerThanTheBufferKeepsTheWholeNamesThatFit) {
    AnsweredDialogs dialogs({QStringLiteral("/m/aaaa"), QStringLiteral("/m/bbbb"), QStringLiteral("/m/cccc")});
    // "/m" NUL "aaaa" NUL "bbbb" NUL NUL is 14 characters; "cccc" would need 5 more.
    const QString result = forms::BrowseForFiles(nullptr, {}, {}, {}, 1, 16);
    EXPECT_EQ(result, QStringLiteral("/m") + kNul + "aaaa" + kNul + "bbbb" + kNul + kNul);
    EXPECT_TRUE(forms::BrowseForFiles(nullptr, {}, {}, {}, 1, 6).isEmpty()) << "not even one name fits";
}

TEST(DialogResult, SingleSelectionTakesOneFile) {
    AnsweredDialogs dialogs({QStringLiteral("/m/a.lst"), QStringLiteral("/m/b.lst")});
    EXPECT_EQ(forms::BrowseForFiles(nullptr, {}, {}, {}, 0, 65535), QStringLiteral("/m/a.lst"));
    EXPECT_FALSE(dialogs.last.multiSelect);
}

TEST(DialogResult, ClassicBufferWithTrailingSpacesSplitsTheSame) {
    const std::u16string result = std::u16string(u"/m") + u'\0' + u"a" + u'\0' + u"b" + u'\0' + u'\0' + u"     ";
    EXPECT_EQ(SplitSelection(result), 1);
    EXPECT_EQ(SelectedFiles(), (std::vector<std::u16string>{u"/m/a", u"/m/b"}));
    EXPECT_EQ(SplitSelection(std::u16string(u"/m/one.mp3") + u'\0' + u'\0' + u"   "), 0);
    EXPECT_EQ(SelectedFiles(), std::vector<std::u16string>{u"/m/one.mp3"});
}

TEST(DialogResult, FolderAndSaveResultsAreThePathAndCutAtNul) {
    AnsweredDialogs dialogs({QStringLiteral("/home/me/lists/mine")});
    EXPECT_EQ(forms::BrowseForSaveFile(nullptr, QStringLiteral("保存播放列表"), QStringLiteral("播放列表(*.lst)")),
              QStringLiteral("/home/me/lists/mine"));
    EXPECT_EQ(dialogs.last.title, QStringLiteral("保存播放列表"));
    EXPECT_EQ(dialogs.last.nameFilter, QStringLiteral("播放列表(*.lst)"));
    EXPECT_EQ(forms::BrowseForFolder(nullptr, QStringLiteral("请选择文件夹")), QStringLiteral("/home/me/lists/mine"));
    EXPECT_EQ(dialogs.last.kind, forms::DialogRequest::Kind::Folder);
    EXPECT_EQ(forms::UpToNul(QStringLiteral("/m") + kNul + "a" + kNul + kNul), QStringLiteral("/m"));
    EXPECT_EQ(forms::UpToNul(QStringLiteral("/m/x.lst")), QStringLiteral("/m/x.lst"));
}

TEST(DialogResult, FilterPatternsReachQtsFilter) {
    EXPECT_EQ(forms::NameFilter(QStringLiteral("播放列表"), QStringLiteral("*.lst")),
              QStringLiteral("播放列表 (*.lst)"));
    EXPECT_EQ(forms::NameFilter(QStringLiteral("所有音频格式*.mp3;*.wma"), QStringLiteral("*.mp3;*.wma")),
              QStringLiteral("所有音频格式*.mp3;*.wma (*.mp3 *.wma)"));
    EXPECT_EQ(forms::NameFilter(QStringLiteral("播放列表(*.lst)"), QStringLiteral("*.lst")),
              QStringLiteral("播放列表(*.lst)"));
}

// ---------------------------------------------------------------- the directory search

TEST(FindFile, ListsEveryEntryInNameOrderWithDirectoryBits) {
    Tree tree;
    for (const char* name : {"k.mp3", "b.txt", "zz.wma", "a.mp3", "m.ogg"}) tree.File(name);
    tree.Folder("sub");
    tree.Folder("target");
    fs::create_directory_symlink(tree.Root() / "target", tree.Root() / "link");

    std::vector<std::string> expected{".", ".."};
    for (const auto& entry : EntriesInNameOrder(tree.Root())) expected.push_back(entry.path().filename().string());

    cFindFile finder;
    std::vector<std::string> listed;
    for (std::u16string name = finder.Find(U(tree.Root().string()) + u"/*"); !name.empty(); name = finder.FindNext()) {
        listed.push_back(Q(name).toStdString());
        const bool folder = listed.back() == "." || listed.back() == ".." || listed.back() == "sub" ||
                            listed.back() == "target" || listed.back() == "link";
        EXPECT_EQ(finder.FileAttributes(), folder ? kFileAttributeDirectory : kFileAttributeNormal) << listed.back();
    }
    EXPECT_EQ(listed, expected) << "\".\" and \"..\" are listed too, first";
    EXPECT_EQ(finder.FileAttributes(), 0u) << "the search is closed at its end";
    EXPECT_TRUE(finder.FindNext().empty());
}

// Albums play from their first track: each folder is walked in the order file managers show, whatever order the
// names were written in.
TEST(FindFile, NamesComeInFileManagerOrder) {
    // 歌 and 你好 are written in GBK, as archives made on Windows leave them: they take their place as they read.
    const std::vector<std::string> ordered{"01 开始.mp3", "1 开始.mp3", "2 x.mp3",      "10 x.mp3",
                                           "安徽.mp3",    "北京.mp3",   "\xB8\xE8.mp3", "\xC4\xE3\xBA\xC3.mp3",
                                           "上海.mp3",    "Apple.mp3",  "apple.mp3",    "Banana.mp3",
                                           "banana.MP3",  "Track2.mp3", "track10.mp3"};
    Tree tree;
    for (std::size_t i = 0; i < ordered.size(); ++i) tree.File(ordered[(i * 7 + 3) % ordered.size()]);
    cFindFile finder;
    std::vector<std::string> listed;
    for (std::u16string name = finder.Find(U(tree.Root().string()) + u"/*.mp3"); !name.empty();
         name = finder.FindNext())
        listed.push_back(text::ToFileName(name));
    EXPECT_EQ(listed, ordered);
}

TEST(SearchFolder, FoldersAreEnteredWhereTheyFallInNameOrder) {
    Tree tree;
    for (const char* name : {"z.wma", "CD10/01.wma", "cd2/03.wma", "cd2/1.wma", "a.wma", "CD1/06.wma", "CD1/04.wma"})
        tree.File(name);
    Grid g;
    std::vector<std::u16string> expected;
    for (const char* name : {"a.wma", "CD1/04.wma", "CD1/06.wma", "cd2/1.wma", "cd2/03.wma", "CD10/01.wma", "z.wma"})
        expected.push_back(U((tree.Root() / name).string()));
    EXPECT_EQ(AddFolder(g.grid, tree.Root()), expected);
}

TEST(FindFile, PatternsIgnoreCaseAndTakeOnlyStarAndQuestionMarkAsWildcards) {
    Tree tree;
    for (const char* name : {"one.mp3", "TWO.MP3", "three.Mp3", "four.mp3x", "[x].mp3", "x.mp3", "b.wma"})
        tree.File(name);
    cFindFile finder;
    std::vector<std::string> found;
    for (std::u16string name = finder.Find(U(tree.Root().string()) + u"/*.mP3"); !name.empty();
         name = finder.FindNext())
        found.push_back(Q(name).toStdString());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"TWO.MP3", "[x].mp3", "one.mp3", "three.Mp3", "x.mp3"}));
    EXPECT_EQ(Q(finder.Find(U(tree.Root().string()) + u"/[x].mp3")).toStdString(), "[x].mp3");
    EXPECT_EQ(Q(finder.Find(U(tree.Root().string()) + u"/?.WMA")).toStdString(), "b.wma");
}

TEST(FindFile, AFolderThatCannotBeListedGivesNothing) {
    Tree tree;
    const fs::path file = tree.File("plain.mp3");
    cFindFile finder;
    EXPECT_TRUE(finder.Find(U((tree.Root() / "missing").string()) + u"/*").empty());
    EXPECT_EQ(finder.FileAttributes(), 0u);
    EXPECT_TRUE(finder.FindNext().empty());
    EXPECT_TRUE(finder.Find(U(file.string()) + u"/*").empty());
    // A new search after a failed one works, and restarting an open one starts from its beginning.
    const std::u16string first = finder.Find(U(tree.Root().string()) + u"/*.mp3");
    EXPECT_EQ(first, u"plain.mp3");
    EXPECT_EQ(finder.Find(U(tree.Root().string()) + u"/*.mp3"), first);
}

// ---------------------------------------------------------------- the folder search

TEST(SearchFolder, WmaPassFirstThenMp3DepthFirstInListingOrder) {
    Tree tree;
    // Enough names that the listing order differs from the order of creation and from the alphabet.
    for (int i = 0; i < 12; ++i) {
        tree.File("track" + std::to_string(i) + ".mp3");
        tree.File("side" + std::to_string(i) + ".wma");
        tree.File("sub" + std::to_string(i % 3) + "/deep" + std::to_string(i) + ".mp3");
        tree.File("sub" + std::to_string(i % 3) + "/inner/w" + std::to_string(i) + ".WMA");
    }
    tree.File("cover.jpg");
    tree.File("notes.wav");
    std::vector<std::u16string> expected;
    ListedOrder(tree.Root(), ".wma", expected);
    ListedOrder(tree.Root(), ".mp3", expected);
    ASSERT_EQ(expected.size(), 48u);

    Grid g;
    EXPECT_EQ(AddFolder(g.grid, tree.Root()), expected);
    EXPECT_EQ(g.grid.ItemText(47, column::kNumber), u"48.");
}

TEST(SearchFolder, TheOtherFormatsFollowInPassesOfTheirOwnAndWaveStaysOut) {
    Tree tree;
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        for (const char* ext : {".mp3", ".wma", ".flac", ".ogg", ".OGA", ".opus", ".m4a", ".m4b", ".wav", ".mp4",
                                ".aac", ".ape", ".wv", ".cue"}) {
            tree.File("t" + n + ext);
            tree.File("sub" + std::to_string(i % 2) + "/s" + n + ext);
        }
    }
    std::vector<std::u16string> expected;
    ListedOrder(tree.Root(), ".wma", expected);
    ListedOrder(tree.Root(), ".mp3", expected);
    ListedOrder(tree.Root(), ".flac", expected);
    ListedOrder(tree.Root(), std::vector<std::string>{".ogg", ".oga"}, expected);
    ListedOrder(tree.Root(), ".opus", expected);
    ListedOrder(tree.Root(), std::vector<std::string>{".m4a", ".m4b"}, expected);
    ListedOrder(tree.Root(), ".ape", expected);
    ListedOrder(tree.Root(), ".wv", expected);
    ASSERT_EQ(expected.size(), 12u * 10) << "no .wav, no .mp4 (a music folder's videos), no .aac";

    Grid g;
    EXPECT_EQ(AddFolder(g.grid, tree.Root()), expected);
    EXPECT_EQ(MoreFolderPasses().size(), 6u);
}

// Sheets have their pass after WMA and before MP3, and the album file a sheet names is added only as its tracks.
TEST(SearchFolder, SheetsAddTheirTracksBeforeTheMp3PassAndTheirAlbumFilesOnlyOnce) {
    Tree tree;
    const std::u16string wma = U(tree.File("a.wma").string());
    const std::u16string album = U(tree.File("album/CDImage.flac").string());
    const std::u16string bonus = U(tree.File("album/bonus.mp3").string());
    const std::u16string lone = U(tree.File("other/lone.flac").string());
    std::ofstream(tree.Root() / "album/CDImage.cue") << "FILE \"CDImage.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                                        "TRACK 02 AUDIO\nINDEX 01 03:00:00\n";
    Grid g;
    EXPECT_EQ(AddFolder(g.grid, tree.Root()),
              (std::vector<std::u16string>{wma, album + u"#t=0,180", album + u"#t=180", bonus, lone}));
}

TEST(SearchFolder, SeveralPatternsAreOnePassInListingOrder) {
    Tree tree;
    for (int i = 0; i < 10; ++i) {
        tree.File("a" + std::to_string(i) + ".ogg");
        tree.File("b" + std::to_string(i) + ".oga");
        tree.File("c" + std::to_string(i) + ".opus");
    }
    std::vector<std::u16string> expected;
    ListedOrder(tree.Root(), std::vector<std::string>{".ogg", ".oga"}, expected);
    Grid g;
    MediaAdder adder(g.grid);
    SearchFolder(adder, U(tree.Root().string()), std::vector<std::u16string>{u"*.ogg", u"*.oga"});
    EXPECT_EQ(g.Locations(), expected);
}

TEST(SearchFolder, TheExampleFolder) {
    Tree tree;
    tree.File("a.mp3");
    tree.File("b.wma");
    tree.File("sub/c.mp3");
    std::vector<std::u16string> mp3s;
    ListedOrder(tree.Root(), ".mp3", mp3s);
    Grid g;
    const auto rows = AddFolder(g.grid, tree.Root());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], U((tree.Root() / "b.wma").string()));
    EXPECT_EQ(std::vector<std::u16string>(rows.begin() + 1, rows.end()), mp3s);
}

TEST(SearchFolder, HiddenFoldersAreNotEnteredButDotFilesMatch) {
    Tree tree;
    tree.File(".hidden/secret.mp3");
    tree.File(".cache/x/deeper.mp3");
    tree.File(".dotted.mp3");
    tree.File("seen.mp3");
    Grid g;
    auto rows = AddFolder(g.grid, tree.Root());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::u16string>{U((tree.Root() / ".dotted.mp3").string()),
                                                 U((tree.Root() / "seen.mp3").string())}));
}

TEST(SearchFolder, SymbolicLinkLoopsEndAndEachFolderIsSearchedOnce) {
    Tree tree;
    tree.File("a/one.mp3");
    tree.File("a/b/two.mp3");
    fs::create_directory_symlink(tree.Root() / "a", tree.Root() / "a/b/up");
    fs::create_directory_symlink(tree.Root(), tree.Root() / "a/top");
    fs::create_directory_symlink(tree.Root() / "a/self-missing", tree.Root() / "a/dangling.mp3");
    Grid g;
    auto rows = AddFolder(g.grid, tree.Root());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::u16string>{U((tree.Root() / "a/b/two.mp3").string()),
                                                 U((tree.Root() / "a/dangling.mp3").string()),
                                                 U((tree.Root() / "a/one.mp3").string())}));
}

TEST(SearchFolder, FoldersThatCannotBeReadAddNothing) {
    Tree tree;
    tree.File("open/fine.mp3");
    tree.File("locked/hidden.mp3");
    tree.File("locked/inner/also.mp3");
    fs::permissions(tree.Root(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(tree.Root() / "open", fs::perms::all);
    fs::permissions(tree.Root() / "locked", fs::perms::none);
    // Permissions bind the superuser only once it acts as someone else.
    const uid_t user = ::geteuid();
    if (user == 0) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    Grid g;
    const auto rows = AddFolder(g.grid, tree.Root());
    if (user == 0) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    fs::permissions(tree.Root() / "locked", fs::perms::owner_all);
    EXPECT_EQ(rows, std::vector<std::u16string>{U((tree.Root() / "open/fine.mp3").string())});

    Grid none;
    EXPECT_TRUE(AddFolder(none.grid, tree.Root() / "missing").empty());
    EXPECT_TRUE(AddFolder(none.grid, tree.Root() / "open/fine.mp3").empty());
}

TEST(SearchFolder, AFullGridEndsTheSearchAndSaysSo) {
    Tree tree;
    for (int i = 0; i < 5; ++i) tree.File("t" + std::to_string(i) + ".mp3");
    Grid g;
    for (std::int32_t r = 0; r < kMaxRows - 2; ++r) AddRow(g.grid, r + 1, u"", u"", u"00:00", u"x");
    MediaAdder adder(g.grid);
    ::testing::internal::CaptureStderr();
    SearchFolder(adder, U(tree.Root().string()), u"*.mp3");
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(g.grid.ItemCount(), kMaxRows);
    EXPECT_TRUE(adder.Stopped());
    EXPECT_EQ(told, "media: the playlist is full (32767 rows); the remaining files were not added\n");
}

// A folder tree deeper than the descriptors a process may hold open at once is searched to its bottom.
TEST(SearchFolder, ATreeDeeperThanTheOpenFileLimitIsSearchedWhole) {
    constexpr int kDepth = 1500;
    Tree tree;
    fs::path deepest = tree.Root();
    for (int level = 0; level < kDepth; ++level) fs::create_directory(deepest /= "d");
    tree.File("top.mp3");
    std::ofstream(deepest / "bottom.mp3") << "not really media";
    rlimit kept{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &kept), 0);
    rlimit lowered = kept;
    lowered.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    Grid g;
    MediaAdder adder(g.grid);
    SearchFolder(adder, U(tree.Root().string()), u"*.mp3");
    ::setrlimit(RLIMIT_NOFILE, &kept);
    std::vector<std::u16string> rows;
    for (std::int32_t r = 0; r < g.grid.ItemCount(); ++r) rows.push_back(g.grid.ItemText(r, column::kLocation));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::u16string>{U((deepest / "bottom.mp3").string()),
                                                 U((tree.Root() / "top.mp3").string())}));
}

TEST(SearchFolder, AStopRequestEndsAddingAtTheNextTurn) {
    Tree tree;
    for (int i = 0; i < 5; ++i) tree.File("t" + std::to_string(i) + ".mp3");
    Grid g;
    bool closing = false;
    int asked = 0;  // turns that looked at the stop request
    MediaAdder adder(g.grid, [&] {
        ++asked;
        return closing;
    });
    EXPECT_TRUE(adder.Add(U((tree.Root() / "t0.mp3").string())));
    // Turns come as their interval passes. Until one has looked, and after it, adding goes on.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !adder.TakeTurn() || asked > 0; }, 5000)) << "no turn came";
    EXPECT_TRUE(adder.TakeTurn()) << "nothing asked it to stop yet";
    closing = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !adder.TakeTurn(); }, 5000)) << "the stop request was never seen";
    SearchFolder(adder, U(tree.Root().string()), u"*.mp3");
    EXPECT_EQ(g.grid.ItemCount(), 1);
}

TEST(AddFileCommand, AddsTheChosenFilesInTheDialogsOrder) {
    Tree tree;
    const fs::path b = tree.File("b.mp3"), a = tree.File("a.wav");
    AnsweredDialogs dialogs({QString::fromStdString(b.string()), QString::fromStdString(a.string())});
    Grid g;
    MediaAdder adder(g.grid);
    AddFileCommand(adder);
    EXPECT_EQ(g.Locations(), (std::vector<std::u16string>{U(b.string()), U(a.string())}));
    EXPECT_EQ(dialogs.last.title, QStringLiteral("选择要播放的音频文件"));
    // The classic entry as it always was, then the entry of the formats read beyond it.
    const QStringList entries = dialogs.last.nameFilter.split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], QStringLiteral("所有音频格式*.mp3;*.wav;*.wma;*.mdi (*.mp3 *.wav *.wma *.mdi)"));
    EXPECT_EQ(
        entries[1],
        QStringLiteral("更多音频格式*.flac;*.ogg;*.oga;*.opus;*.m4a;*.m4b;*.mp4;*.ape;*.wv;*.cue (*.flac *.ogg *.oga "
                       "*.opus *.m4a *.m4b *.mp4 *.ape *.wv *.cue)"));
    EXPECT_TRUE(dialogs.last.multiSelect);
    EXPECT_EQ(g.grid.ItemText(1, column::kTitle), u"A");
}

TEST(AddFileCommand, QtsDialogOffersTheClassicEntryFirstAndTheOtherFormatsSecond) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(AddFileFilter());
    ASSERT_EQ(dialog.nameFilters().size(), 2);
    EXPECT_EQ(dialog.nameFilters()[0], QStringLiteral("所有音频格式*.mp3;*.wav;*.wma;*.mdi (*.mp3 *.wav *.wma *.mdi)"));
    EXPECT_EQ(dialog.selectedNameFilter(), dialog.nameFilters()[0]) << "the classic entry is the one shown first";
    EXPECT_TRUE(dialog.nameFilters()[1].endsWith(
        QStringLiteral("(*.flac *.ogg *.oga *.opus *.m4a *.m4b *.mp4 *.ape *.wv *.cue)")));
}

TEST(AddFileCommand, FilesOfTheOtherFormatsGetTheirTagTexts) {
    Tree tree;
    const fs::path flac = tree.File("song.flac");
    const std::string comment = std::string("\x04\0\0\0test\x01\0\0\0\x0B\0\0\0TITLE=Flac!", 27);
    std::ofstream(flac, std::ios::binary)
        << "fLaC" << '\x84' << '\0' << '\0' << static_cast<char>(comment.size()) << comment;
    const fs::path untagged = tree.File("plain.ogg");
    AnsweredDialogs dialogs({QString::fromStdString(flac.string()), QString::fromStdString(untagged.string())});
    Grid g;
    MediaAdder adder(g.grid);
    AddFileCommand(adder);
    ASSERT_EQ(g.grid.ItemCount(), 2);
    EXPECT_EQ(g.grid.ItemText(0, column::kTitle), u"Flac!");
    EXPECT_EQ(g.grid.ItemText(1, column::kTitle), u"PLAIN") << "no Ogg pages: the name, as for any unread file";
}

TEST(AddFileCommand, CancelAddsNothing) {
    AnsweredDialogs dialogs({});
    Grid g;
    MediaAdder adder(g.grid);
    AddFileCommand(adder);
    AddFolderCommand(nullptr, adder);
    EXPECT_EQ(g.grid.ItemCount(), 0);
    EXPECT_EQ(dialogs.last.title, QStringLiteral("请选择文件夹"));
}

// ---------------------------------------------------------------- names that are not UTF-8

namespace {

// GBK names, as archives made on Windows leave them: 歌曲 (a folder), 你好.mp3 and 丂.wma (a GBK character whose
// second byte is ASCII).
const std::string kGbkFolder = "\xB8\xE8\xC7\xFA";
const std::string kGbkMp3 = "\xC4\xE3\xBA\xC3.mp3";
const std::string kGbkWma = "\x81\x40.wma";

bool ExistsOnDisk(const std::u16string& location) {
    struct stat info {};
    return ::stat(text::ToFileName(location).c_str(), &info) == 0;
}

}  // namespace

TEST(NamesNotUtf8, TheFolderSearchAddsThemWithTheirBytesAndReadableTitles) {
    Tree tree;
    tree.File(kGbkFolder + "/" + kGbkMp3);
    tree.File(kGbkFolder + "/" + kGbkWma);
    Grid g;
    const std::vector<std::u16string> rows = AddFolder(g.grid, tree.Root());
    ASSERT_EQ(rows.size(), 2u);
    const std::string folder = tree.Root().string() + "/" + kGbkFolder + "/";
    EXPECT_EQ(text::ToFileName(rows[0]), folder + kGbkWma) << "the WMA pass still comes first";
    EXPECT_EQ(text::ToFileName(rows[1]), folder + kGbkMp3);
    EXPECT_TRUE(ExistsOnDisk(rows[0]) && ExistsOnDisk(rows[1]));
    // Unreadable content: the title is the name, shown in the code page that wrote it.
    EXPECT_EQ(g.grid.ItemText(0, column::kTitle), u"丂");
    EXPECT_EQ(g.grid.ItemText(1, column::kTitle), u"你好");
}
