// The browser component against a server on the loopback address: every navigation is announced first and a
// cancelled one changes nothing.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/browser/LayoutSafeHtml.h"

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
    view.BeforeNavigate2 = [&](const QString& url, bool, bool& cancel) {
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

namespace {

// The deepest nesting of `name` elements in a page.
int Depth(const QString& html, const QString& name) {
    int depth = 0, deepest = 0;
    for (qsizetype at = 0; (at = html.indexOf(QLatin1Char('<'), at)) >= 0; ++at) {
        if (html.mid(at + 1, name.size()).compare(name, Qt::CaseInsensitive) == 0) deepest = std::max(deepest, ++depth);
        if (html.mid(at + 1, name.size() + 1).compare("/" + name, Qt::CaseInsensitive) == 0) --depth;
    }
    return deepest;
}

// How long the window thread went without answering (a timer that should tick every 10 ms) while `until` was false.
int LongestSilenceMs(const std::function<bool()>& until, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(10);
    const bool done = QTest::qWaitFor(until, timeoutMs);
    EXPECT_TRUE(done) << "not done within " << timeoutMs << " ms";
    return static_cast<int>(std::max(longest, clock.elapsed() - last));
}

}  // namespace

// Pages built to make the text view's layout endless come out with bounded structure and their text.
TEST(LayoutSafeHtml, HostileStructureIsBoundedAndOrdinaryPagesKeepTheirs) {
    const browser::HtmlBounds bounds;
    struct Case {
        const char* name;
        QString page;
        int tables;    // the deepest table nesting expected
        QString text;  // text expected in the result
    } cases[] = {
        {"an ordinary page", "<html><body><table><tr><td>a<td>b<tr><td><table><tr><td>inner</table></table>", 2,
         "inner"},
        {"60,000 nested tables", QString("<table><tr><td>x").repeated(60000), bounds.maxTableDepth, "xxx"},
        {"closed nested tables",
         QString("<table><tr><td>x").repeated(100) + QString("</td></tr></table>").repeated(100) + "after", 3, "after"},
        {"unclosed rows", "<table>" + QString("<tr><td>row").repeated(50) + "</table>", 1, "row"},
        {"nested divs", QString("<div>d").repeated(60000), 0, "ddd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString safe = browser::LayoutSafeHtml(c.page);
        EXPECT_EQ(Depth(safe, "table"), c.tables);
        EXPECT_LE(Depth(safe, "div"), bounds.maxDepth);
        EXPECT_LE(safe.count('<'), 4 * bounds.maxElements);
        EXPECT_TRUE(safe.contains(c.text));
    }
    // Unclosed rows stay rows, and a long word gets break opportunities.
    EXPECT_EQ(browser::LayoutSafeHtml("<table>" + QString("<tr><td>row").repeated(50) + "</table>").count("<tr>"), 50);
    EXPECT_TRUE(browser::LayoutSafeHtml(QString(1000, 'x')).contains(QChar(0x200B)));
    EXPECT_EQ(browser::LayoutSafeHtml("<p>&eacute;&#233; <b>bold</b></p><!-- note -->"),
              "<p>&eacute;&#233; <b>bold</b></p>");
}

// A hostile server on the loopback address cannot hold the window thread: too large pages are abandoned once the
// limit is read, a structure that would take the layout minutes is reduced, a server that never answers or redirects
// in circles is left.
TEST(WebBrowser, HostileServersNeverHoldTheWindowThread) {
    LoopbackHttpServer server;
    const QByteArray eightMegabytes = "<html><body>" + QByteArray(8000000, 'x');
    server.Page("/large", eightMegabytes);
    server.PageWithoutLength("/large-unsized", eightMegabytes);
    server.Page("/tables", "<html><body>" + QByteArray("<table><tr><td>x").repeated(60000));
    server.Stall("/silent");
    server.Redirect("/circle", "/circle");
    server.Page("/devices",
                "<html><head><link rel='stylesheet' href='file:///dev/zero'></head><body>"
                "<img src='file:///dev/zero'><img src='/dev/zero'><p>no device read</p></body></html>");
    struct Case {
        const char* path;
        const char* shown;
    } cases[] = {
        {"/large", "无法显示此页"},  {"/large-unsized", "无法显示此页"}, {"/tables", "xxx"},
        {"/silent", "无法显示此页"}, {"/circle", "重定向次数过多"},      {"/devices", "no device read"},
    };
    WebBrowser view;
    view.resize(300, 420);
    view.show();
    browser::PageLimits limits;
    limits.timeoutMs = 1000;
    view.SetPageLimits(limits);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        view.setHtml({});
        view.Navigate(server.Url(c.path));
        // Loaded, and painted: the pictures a page names are read when drawn.
        EXPECT_LT(LongestSilenceMs(
                      [&] {
                          if (view.Busy()) return false;
                          view.viewport()->repaint();
                          return true;
                      },
                      10000),
                  1500);  // before, 7.6 s for 8 MB and minutes for the tables
        EXPECT_TRUE(view.toPlainText().contains(QString::fromUtf8(c.shown)))
            << view.toPlainText().left(200).toStdString();
    }
    // A local address that is a device, not a file, is not read at all.
    view.Navigate(QStringLiteral("file:///dev/zero"));
    EXPECT_TRUE(WaitIdle(view));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("不是可以显示的文件")));
}

// Only a link the user activates is the user's navigation: not the program's Navigate, not a redirect, not a link
// signalled by anything else.
TEST(WebBrowser, OnlyLinksTheUserActivatesAreUserStarted) {
    LoopbackHttpServer server;
    server.Page("/start", "<html><body><p><a href='/moved'>moved away</a></p></body></html>");
    server.Redirect("/moved", "play:/x.mp3");
    WebBrowser view;
    view.resize(300, 420);
    view.show();
    QStringList announced;
    view.BeforeNavigate2 = [&](const QString& url, bool userStarted, bool&) {
        announced << (userStarted ? "user " : "not user ") + url;
    };
    view.Navigate(server.Url("/start"));
    ASSERT_TRUE(WaitIdle(view));
    emit view.anchorClicked(QUrl("/elsewhere"));
    const QTextCursor link = view.document()->find("moved away");
    ASSERT_FALSE(link.isNull());
    QTextCursor inside(view.document());
    inside.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.cursorRect(inside).center());
    ASSERT_TRUE(WaitIdle(view));
    EXPECT_EQ(announced, (QStringList{"not user " + server.Url("/start"), "not user " + server.Url("/elsewhere"),
                                      "user " + server.Url("/moved"), "not user play:/x.mp3"}));
}
