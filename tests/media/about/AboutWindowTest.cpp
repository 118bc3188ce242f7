// The about box: its caption, the link that lights up under the pointer and opens the product site.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include "media/windows/AboutWindow.h"
#include "platform/forms/Label.h"

namespace {

// Receives the addresses the about box hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }

public:
    std::vector<QUrl> opened;
};

// A pointer move without buttons, delivered as the window system would.
void Hover(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

}  // namespace

TEST(AboutWindow, TheLinkTurnsBlueUnderThePointerAndOpensTheSite) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
    media::AboutWindow box(nullptr);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("关于MorvaneTavri1.0"));
    forms::Label* link = box.Label4();
    const QColor normal = link->ForeColor();
    Hover(link, QPoint(3, 3));
    EXPECT_EQ(link->ForeColor(), QColor(0, 0, 255));
    Hover(&box, QPoint(box.width() - 2, box.height() - 2));
    EXPECT_EQ(link->ForeColor(), normal);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0].toString(), QString::fromLatin1(media::AboutWindow::kProductSite));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

#include "AboutWindowTest.moc"
