// What the program keeps as it ends and while its windows come and go: a list file is written back only when the
// program holds it whole, through links and with its mode; tool windows closed by the window manager only hide;
// the playlist window follows the main window's minimise and restore.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWindowStateChangeEvent>

#include <cerrno>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/lyrics/LyricsWindow.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "tests/media/playlist/ProgramWindows.h"
#include "tests/media/playlist/SmallFileSystem.h"

using namespace media;

namespace {

const auto* windows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

class ListKeeping : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(Grid().Valid()) << "the grid library was not found through media.manifest";
        Grid().Clear();
        frmMain().Transport().TimerMain.SetEnabled(false);
    }
    void TearDown() override {
        frmMain().MediaPlayer().close();
        frmMain().Transport().TimerMain.SetEnabled(false);
        frmMain().ImgPlay.Tag = QStringLiteral("p");
    }

    static GridProxy& Grid() { return frmList().PlayList(); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static QByteArray Rows(int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "\"t" + QByteArray::number(i) + "\",\"a\",\"00:01\",\"/m/" + QByteArray::number(i) + ".mp3\"\r\n";
        return bytes;
    }
    // The list file at start-up: PlayListFile names it and the playlist window reads it.
    static void LoadList(const QString& path) {
        Shared().PlayListFile = path.toStdU16String();
        frmMain().Transport().Stop();
        Grid().Clear();
        frmList().LoadPlayList();
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(ListKeeping, AListReadWholeIsWrittenBackAndAListNotReadIsKept) {
    // Read whole: the end writes the rows back (a row added meanwhile included).
    const QString whole = Path("whole.lst");
    Write(whole, Rows(3));
    LoadList(whole);
    ASSERT_EQ(Grid().ItemCount(), 3);
    AddRow(Grid(), 4, u"new", u"", u"00:00", u"/m/new.mp3");
    frmMain().SaveListAtEnd(false);
    EXPECT_EQ(Read(whole), Rows(3) + "\"new\",\"\",\"00:00\",\"/m/new.mp3\"\r\n");

    // Something that cannot be read as a file (here a folder by the list's name) is never replaced.
    const QString folder = Path("folder.lst");
    ASSERT_TRUE(QDir().mkpath(folder));
    LoadList(folder);
    AddRow(Grid(), 1, u"row", u"", u"00:00", u"/m/row.mp3");
    frmMain().SaveListAtEnd(false);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A list longer than the grid holds shows what fits and keeps every row of its file.
    const QString longList = Path("long.lst");
    const QByteArray longRows = Rows(32767 + 233);
    Write(longList, longRows);
    LoadList(longList);
    EXPECT_EQ(Grid().ItemCount(), 32767);
    frmMain().SaveListAtEnd(false);
    EXPECT_EQ(Read(longList), longRows);

    // Saved under a new name, the same rows belong to that file from then on.
    const QString savedAs = Path("saved-as.lst");
    ASSERT_TRUE(frmList().SavePlayList(savedAs.toStdU16String()));
    Shared().PlayListFile = savedAs.toStdU16String();
    EXPECT_TRUE(frmList().MayWriteBack(Shared().PlayListFile));
    EXPECT_FALSE(frmList().MayWriteBack(longList.toStdU16String()));
}

TEST_F(ListKeeping, SavingGoesThroughALinkKeepsTheModeAndWritesTheSameRowsOnce) {
    const QString target = Path("real.lst");
    const QString link = Path("default.lst");
    Write(target, Rows(2));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(target, link));
    LoadList(link);
    AddRow(Grid(), 3, u"third", u"", u"00:00", u"/m/3.mp3");
    frmMain().SaveListAtEnd(false);

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Read(target), Rows(2) + "\"third\",\"\",\"00:00\",\"/m/3.mp3\"\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2)
        << "a temporary file was left";

    // The session's save and the ending after it: the second finds its rows already in the file.
    const ino_t written = info.st_ino;
    frmMain().SaveListAtEnd(false);
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_ino, written);
    // Changed by someone else since, the file gets the rows again.
    Write(target, "changed");
    frmMain().SaveListAtEnd(false);
    EXPECT_EQ(Read(target), Rows(2) + "\"third\",\"\",\"00:00\",\"/m/3.mp3\"\r\n");
}

TEST_F(ListKeeping, AListReadWithDamageKeepsItsFileAndAForeignOneIsWrittenInOurForm) {
    const QByteArray rows = Rows(3);
    QByteArray utf16("\xFF\xFE");
    for (const char c : rows) utf16 += QByteArray(1, c) + QByteArray(1, '\0');
    // Every damage the reader names keeps the file alike (the codec's tests go through each).
    QByteArray unclosed = rows;
    unclosed.remove(unclosed.indexOf("\",\"a\""), 1);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* problem;  // nullptr: the list is held whole and written back, in the writer's form
    };
    for (const Case& c :
         {Case{"UTF-16", utf16, nullptr}, Case{"an unclosed quote", unclosed, "text outside the quotes on line 1"}}) {
        SCOPED_TRACE(c.name);
        const QString list = Path(QStringLiteral("damaged.lst"));
        Write(list, c.bytes);
        LoadList(list);
        EXPECT_EQ(Grid().ItemCount(), 3);
        AddRow(Grid(), 4, u"new", u"", u"00:00", u"/m/new.mp3");
        EXPECT_EQ(frmList().MayWriteBack(list.toStdU16String()), c.problem == nullptr);
        EXPECT_EQ(frmList().ReadProblem(), c.problem ? std::string("it was read with damage: ") + c.problem : "");
        frmMain().SaveListAtEnd(false);
        EXPECT_EQ(Read(list), c.problem ? c.bytes : rows + "\"new\",\"\",\"00:00\",\"/m/new.mp3\"\r\n");
    }
}

TEST_F(ListKeeping, AListSomeoneElseChangedIsKeptBesideOursAndAFullDiskKeepsTheOldList) {
    const QString list = Path(QStringLiteral("default.lst"));
    const QString kept = list + QStringLiteral(".orig");
    const QByteArray added = "\"new\",\"\",\"00:00\",\"/m/new.mp3\"\r\n";
    Write(list, Rows(2));
    LoadList(list);
    AddRow(Grid(), 3, u"new", u"", u"00:00", u"/m/new.mp3");
    // Edited by hand while the program ran: at the end that version goes beside the list and ours is written.
    Write(list, "\"hand\",\"edit\",\"00:00\",\"/m/h.mp3\"\r\n");
    frmMain().SaveListAtEnd(false);
    EXPECT_EQ(Read(kept), "\"hand\",\"edit\",\"00:00\",\"/m/h.mp3\"\r\n");
    EXPECT_EQ(Read(list), Rows(2) + added);
    // Ours written and untouched since, nothing is kept again; a second edit replaces the older one kept.
    ASSERT_TRUE(QFile::remove(kept));
    ASSERT_TRUE(frmList().SavePlayList(list.toStdU16String()));
    EXPECT_FALSE(QFile::exists(kept));
    Write(list, "second edit");
    ASSERT_TRUE(frmList().SavePlayList(list.toStdU16String()));
    EXPECT_EQ(Read(kept), "second edit");
    // When the other version cannot be kept, ours does not replace it either.
    ASSERT_TRUE(QFile::remove(kept));
    ASSERT_TRUE(QDir().mkpath(kept));
    Write(list, "third edit");
    EXPECT_FALSE(frmList().SavePlayList(list.toStdU16String()));
    EXPECT_EQ(Read(list), "third edit");

    // On a full disk the save fails with ENOSPC and the list on it stays byte for byte.
    SmallFileSystem disk(256 * 1024);
    if (disk.Path().empty()) GTEST_SKIP() << "no small file system can be mounted here";
    const QString full = QString::fromStdString(disk.Path() + "/default.lst");
    Write(full, Rows(2));
    LoadList(full);
    for (int i = 0; i < 200; ++i) AddRow(Grid(), 3 + i, u"more", u"", u"00:00", u"/m/more.mp3");
    ASSERT_TRUE(disk.Fill(4096));
    errno = 0;
    EXPECT_FALSE(frmList().SavePlayList(full.toStdU16String()));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(Read(full), Rows(2));
}

TEST_F(ListKeeping, AToolWindowClosedByTheWindowManagerOnlyHides) {
    MainWindow& main = frmMain();
    main.show();
    AddRow(Grid(), 1, u"one", u"", u"00:00", u"/m/1.mp3");
    frmList().Show();
    main.isList = true;
    ASSERT_TRUE(frmList().close());  // what the window manager's close asks for
    EXPECT_FALSE(frmList().isVisible());
    EXPECT_TRUE(frmList().Loaded());
    EXPECT_FALSE(main.isList);
    EXPECT_EQ(Grid().ItemCount(), 1);

    frmLrc().Show();
    main.isLrc = true;
    ASSERT_TRUE(frmLrc().close());
    EXPECT_FALSE(main.isLrc);
    EXPECT_TRUE(frmLrc().Loaded());
    // One click on the list button brings it back.
    main.ImgList.Click();
    EXPECT_TRUE(frmList().isVisible());
    EXPECT_TRUE(main.isList);
}

TEST_F(ListKeeping, ThePlaylistWindowFollowsTheMainWindowsMinimiseAndRestore) {
    MainWindow& main = frmMain();
    main.Restore();
    main.isList = true;
    frmList().Show();
    // Minimised by the window manager, the playlist window goes too; restored, it comes back with its flag.
    main.setWindowState(Qt::WindowMinimized);
    QWindowStateChangeEvent minimised(Qt::WindowNoState);
    QCoreApplication::sendEvent(&main, &minimised);
    EXPECT_FALSE(frmList().isVisible());
    EXPECT_TRUE(main.isList);
    main.setWindowState(Qt::WindowNoState);
    QWindowStateChangeEvent restored(Qt::WindowMinimized);
    QCoreApplication::sendEvent(&main, &restored);
    EXPECT_TRUE(frmList().isVisible());

    // Without its flag the playlist window stays away.
    main.isList = false;
    frmList().Hide();
    main.Restore();
    EXPECT_FALSE(frmList().isVisible());
}
