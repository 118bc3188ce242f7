// The tool-window frame as the user meets it on the offscreen platform: its composition from the skin bitmap, its
// outline, the controls that follow the size, resizing by the handles, the close and stay-on-top buttons and the
// hover pictures.
#include <gtest/gtest.h>

#include <QCursor>
#include <QPainter>
#include <QTest>
#include <vector>

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/windows/ToolWindow.h"

using namespace media;

namespace {

// The main window is reached by name from the frame; it goes before the application object does.
class WindowsEnvironment : public ::testing::Environment {
public:
    void TearDown() override { DestroyWindows(); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WindowsEnvironment);

// Records what the frame had done when it asked for the content to be placed.
class RecordingWindow : public ToolWindow {
public:
    explicit RecordingWindow(ToolWindowKind kind) : ToolWindow(std::move(kind)) {}
    using ToolWindow::ApplyFrameSkin;
    std::vector<bool> regionBeforeContent;

protected:
    void PlaceContent() override { regionBeforeContent.push_back(!mask().isEmpty()); }
};

// One colour per frame piece, in copying order a..h.
const QColor kPieceColors[] = {QColor(200, 0, 0),   QColor(0, 200, 0),   QColor(0, 0, 200),  QColor(200, 200, 0),
                               QColor(0, 200, 200), QColor(200, 0, 200), QColor(120, 60, 0), QColor(60, 0, 120)};
enum Piece { A, B, C, D, E, F, G, H };

// A 200 x 160 pixel skin bitmap (3000 x 2400 twips) whose frame pieces have distinct colours. Where the sources
// overlap, the later piece's colour wins.
QPixmap PieceBitmap() {
    QImage bitmap(200, 160, QImage::Format_RGB32);
    bitmap.fill(QColor(128, 128, 128));
    QPainter painter(&bitmap);
    const QRect sources[] = {{28, 0, 8, 53}, {28, 120, 8, 40}, {0, 53, 13, 3},   {193, 53, 7, 3},
                             {0, 0, 30, 53}, {0, 107, 30, 53}, {89, 0, 111, 29}, {89, 125, 111, 35}};
    for (int i = 0; i < 8; ++i) painter.fillRect(sources[i], kPieceColors[i]);
    return QPixmap::fromImage(bitmap);
}

int ColorDistance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// Pixels in a box that carry (nearly) the given colour.
int CountNear(const QImage& image, const QRect& box, QColor color) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (ColorDistance(image.pixelColor(x, y), color) < 60) ++count;
    return count;
}

QString PictureName(const forms::Image& image) { return image.PictureFile().section(QLatin1Char('/'), -1); }

void Press(QWidget& control, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&control, button, {}, QPoint(2, 2));
}
void Release(QWidget& control, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(&control, button, {}, QPoint(2, 2));
}
void Hover(QWidget& widget, QPoint at = {2, 2}) {
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
}
// A drag step over a handle with the pointer at a screen position.
void DragOver(QWidget& handle, QPoint screen) {
    QCursor::setPos(screen);
    QMouseEvent move(QEvent::MouseMove, handle.mapFromGlobal(QPointF(screen)), QPointF(screen), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&handle, &move);
}

}  // namespace

TEST(ToolWindowFrame, ComposesThePiecesInOrderThenTheCaption) {
    ToolWindow window(ToolWindowKind::Playlist());
    window.PMain.SetPicture(PieceBitmap());
    window.Resize(300 * 15, 200 * 15);
    window.ComposeFrame();
    const QImage& frame = window.FrameImage();
    ASSERT_EQ(frame.size(), QSize(300, 200));

    EXPECT_EQ(frame.pixelColor(150, 40), kPieceColors[A]);   // title-bar middle, stretched to the width
    EXPECT_EQ(frame.pixelColor(150, 180), kPieceColors[B]);  // bottom middle (B = 600 twips)
    EXPECT_EQ(frame.pixelColor(5, 100), kPieceColors[C]);    // left edge, stretched to the height
    EXPECT_EQ(frame.pixelColor(296, 100), kPieceColors[D]);  // right edge, cut where its source leaves the bitmap
    EXPECT_EQ(frame.pixelColor(296, 40), kPieceColors[D]);   // ... over the title-bar middle
    EXPECT_EQ(frame.pixelColor(5, 45), kPieceColors[E]);     // top-left corner over the left edge
    EXPECT_EQ(frame.pixelColor(5, 180), kPieceColors[F]);    // bottom-left corner (C = 800 twips) over the left edge
    EXPECT_EQ(frame.pixelColor(5, 147), kPieceColors[F]);
    EXPECT_EQ(frame.pixelColor(5, 146), kPieceColors[C]);
    EXPECT_EQ(frame.pixelColor(250, 10), kPieceColors[G]);   // top-right corner over the title-bar middle
    EXPECT_EQ(frame.pixelColor(296, 10), kPieceColors[G]);   // ... and over the right edge
    EXPECT_EQ(frame.pixelColor(250, 190), kPieceColors[H]);  // bottom-right corner over the bottom middle
    EXPECT_EQ(frame.pixelColor(296, 190), kPieceColors[H]);  // ... and over the right edge

    // The caption is printed last, from (100, 120) twips, over the top-left corner.
    const QColor caption(31, 96, 169);
    EXPECT_GT(CountNear(frame, QRect(7, 8, 60, 16), caption), 10);
    EXPECT_EQ(CountNear(frame, QRect(0, 0, 7, 8), caption), 0);
    EXPECT_EQ(CountNear(frame, QRect(0, 30, 300, 170), caption), 0);
    // And the outline is applied.
    EXPECT_EQ(window.mask(), ToolWindowRegion(300 * 15, 200 * 15));
}

TEST(ToolWindowFrame, WithoutABitmapShowsOnlyTheBackColourAndTheCaption) {
    ToolWindow window(ToolWindowKind::Lyrics());
    window.Resize(4080, 3330);
    window.ComposeFrame();
    const QImage& frame = window.FrameImage();
    EXPECT_EQ(frame.pixelColor(150, 100), QColor(Qt::white));
    EXPECT_EQ(frame.pixelColor(271, 221), QColor(Qt::white));
    EXPECT_GT(CountNear(frame, QRect(7, 8, 40, 16), QColor(31, 96, 169)), 10);
}

TEST(ToolWindowFrame, EachWindowPlacesItsContentAtItsOwnStep) {
    RecordingWindow lyrics(ToolWindowKind::Lyrics());
    lyrics.ComposeFrame();
    RecordingWindow playlist(ToolWindowKind::Playlist());
    playlist.ComposeFrame();
    RecordingWindow web(ToolWindowKind::Web(QStringLiteral("web")));
    web.ComposeFrame();
    EXPECT_EQ(lyrics.regionBeforeContent, std::vector<bool>{true});
    EXPECT_EQ(playlist.regionBeforeContent, std::vector<bool>{false});
    EXPECT_EQ(web.regionBeforeContent, std::vector<bool>{false});
}

TEST(ToolWindowFrame, TitleBarButtonsAndHandlesFollowTheSize) {
    ToolWindow window(ToolWindowKind::Web(QStringLiteral("web")));
    window.show();  // size changes reach a shown window at once
    window.Resize(6000, 4500);
    EXPECT_EQ(window.IMBar.Width(), 6000 - 300);
    EXPECT_EQ(window.IMBar.Height(), 375);
    EXPECT_EQ(window.ImClose.Left(), 6000 - 330);
    EXPECT_EQ(window.ImClose.Top(), 60);
    EXPECT_EQ(window.ImgTop.Left(), 6000 - 700);
    EXPECT_EQ(window.Pbottom.Top(), 4500 - 195);
    EXPECT_EQ(window.Pbottom.Width(), 6000 - 240);
    EXPECT_EQ(window.Pright.Left(), 6000 - 135);
    EXPECT_EQ(window.Pright.Height(), 4500 - 240);
    EXPECT_EQ(window.Pjiao.Left(), 6000 - 255);
    EXPECT_EQ(window.Pjiao.Top(), 4500 - 255);
    EXPECT_EQ(window.FrameImage().size(), QSize(400, 300));
    EXPECT_EQ(window.mask(), ToolWindowRegion(6000, 4500));
    EXPECT_EQ(window.Pright.cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(window.Pbottom.cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(window.Pjiao.cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_TRUE(window.ImgTop.isVisible());

    ToolWindow playlist(ToolWindowKind::Playlist());
    EXPECT_FALSE(playlist.ImgTop.Visible());
    EXPECT_EQ(ToolWindow(ToolWindowKind::Lyrics()).IMBar.Height(), 495);
}

TEST(ToolWindowResize, TheCornerHandleResizesOnlyWhatStaysAboveTheMinimum) {
    ToolWindow window(ToolWindowKind::Lyrics());
    window.show();
    window.move(100, 200);  // 1500, 3000 twips
    Press(window.Pjiao);
    EXPECT_EQ(window.Pjiao.Tag, QStringLiteral("1"));
    DragOver(window.Pjiao, QPoint(100 + 3000 / 15, 200 + 900 / 15));  // width 3000, height 900
    EXPECT_EQ(window.Width(), 3000);
    EXPECT_EQ(window.Height(), 3330);
    EXPECT_EQ(window.Pjiao.Left(), 3000 - 255);  // the frame was recomposed
    DragOver(window.Pjiao, QPoint(100 + 4500 / 15, 200 + 3900 / 15));
    EXPECT_EQ(window.Width(), 4500);
    EXPECT_EQ(window.Height(), 3900);
    Release(window.Pjiao);
    EXPECT_TRUE(window.Pjiao.Tag.isEmpty());
    // After the release the handle no longer drags.
    DragOver(window.Pjiao, QPoint(100 + 6000 / 15, 200 + 6000 / 15));
    EXPECT_EQ(window.Width(), 4500);
}

TEST(ToolWindowResize, EdgeHandlesChangeTheirOwnSideWhateverTheButton) {
    ToolWindow window(ToolWindowKind::Playlist());
    window.show();
    window.move(0, 0);
    Press(window.Pright, Qt::RightButton);
    DragOver(window.Pright, QPoint(300, 400));
    Release(window.Pright, Qt::RightButton);
    EXPECT_EQ(window.Width(), 4500);
    EXPECT_EQ(window.Height(), 4680);
    Press(window.Pbottom);
    DragOver(window.Pbottom, QPoint(500, 100));  // 1500 twips: the playlist window's minimum, refused
    EXPECT_EQ(window.Height(), 4680);
    DragOver(window.Pbottom, QPoint(500, 101));
    Release(window.Pbottom);
    EXPECT_EQ(window.Width(), 4500);
    EXPECT_EQ(window.Height(), 1515);
}

TEST(ToolWindowButtons, CloseHidesAndClearsTheWindowsOwnFlag) {
    MainWindow& main = frmMain();
    const std::pair<ToolWindowKind, bool MainWindow::*> windows[] = {
        {ToolWindowKind::Playlist(), &MainWindow::isList},
        {ToolWindowKind::Lyrics(), &MainWindow::isLrc},
        {ToolWindowKind::Web(QStringLiteral("web")), &MainWindow::isWindow},
    };
    for (const auto& [kind, flag] : windows) {
        main.isList = main.isLrc = main.isWindow = true;
        ToolWindow window(kind);
        window.show();
        QTest::mouseClick(&window.ImClose, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_FALSE(window.isVisible()) << kind.caption.toStdString();
        EXPECT_FALSE(main.*flag) << kind.caption.toStdString();
        EXPECT_EQ(main.isList + main.isLrc + main.isWindow, 2) << "only its own flag";
    }
}

TEST(ToolWindowButtons, CloseButtonPictures) {
    RecordingWindow window(ToolWindowKind::Playlist());
    window.ApplyFrameSkin();
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_n.bmp"));
    Hover(window.ImClose);
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_m.bmp"));
    EXPECT_EQ(window.ImClose.Tag, QStringLiteral("1"));
    Press(window.ImClose);
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_d.bmp"));
    Hover(window.ImClose);  // the hover picture is loaded once per visit
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_d.bmp"));
    Release(window.ImClose, Qt::RightButton);
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_n.bmp"));
    EXPECT_TRUE(window.ImClose.Tag.isEmpty());
}

TEST(ToolWindowButtons, TheTitleBarAndTheBareWindowClearTheHoverPictures) {
    ToolWindow window(ToolWindowKind::Lyrics());
    Hover(window.ImClose);
    Hover(window.ImgTop);
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_m.bmp"));
    Hover(window.IMBar);
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_n.bmp"));
    EXPECT_TRUE(window.ImClose.Tag.isEmpty());
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_n.bmp"));

    Hover(window.ImClose);
    Hover(window.ImgTop);
    Hover(window, QPoint(3, 100));  // the frame's left edge
    EXPECT_EQ(PictureName(window.ImClose), QStringLiteral("close_n.bmp"));
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_n.bmp"));
}

TEST(ToolWindowButtons, StayOnTopTwiceReturnsToNormal) {
    ToolWindow window(ToolWindowKind::Lyrics());
    window.show();
    QTest::mouseClick(&window.ImgTop, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.isTop);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_d.bmp"));
    // While on top the pressed picture stays, whatever the pointer does.
    Hover(window.ImgTop);
    Hover(window.IMBar);
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_d.bmp"));

    QTest::mouseClick(&window.ImgTop, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window.isTop);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PictureName(window.ImgTop), QStringLiteral("top_n.bmp"));
}
