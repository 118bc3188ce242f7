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
#include <functional>

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

}  // namespace

TEST_F(EndingSave, AFailedSaveIsToldOnStderrAndInABoxOnlyWhereSomeoneIsThere) {
    // A list saved in a folder that then turns into a file: the list is the program's own, its place unwritable.
    ASSERT_TRUE(QDir().mkpath(Path("lists")));
    const QString list = Path("lists/mine.lst");
    ASSERT_TRUE(frmList().SavePlayList(U(list)));
    ASSERT_TRUE(QDir(Path("lists")).removeRecursively());
    ASSERT_TRUE(QFile(Path("lists")).open(QIODevice::WriteOnly));
    const QString tooLong = Path(QString(300, u'长') + QStringLiteral(".lst"));
    struct Case {
        const char* who;
        QString target;
        int error;
        std::function<void()> save;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"save-as, a folder on the way is a file", Path("lists/new.lst"), ENOTDIR, [] { frmMenu().PlayListSave(); }, 1},
        {"save-as, a name too long", tooLong, ENAMETOOLONG, [] { frmMenu().PlayListSave(); }, 1},
        {"the close button", list, ENOTDIR, [] { frmMain().SaveListAtEnd(true, true); }, 1},
        {"the session's save", list, ENOTDIR, [] { frmMain().SaveListAtEnd(true); }, 0},
        {"a signal", list, ENOTDIR, [] { frmMain().SaveListAtEnd(false); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        requests.clear();
        Shared().PlayListFile = c.target == list ? U(list) : u"/kept/default.lst";
        Answer({c.target});
        ::testing::internal::CaptureStderr();
        c.save();
        const std::string said = ::testing::internal::GetCapturedStderr();
        const std::string reason = std::strerror(c.error);
        EXPECT_NE(said.find("could not be saved to " + QFile::encodeName(c.target).toStdString() + ": " + reason),
                  std::string::npos)
            << said;
        const auto boxes = Requests(Kind::Warning);
        ASSERT_EQ(boxes.size(), c.boxes);
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].title, QStringLiteral("Morvane-Tavri"));
            EXPECT_EQ(boxes[0].text,
                      QStringLiteral("播放列表未能保存：%1（%2）").arg(c.target, QString::fromLocal8Bit(reason)));
        }
        // A failed save-as leaves the name the exit save writes to, rather than one nothing was written under.
        EXPECT_EQ(Shared().PlayListFile, c.target == list ? U(list) : u"/kept/default.lst");
    }
    EXPECT_EQ(Read(Path("lists")), QByteArray()) << "the file in the way is left as it was";
}

TEST_F(EndingSave, AnUnnamedListGoesToANewFileWhenNobodyCanBeAskedAndOnlyThen) {
    ASSERT_TRUE(QDir().mkpath(Path("data/media")));
    ASSERT_TRUE(QFile(Path("data/media/default.lst")).open(QIODevice::WriteOnly));
    Answer({Path("never-asked.lst")});
    // The same file for every save that cannot ask (the session's, then the signal that ends the program).
    for (int save = 0; save < 2; ++save) {
        ::testing::internal::CaptureStderr();
        frmMain().SaveListAtEnd(false);
        const std::string said = ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(UnnamedLists().size(), 1) << UnnamedLists().join(u' ').toStdString();
        const QString file = Path("data/media/") + UnnamedLists().first();
        EXPECT_EQ(Read(file), TwoRows());
        EXPECT_NE(said.find("saved to " + QFile::encodeName(file).toStdString()), std::string::npos) << said;
    }
    EXPECT_TRUE(requests.empty()) << "nothing was asked or shown";
    EXPECT_TRUE(Shared().PlayListFile.empty()) << "a later close still asks for a name";
    EXPECT_EQ(Read(Path("data/media/default.lst")), QByteArray());

    // Asked, the user cancels (no file of its own is made) or names the list.
    Answer({});
    frmMain().SaveListAtEnd(true, true);
    EXPECT_EQ(Requests(Kind::SaveFile).size(), 1u);
    EXPECT_EQ(UnnamedLists().size(), 1);
    Answer({Path("named")});
    frmMain().SaveListAtEnd(true, true);
    EXPECT_EQ(Read(Path("named.lst")), TwoRows());

    // The new file's name is never one in use, a link to nothing included (writing there would follow it).
    const std::u16string folder = U(dir.path()), first = NewUnnamedListFile(folder, 1700000000);
    const std::u16string stem = first.substr(0, first.size() - 4);
    EXPECT_EQ(first.rfind(folder + u"/未命名播放列表-", 0), 0u);
    ASSERT_TRUE(QFile(QString::fromStdU16String(first)).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(Path("elsewhere.lst"), QString::fromStdU16String(stem + u"-2.lst")));
    EXPECT_EQ(NewUnnamedListFile(folder, 1700000000), stem + u"-3.lst");
}

TEST_F(EndingSave, AnEndingThatComesWhileTheCloseAsksForANameCancelsTheDialogAndKeepsTheList) {
    // The close button asks for the unnamed list's name with Qt's real dialog; a SIGTERM arrives meanwhile.
    bool dialogWasOpen = false;
    QTimer::singleShot(300, [&] {
        dialogWasOpen = QApplication::activeModalWidget() != nullptr;
        frmMain().EndProgram();
    });
    QTimer watchdog;  // a dialog left open would hang the test: close it, and fail
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "the dialog stayed open";
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(10000);
    frmMain().SaveListAtEnd(true, true);
    EXPECT_TRUE(dialogWasOpen);
    ASSERT_EQ(UnnamedLists().size(), 1);
    EXPECT_EQ(Read(Path("data/media/") + UnnamedLists().first()), TwoRows());

    // A warning box open when the ending comes is closed the same way.
    QTimer::singleShot(300, [] { forms::CloseModalDialogs(); });
    forms::WarningBox(nullptr, QStringLiteral("Morvane-Tavri"), QStringLiteral("播放列表未能保存"));
    EXPECT_TRUE(watchdog.isActive());
}
