// The web portal window against a portal served on the loopback address: "play" links the user follows add files to
// the playlist, every other navigation after the start page is refused. The "play" test is on the address as the
// page wrote it. Navigations the user did not start (the program's own, a redirect) never add a file.
#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/windows/WebWindow.h"
#include "platform/automation/ClassRegistry.h"
#include "tests/browser/LoopbackHttpServer.h"

using namespace media;

// Failures show texts as text.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kPortalPath = QStringLiteral("/Zorbel/Ruzazerizo/Default.aspx");

// One portal server for the whole program, as the windows live for the whole program.
LoopbackHttpServer& Server() {
    static LoopbackHttpServer* server = [] {
        automation::ClassRegistry::Instance().AddManifest(automation::ProgramFolder() + "/media.manifest");
        auto* made = new LoopbackHttpServer;
        made->Page(kPortalPath,
                   "<html><body><p>portal start</p><a href='/elsewhere'>elsewhere</a>"
                   "<p><a href='Play:/music/upper.mp3'>upper case</a></p>"
                   "<p><a href='play:/music/a%20b.mp3'>escaped space</a></p>"
                   "<p><a href='play:/music/play:a.mp3'>two plays</a></p>"
                   "<p><a href='playx:/music/b.mp3'>playx link</a></p></body></html>");
        made->Page("/elsewhere", "<html><body><p>elsewhere</p></body></html>");
        WebWindow::SetPortalAddress(made->Url(kPortalPath));
        return made;
    }();
    return *server;
}

// The playlist's grid, empty, with its columns (set up once for each playlist window made).
GridProxy& EmptyPlaylist() {
    const bool made = !frmListExists();
    GridProxy& grid = frmList().PlayList();
    if (grid.Valid() && made) SetUpColumns(grid);
    grid.Clear();
    return grid;
}

// Each test starts on windows made anew, as the program does: a web window left shown by one test is not "loaded
// hidden" for the next. The portal server lives for the whole program; its log of requests starts empty.
class PortalWindow : public ::testing::Test {
protected:
    void SetUp() override { Server().requests.clear(); }
    void TearDown() override { DestroyWindows(); }
};

// Clicks the middle of the first characters of the link text, as the user does.
void ClickLink(browser::WebBrowser& view, const QString& text) {
    const QTextCursor found = view.document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor second(view.document());
    second.setPosition(found.selectionStart() + 1);
    QTextCursor third(view.document());
    third.setPosition(found.selectionStart() + 2);
    const QPoint at = (view.cursorRect(second).center() + view.cursorRect(third).center()) / 2;
    ASSERT_FALSE(view.anchorAt(at).isEmpty()) << "no link under " << text.toStdString();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

TEST_F(PortalWindow, PlayLinksAddFilesAndOtherNavigationsAreRefused) {
    LoopbackHttpServer& server = Server();
    MainWindow& main = frmMain();
    main.Move(1500, 1500);
    GridProxy& grid = EmptyPlaylist();
    ASSERT_TRUE(grid.Valid());

    WebWindow& web = frmWindow();
    web.Load();
    EXPECT_FALSE(web.isVisible());  // loaded hidden
    EXPECT_EQ(web.Left(), main.Left() + main.Width());
    EXPECT_EQ(web.Top(), main.Top());
    EXPECT_TRUE(web.isNavigated);
    QTRY_VERIFY_WITH_TIMEOUT(web.WebBrowserPlayer.toPlainText().contains(QStringLiteral("portal start")), 5000);

    // The program's own navigation to "play" is not the user's: nothing is added.
    web.WebBrowserPlayer.Navigate(QStringLiteral("play:/music/d.mp3"));
    EXPECT_EQ(grid.ItemCount(), 0);

    web.Show();  // links are followed in the window the user sees
    ClickLink(web.WebBrowserPlayer, QStringLiteral("two plays"));
    ASSERT_EQ(grid.ItemCount(), 1);
    EXPECT_EQ(grid.ItemText(0, column::kLocation), u"/music/a.mp3");  // every "play:" goes
    ClickLink(web.WebBrowserPlayer, QStringLiteral("playx link"));
    ASSERT_EQ(grid.ItemCount(), 2);
    EXPECT_EQ(grid.ItemText(1, column::kLocation), u"playx:/music/b.mp3");
    web.WebBrowserPlayer.Navigate(QStringLiteral("Play:/music/c.mp3"));  // the test is case-sensitive
    EXPECT_EQ(grid.ItemCount(), 2);

    emit web.WebBrowserPlayer.anchorClicked(QUrl(QStringLiteral("/elsewhere")));
    // A navigation that goes ahead starts its fetch at once: nothing to wait for when none did.
    EXPECT_FALSE(web.WebBrowserPlayer.Busy()) << "the refused navigation started a fetch";
    EXPECT_TRUE(web.WebBrowserPlayer.toPlainText().contains(QStringLiteral("portal start")));
    EXPECT_EQ(server.requests, QStringList{kPortalPath});
}

TEST_F(PortalWindow, LinksOfThePageAreTestedAsThePageWroteThem) {
    LoopbackHttpServer& server = Server();
    GridProxy& grid = EmptyPlaylist();
    ASSERT_TRUE(grid.Valid());
    WebWindow& web = frmWindow();
    web.Show();  // laid out as the user sees it
    browser::WebBrowser& view = web.WebBrowserPlayer;
    QTRY_VERIFY_WITH_TIMEOUT(view.toPlainText().contains(QStringLiteral("portal start")), 5000);
    QStringList announced;
    const auto handler = view.BeforeNavigate2;
    view.BeforeNavigate2 = [&](const QString& url, bool userStarted, bool& cancel) {
        announced << url;
        handler(url, userStarted, cancel);
    };

    // Upper case is no "play": refused like any other link, and nothing is fetched.
    ClickLink(view, QStringLiteral("upper case"));
    EXPECT_EQ(announced, QStringList{QStringLiteral("Play:/music/upper.mp3")});
    EXPECT_EQ(grid.ItemCount(), 0);

    // An escape in the address stays as written, in the path handed on too.
    ClickLink(view, QStringLiteral("escaped space"));
    EXPECT_EQ(announced.value(1), QStringLiteral("play:/music/a%20b.mp3"));
    ASSERT_EQ(grid.ItemCount(), 1);
    EXPECT_EQ(grid.ItemText(0, column::kLocation), u"/music/a%20b.mp3");

    // The same from the keyboard: Tab goes from link to link, Return follows the one it is on.
    view.setFocus();
    view.moveCursor(QTextCursor::Start);
    for (int i = 0; i < 3; ++i) QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(announced.value(2), QStringLiteral("play:/music/a%20b.mp3"));
    ASSERT_EQ(grid.ItemCount(), 2);
    EXPECT_EQ(grid.ItemText(1, column::kLocation), u"/music/a%20b.mp3");

    // A relative link is resolved against the page, and refused.
    ClickLink(view, QStringLiteral("elsewhere"));
    EXPECT_EQ(announced.value(3), server.Url(QStringLiteral("/elsewhere")));
    EXPECT_FALSE(view.Busy()) << "the refused navigation started a fetch";
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("portal start")));
    EXPECT_EQ(server.requests.count(kPortalPath), server.requests.size());  // only the start page was fetched
}

// A portal server that redirects the start page (or whose page refreshes itself) to a "play" address adds nothing:
// only the user's click may add a file.
TEST_F(PortalWindow, TheServersOwnNavigationsAddNoFile) {
    LoopbackHttpServer& server = Server();
    server.Redirect("/Zorbel/redirected.aspx", "play:/x.mp3");
    server.Page("/Zorbel/refreshing.aspx",
                "<html><head><meta http-equiv='refresh' content='0;url=play:/y.mp3'></head><body>portal</body></html>");
    for (const char* path : {"/Zorbel/redirected.aspx", "/Zorbel/refreshing.aspx"}) {
        SCOPED_TRACE(path);
        GridProxy& grid = EmptyPlaylist();  // the windows of this round
        ASSERT_TRUE(grid.Valid());
        WebWindow::SetPortalAddress(server.Url(QString::fromLatin1(path)));
        WebWindow& web = frmWindow();
        web.Load();
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(QString::fromLatin1(path)), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!web.WebBrowserPlayer.Busy(), 5000);
        QTest::qWait(100);
        EXPECT_EQ(grid.ItemCount(), 0);
        DestroyWindows();
    }
    WebWindow::SetPortalAddress(server.Url(kPortalPath));
}
