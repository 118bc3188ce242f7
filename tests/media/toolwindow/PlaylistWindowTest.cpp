// The playlist window inside its frame: the grid and the menu button follow the window's size, the menu button's
// pictures and popup, and the grid clearing the title-bar hover pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "media/playlist/PlaylistWindow.h"
#include "platform/automation/ClassRegistry.h"

using namespace media;

namespace {

class PlaylistWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { automation::ClassRegistry::Instance().AddManifest(MEDIA_MANIFEST); }

    void SetUp() override {
        ASSERT_NE(window.PlayListHost().Widget(), nullptr) << "the grid was not created";
        window.show();  // size changes reach a shown window at once
    }
    QWidget& Grid() { return *window.PlayListHost().Widget(); }
    static QString PictureName(const forms::Image& image) { return image.PictureFile().section(QLatin1Char('/'), -1); }
    static void Hover(QWidget& widget, QPointF at = {4, 4}) {
        QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &move);
    }

    PlaylistWindow window;
};

}  // namespace

TEST_F(PlaylistWindowTest, GridAndMenuButtonFollowTheWindowSize) {
    EXPECT_EQ(window.Width(), 3945);
    EXPECT_EQ(window.Height(), 4680);
    window.Resize(6000, 5250);
    EXPECT_EQ(Grid().geometry(), QRect(7, 51, 387, 293));  // 100, 760, W - 200, H - 860 twips
    EXPECT_EQ(window.ImgList.Left(), 6000 - 840);
    EXPECT_EQ(window.ImgList.Top(), 60);
    EXPECT_LE(window.ImgList.Left() + window.ImgList.Width(), window.ImClose.Left());
    EXPECT_EQ(window.mask(), ToolWindowRegion(6000, 5250));
    // At the smallest size the menu button still clears the close button and the caption.
    window.Resize(2515, 1515);
    EXPECT_LE(window.ImgList.Left() + window.ImgList.Width(), window.ImClose.Left());
    EXPECT_GT(window.ImgList.Left(), 1200);
}

TEST_F(PlaylistWindowTest, MenuButtonPicturesAndRegion) {
    window.clearMask();
    QTest::mousePress(&window.ImgList, Qt::RightButton, {}, QPoint(4, 4));
    EXPECT_EQ(PictureName(window.ImgList), QStringLiteral("list_d.bmp"));
    Hover(window.ImgList);
    EXPECT_EQ(PictureName(window.ImgList), QStringLiteral("list_m.bmp"));
    QTest::mouseRelease(&window.ImgList, Qt::RightButton, {}, QPoint(4, 4));
    EXPECT_EQ(window.mask(), ToolWindowRegion(window.Width(), window.Height()));
}

TEST_F(PlaylistWindowTest, MenuButtonClickShowsTheListMenu) {
    Hover(window.ImgList);
    bool popped = false;
    QTimer::singleShot(200, [&popped] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            popped = true;
            menu->close();
        }
    });
    QTest::mouseClick(&window.ImgList, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(popped);
    EXPECT_EQ(PictureName(window.ImgList), QStringLiteral("list_n.bmp"));
}

TEST_F(PlaylistWindowTest, ThePointerOverTheGridClearsTheTitleBarHoverPictures) {
    Hover(window.ImClose);
    Hover(window.ImgList);
    ASSERT_EQ(PictureName(window.ImClose), QStringLiteral("close_m.bmp"));
    // The grid's own window lies inside its border.
    const QPoint centre = Grid().rect().center();
    QWidget* inner = Grid().childAt(centre);
    ASSERT_NE(inner, nullptr);
    Hover(*inner, inner->mapFrom(&Grid(), centre));
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_n.bmp"));
    EXPECT_TRUE(window.ImClose.Tag.isEmpty());
    EXPECT_EQ(PictureName(window.ImgList), QStringLiteral("list_n.bmp"));
}

TEST_F(PlaylistWindowTest, TheTitleBarClearsTheMenuButtonsHoverToo) {
    Hover(window.ImgList);
    Hover(window.IMBar);
    EXPECT_EQ(PictureName(window.ImgList), QStringLiteral("list_n.bmp"));
}
