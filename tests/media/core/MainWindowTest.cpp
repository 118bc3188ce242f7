// The main window's controls as the user handles them: volume and seek bars, mute, the region, hover pictures.
#include <gtest/gtest.h>

#include <QTest>

#include "media/core/MainWindow.h"
#include "media/core/Skin.h"
#include "platform/mediaplayer/MediaPlayer.h"

using namespace media;

namespace {

// Presses and drags on a control at points given in twips within it.
void Press(forms::Image& image, double x, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&image, button, {}, QPoint(static_cast<int>(x / 15), 2));
}
void DragTo(forms::Image& image, double x) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x / 15, 2), image.mapToGlobal(QPointF(x / 15, 2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&image, &move);
}

}  // namespace

TEST(MainWindowBars, TheVolumeThumbStaysInItsTrackAndSetsTheVolume) {
    MainWindow window;
    auto& player = window.MediaPlayer();
    EXPECT_EQ(window.ImgVolume.Left(), 3250);
    Press(window.ImgVolume, 90);
    DragTo(window.ImgVolume, 90 - 2000);  // far to the left
    EXPECT_EQ(window.ImgVolume.Left(), 2400);
    EXPECT_EQ(window.ImgVolumeFill.Width(), 10);
    EXPECT_EQ(player.settings().volume(), 0);
    DragTo(window.ImgVolume, 90 + 3000);  // far to the right: 850 x 0.125 = 106, which the player clamps
    EXPECT_EQ(window.ImgVolume.Left(), 3250);
    EXPECT_EQ(player.settings().volume(), 100);
    // A click on the strip puts the thumb where the click was.
    Press(window.ImgVolumeNone, 405);
    EXPECT_EQ(window.ImgVolume.Left(), 2805);
    EXPECT_EQ(player.settings().volume(), 50);
    Press(window.ImgVolumeNone, 600, Qt::RightButton);  // the right button does nothing
    EXPECT_EQ(window.ImgVolume.Left(), 2805);
}

TEST(MainWindowBars, SeekThumbNeedsPlayingAndTheStripMovesItAnyway) {
    MainWindow window;
    Press(window.ImgPlayPro, 60);
    DragTo(window.ImgPlayPro, 960);  // nothing plays: the thumb stays
    EXPECT_EQ(window.ImgPlayPro.Left(), 80);
    EXPECT_TRUE(window.SeekDragging());
    QTest::mouseRelease(&window.ImgPlayPro, Qt::LeftButton, {}, QPoint(4, 2));
    EXPECT_FALSE(window.SeekDragging());
    Press(window.ImgPlayProNone, 1500);
    EXPECT_EQ(window.ImgPlayProFill.Width(), 1500);
    EXPECT_EQ(window.ImgPlayPro.Left(), 1575);
    Press(window.ImgPlayProNone, 3840);
    EXPECT_EQ(window.ImgPlayPro.Left(), 3660);
}

TEST(MainWindowSkin, AMissingPictureKeepsTheOneShownAndIsReportedOnce) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    MainWindow window;
    window.LoadSkin();
    const QString shown = window.ImgMute.PictureFile();
    ASSERT_FALSE(shown.isEmpty());
    // The skin reports a missing picture once per process: each run of this test asks for a name of its own.
    static int run = 0;
    const QString missing = QStringLiteral("no_such_picture_%1.bmp").arg(++run);
    for (int i = 0; i < 3; ++i) ApplyButtonPicture(window.ImgMute, missing);
    qInstallMessageHandler(previous);
    EXPECT_EQ(window.ImgMute.PictureFile(), shown);
    ASSERT_EQ(warnings.size(), 1) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(warnings[0].endsWith(QStringLiteral("/Skin/DA10/") + missing));
}

TEST(MainWindowButtons, MuteTogglesThePlayersMuteAndItsPicture) {
    MainWindow window;
    window.LoadSkin();
    QTest::mouseClick(&window.ImgMute, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.MediaPlayer().settings().mute());
    EXPECT_TRUE(window.ImgMute.PictureFile().endsWith(QStringLiteral("mute_d.bmp")));
    // While muted, hovering keeps the pressed picture.
    QTest::mouseMove(&window.ImgMute, QPoint(6, 6));
    EXPECT_TRUE(window.ImgMute.PictureFile().endsWith(QStringLiteral("mute_d.bmp")));
    QTest::mouseClick(&window.ImgMute, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window.MediaPlayer().settings().mute());
    EXPECT_TRUE(window.ImgMute.PictureFile().endsWith(QStringLiteral("mute_n.bmp")));
}

TEST(MainWindowButtons, DisabledTransportButtonsKeepTheirDisabledPictures) {
    MainWindow window;
    window.LoadSkin();
    EXPECT_FALSE(window.ImgStop.Enabled());
    EXPECT_TRUE(window.ImgStop.PictureFile().endsWith(QStringLiteral("stop_s.bmp")));
    window.ImgMain.MouseMove(forms::MouseArgs{});  // the background clears hover pictures
    EXPECT_TRUE(window.ImgStop.PictureFile().endsWith(QStringLiteral("stop_s.bmp")));
    EXPECT_TRUE(window.ImgPlay.PictureFile().endsWith(QStringLiteral("play_n.bmp")));
}

TEST(MainWindowShape, TheRegionRoundsOnlyTheTopCorners) {
    MainWindow window;
    window.RMe();
    const QRegion region = window.mask();
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(269, 0)));
    EXPECT_TRUE(region.contains(QPoint(7, 0)));
    EXPECT_TRUE(region.contains(QPoint(0, 167)));
    EXPECT_TRUE(region.contains(QPoint(269, 167)));
    EXPECT_TRUE(region.contains(QPoint(135, 80)));
}
