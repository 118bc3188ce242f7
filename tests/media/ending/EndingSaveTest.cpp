// How the list is kept as the program ends and when it is saved under a new name: a save that fails is told (on
// stderr always, in a message box when someone is there), and an ending nobody can answer never asks: an unnamed
// list goes to a new file of the user's data folder. Saves fail here in ways that hold for root as well: a folder on
// the way that is a file, a name too long for the system.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/PlaylistPlace.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/CommonDialogs.h"
#include "tests/media/playlist/ProgramWindows.h"

using namespace media;
using Kind = forms::DialogRequest::Kind;

namespace {

const auto* windows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

class EndingSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(Grid().Valid()) << "the grid library was not found through media.manifest";
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data")));
        Grid().Clear();
        AddRow(Grid(), 1, u"one", u"", u"00:01", u"/m/1.mp3");
        AddRow(Grid(), 2, u"two, with a comma", u"", u"00:02", u"/m/2.mp3");
        Shared().PlayListFile.clear();
    }
    void TearDown() override { forms::SetDialogHook({}); }

    static GridProxy& Grid() { return frmList().PlayList(); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    static std::u16string U(const QString& path) { return path.toStdU16String(); }

    // Every dialog is answered with `answer`; every request is kept.
    void Answer(QStringList answer) {
        forms::SetDialogHook([this, answer](const forms::DialogRequest& request) {
            requests.push_back(request);
            return answer;
        });
    }
    std::vector<forms::DialogRequest> Requests(Kind kind) const {
        std::vector<forms::DialogRequest> found;
        for (const auto& request : requests)
            if (request.kind == kind) found.push_back(request);
        return found;
    }
    // The lists kept for an unnamed list, in the user's data folder.
    QStringList UnnamedLists() const {
        return QDir(Path("data/media")).entryList({QStringLiteral("未命名播放列表-*.lst")}, QDir::Files);
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray TwoRows() {
        return QByteArray(
            "\"one\",\"\",\"00:01\",\"/m/1.mp3\"\r\n\"two, with a comma\",\"\",\"00:02\",\"/m/2.mp3\"\r\n");
    }

    QTemporaryDir dir;
    std::vector<forms::DialogRequest> requests;
};

// Targets no save can write, as root too, with the reason the system gives.
struct FailingTarget {
    const char* what;
    QString path;
    int error;
};

std::vector<FailingTarget> FailingTargets(const QTemporaryDir& dir) {
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    return {{"a folder on the way is a file", dir.filePath(QStringLiteral("plain-file/list.lst")), ENOTDIR},
            {"a name too long", dir.filePath(QString(300, u'长') + QStringLiteral(".lst")), ENAMETOOLONG}};
}

}  // namespace

TEST_F(EndingSave, AFailedSaveAsIsToldInABoxAndOnStderrAndTheListKeepsItsName) {
    for (const FailingTarget& target : FailingTargets(dir)) {
        SCOPED_TRACE(target.what);
        requests.clear();
        Shared().PlayListFile = u"/kept/default.lst";
        Answer({target.path});
        ::testing::internal::CaptureStderr();
        frmMenu().mnuPlayListSave().Click();
        const std::string said = ::testing::internal::GetCapturedStderr();

        const std::string reason = std::strerror(target.error);
        EXPECT_NE(said.find("could not be saved to " + QFile::encodeName(target.path).toStdString() + ": " + reason),
                  std::string::npos)
            << said;
        const auto boxes = Requests(Kind::Warning);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, QStringLiteral("Morvane-Tavri"));
        EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("播放列表未能保存："))) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(target.path));
        EXPECT_TRUE(boxes[0].text.contains(QString::fromLocal8Bit(reason.c_str())));
        // The exit save still goes where it went before, rather than to a name nothing was written under.
        EXPECT_EQ(Shared().PlayListFile, u"/kept/default.lst");
    }
}

TEST_F(EndingSave, AFailedExitSaveIsToldInABoxOnlyWhenTheUserEnded) {
    // A list saved in a folder, which later turns into a file: the list is the program's own, its place unwritable.
    ASSERT_TRUE(QDir().mkpath(Path("lists")));
    const QString list = Path("lists/mine.lst");
    ASSERT_TRUE(frmList().SavePlayList(U(list)));
    Shared().PlayListFile = U(list);
    ASSERT_TRUE(QDir(Path("lists")).removeRecursively());
    QFile blocker(Path("lists"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    struct Ending {
        const char* who;
        bool mayAsk, tellInABox;
        std::size_t boxes;
    };
    for (const Ending& ending : {Ending{"the close button", true, true, 1},
                                 Ending{"the session's save", true, false, 0}, Ending{"a signal", false, false, 0}}) {
        SCOPED_TRACE(ending.who);
        requests.clear();
        Answer({});
        ::testing::internal::CaptureStderr();
        frmMain().SaveListAtEnd(ending.mayAsk, ending.tellInABox);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(
            said.find("could not be saved to " + QFile::encodeName(list).toStdString() + ": " + std::strerror(ENOTDIR)),
            std::string::npos)
            << said;
        EXPECT_EQ(Requests(Kind::Warning).size(), ending.boxes);
        EXPECT_TRUE(Requests(Kind::SaveFile).empty()) << "a named list asks no name";
    }
    EXPECT_EQ(Read(Path("lists")), QByteArray()) << "the file in the way is left as it was";
}

TEST_F(EndingSave, AnUnnamedListIsKeptInANewFileWhenNobodyCanBeAsked) {
    // The same file for every unattended save of this run (the session's save, then the signal that ends it).
    const QString kept = Path("data/media/default.lst");
    ASSERT_TRUE(QDir().mkpath(Path("data/media")));
    ASSERT_TRUE(QFile(kept).open(QIODevice::WriteOnly));
    Answer({Path("never-asked.lst")});
    for (int save = 0; save < 2; ++save) {
        ::testing::internal::CaptureStderr();
        frmMain().SaveListAtEnd(false);
        const std::string said = ::testing::internal::GetCapturedStderr();
        const QStringList lists = UnnamedLists();
        ASSERT_EQ(lists.size(), 1) << lists.join(u' ').toStdString();
        const QString file = Path("data/media/") + lists.first();
        EXPECT_EQ(Read(file), TwoRows());
        EXPECT_NE(said.find("saved to " + QFile::encodeName(file).toStdString()), std::string::npos) << said;
    }
    EXPECT_TRUE(requests.empty()) << "nothing was asked or shown";
    EXPECT_TRUE(Shared().PlayListFile.empty()) << "a later close still asks for a name";
    EXPECT_EQ(Read(kept), QByteArray()) << "default.lst is not the unnamed list's";
    EXPECT_FALSE(QFile::exists(Path("never-asked.lst")));

    // Asked, the user names the list or cancels: no file of its own is made.
    Grid().RemoveItem(1);
    Answer({});
    frmMain().SaveListAtEnd(true, true);
    EXPECT_EQ(Requests(Kind::SaveFile).size(), 1u);
    EXPECT_EQ(UnnamedLists().size(), 1);
    Answer({Path("named")});
    frmMain().SaveListAtEnd(true, true);
    EXPECT_EQ(Shared().PlayListFile, U(Path("named.lst")));
    EXPECT_EQ(Read(Path("named.lst")), TwoRows().left(TwoRows().indexOf('\n') + 1));
}

TEST_F(EndingSave, AnUnnamedListsNewFileNeverTakesANameInUse) {
    const std::time_t when = 1700000000;
    const std::u16string folder = U(dir.path());
    const std::u16string first = NewUnnamedListFile(folder, when);
    EXPECT_EQ(first.rfind(folder + u"/未命名播放列表-", 0), 0u);
    EXPECT_TRUE(first.ends_with(u".lst"));
    ASSERT_TRUE(QFile(QString::fromStdU16String(first)).open(QIODevice::WriteOnly));
    const std::u16string second = NewUnnamedListFile(folder, when);
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + u"-2.lst");
    // A link to nothing is a name in use too: writing there would create the file it points to.
    ASSERT_TRUE(QFile::link(Path("elsewhere.lst"), QString::fromStdU16String(second)));
    EXPECT_EQ(NewUnnamedListFile(folder, when), first.substr(0, first.size() - 4) + u"-3.lst");
}

TEST_F(EndingSave, AnEndingThatComesWhileTheCloseAsksForANameCancelsTheDialogAndKeepsTheList) {
    // The close button asks for the unnamed list's name with Qt's real dialog; a SIGTERM arrives meanwhile.
    bool dialogWasOpen = false;
    QTimer::singleShot(300, [&] {
        dialogWasOpen = QApplication::activeModalWidget() != nullptr;
        frmMain().EndProgram();
    });
    QTimer watchdog;  // a dialog still open after this would hang the test: close it, and fail
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "the ending left the dialog open";
        forms::SetDialogHook({});
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(10000);
    frmMain().SaveListAtEnd(true, true);
    EXPECT_TRUE(dialogWasOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_EQ(UnnamedLists().size(), 1);
    EXPECT_EQ(Read(Path("data/media/") + UnnamedLists().first()), TwoRows());

    // A warning box open when the ending comes is closed the same way.
    QTimer::singleShot(300, [] { forms::CloseModalDialogs(); });
    watchdog.start(10000);
    forms::WarningBox(nullptr, QStringLiteral("Morvane-Tavri"), QStringLiteral("播放列表未能保存"));
    EXPECT_TRUE(watchdog.isActive()) << "the box was not closed";
}
