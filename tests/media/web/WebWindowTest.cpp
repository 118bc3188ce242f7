// The web portal window against a portal served on the loopback address: "play" links add files to the playlist,
// every other navigation after the start page is refused.
#include <gtest/gtest.h>

#include <QTest>

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/windows/WebWindow.h"
#include "platform/automation/ClassRegistry.h"
#include "tests/browser/LoopbackHttpServer.h"

using namespace media;

TEST(WebWindow, PlayLinksAddFilesAndOtherNavigationsAreRefused) {
    automation::ClassRegistry::Instance().AddManifest(automation::ProgramFolder() + "/media.manifest");
    LoopbackHttpServer server;
    const QString portal = QStringLiteral("/Zorbel/Ruzazerizo/Default.aspx");
    server.Page(portal, "<html><body><p>portal start</p><a href='/elsewhere'>elsewhere</a></body></html>");
    server.Page("/elsewhere", "<html><body><p>elsewhere</p></body></html>");
    WebWindow::SetPortalAddress(server.Url(portal));

    MainWindow& main = frmMain();
    main.Move(1500, 1500);
    GridProxy& grid = frmList().PlayList();
    ASSERT_TRUE(grid.Valid());
    SetUpColumns(grid);

    WebWindow& web = frmWindow();
    web.Load();
    EXPECT_FALSE(web.isVisible());  // loaded hidden
    EXPECT_EQ(web.Left(), main.Left() + main.Width());
    EXPECT_EQ(web.Top(), main.Top());
    EXPECT_TRUE(web.isNavigated);
    QTRY_VERIFY_WITH_TIMEOUT(web.WebBrowserPlayer.toPlainText().contains(QStringLiteral("portal start")), 5000);

    web.WebBrowserPlayer.Navigate(QStringLiteral("play:/music/play:a.mp3"));
    ASSERT_EQ(grid.ItemCount(), 1);
    EXPECT_EQ(grid.ItemText(0, column::Location), u"/music/a.mp3");  // every "play:" goes
    web.WebBrowserPlayer.Navigate(QStringLiteral("playx:/music/b.mp3"));
    ASSERT_EQ(grid.ItemCount(), 2);
    EXPECT_EQ(grid.ItemText(1, column::Location), u"playx:/music/b.mp3");
    web.WebBrowserPlayer.Navigate(QStringLiteral("Play:/music/c.mp3"));  // the test is case-sensitive
    EXPECT_EQ(grid.ItemCount(), 2);

    emit web.WebBrowserPlayer.anchorClicked(QUrl(QStringLiteral("/elsewhere")));
    QTest::qWait(200);
    EXPECT_TRUE(web.WebBrowserPlayer.toPlainText().contains(QStringLiteral("portal start")));
    EXPECT_EQ(server.requests, QStringList{portal});
}
