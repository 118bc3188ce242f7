#pragma once

#include <QRect>
#include <QRectF>

// Where the pictures end up on screen. The windows are laid out in twips (15 twips to the pixel);
// every picture is painted over exactly the backdrop it will cover, so it needs the same numbers.
namespace skin {

constexpr int kTwipsPerPixel = 15;

constexpr int Pixels(int twips) {
    // Round to the nearest pixel, as the windows do when they convert their layout.
    return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// Main window: 4050 x 2520 twips.
namespace main_window {
constexpr QRect kWindow = TwipsRect(0, 0, 4050, 2520);
constexpr QRect kLyrics = TwipsRect(2100, 60, 450, 285);
constexpr QRect kAbout = TwipsRect(2620, 60, 450, 285);
constexpr QRect kMinimise = TwipsRect(3200, 60, 255, 285);
constexpr QRect kMaximise = TwipsRect(3460, 60, 255, 285);
constexpr QRect kClose = TwipsRect(3730, 60, 255, 285);
constexpr QRect kTitleText = TwipsRect(120, 480, 3735, 180);
constexpr QRect kTimerText = TwipsRect(2640, 840, 1215, 255);
constexpr QRect kTotalTimeText = TwipsRect(2640, 1100, 1215, 180);
constexpr QRect kStateText = TwipsRect(2640, 1370, 1215, 255);
constexpr QRect kSeekStrip = TwipsRect(80, 1680, 3900, 150);
constexpr QRect kSeekThumb = TwipsRect(80, 1680, 300, 150);
constexpr int kSeekThumbLeftMost = Pixels(80);
constexpr int kSeekThumbRightMost = Pixels(3660);
constexpr QRect kPlay = TwipsRect(150, 1950, 450, 450);
constexpr QRect kStop = TwipsRect(650, 2010, 330, 330);
constexpr QRect kPrevious = TwipsRect(1140, 2010, 330, 330);
constexpr QRect kNext = TwipsRect(1500, 2010, 330, 330);
constexpr QRect kMute = TwipsRect(1980, 2010, 330, 330);
constexpr QRect kVolumeStrip = TwipsRect(2400, 2040, 1065, 210);
constexpr QRect kVolumeThumb = TwipsRect(3250, 2060, 180, 195);
constexpr int kVolumeThumbLeftMost = Pixels(2400);
constexpr QRect kPlaylistToggle = TwipsRect(3480, 1980, 390, 390);
constexpr int kCornerRadius = 7;
}  // namespace main_window

// Tool windows (playlist, lyrics, web): title bar buttons sit at fixed offsets from the right edge.
namespace tool_window {
constexpr int kTitleBandTwips = 800;  // the top pieces of the frame bitmap are this tall
constexpr int kCloseFromRight = Pixels(330);
constexpr int kStayOnTopFromRight = Pixels(700);
constexpr int kMenuFromRight = Pixels(840);  // our proposal for the playlist's menu button
constexpr int kButtonTop = Pixels(60);
constexpr QSize kCloseControl(Pixels(255), Pixels(240));
constexpr QSize kMenuButton(Pixels(450), Pixels(285));
constexpr QSize kStayOnTop(Pixels(270), Pixels(285));
constexpr int kTopRightCornerWidth = Pixels(1665);
}  // namespace tool_window

// Height of the light title strip shared by every window, so the shared close pictures blend in all.
constexpr int kTitleStripHeight = 27;

}  // namespace skin
