// The browser component against a server on the loopback address: every navigation is announced first and a
// cancelled one changes nothing.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "platform/browser/WebBrowser.h"
#include "tests/browser/LoopbackHttpServer.h"

using browser::WebBrowser;

namespace {
bool WaitIdle(WebBrowser& view) {
    return QTest::qWaitFor([&] { return !view.Busy(); }, 10000);
}
}  // namespace

TEST(WebBrowser, NavigationsAreAnnouncedAndCancellingKeepsThePage) {
    LoopbackHttpServer server;
    server.Page("/start", "<html><body><p>portal start</p><a href='/other'>other</a></body></html>");
    server.Page("/other", "<html><body><p>another page</p></body></html>");
    server.Redirect("/moved", "/other");

    WebBrowser view;
    QStringList announced;
    bool refuse = false;
    view.BeforeNavigate2 = [&](const QString& url, bool& cancel) {
        announced << url;
        cancel = refuse;
    };
    view.Navigate(server.Url("/start"));
    ASSERT_TRUE(WaitIdle(view));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("portal start")));
    EXPECT_EQ(announced, QStringList{server.Url("/start")});

    // A link is a navigation too; refused, the page stays and nothing is fetched.
    refuse = true;
    emit view.anchorClicked(QUrl(QStringLiteral("/other")));
    ASSERT_TRUE(WaitIdle(view));
    EXPECT_EQ(announced.last(), server.Url("/other"));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("portal start")));
    EXPECT_EQ(server.requests, QStringList{"/start"});

    // A redirect is announced as a navigation of its own.
    refuse = false;
    view.Navigate(server.Url("/moved"));
    ASSERT_TRUE(WaitIdle(view));
    QTRY_VERIFY_WITH_TIMEOUT(view.toPlainText().contains(QStringLiteral("another page")), 3000);
    EXPECT_EQ(announced.mid(2), (QStringList{server.Url("/moved"), server.Url("/other")}));
}

TEST(WebBrowser, AnUnreachableServerShowsAnErrorPageAndOtherSchemesShowNothing) {
    LoopbackHttpServer closed;
    const QString url = closed.Url("/gone");
    closed.close();
    WebBrowser view;
    view.Navigate(url);
    ASSERT_TRUE(WaitIdle(view));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("无法显示此页")));
    const QString before = view.toPlainText();
    view.Navigate(QStringLiteral("play:/music/a.mp3"));
    EXPECT_EQ(view.toPlainText(), before);
}
