#pragma once

#include <QRect>
#include <QRectF>

// Where the pictures end up on screen. The windows are laid out in twips (15 twips to the pixel);
// every picture is painted over exactly the backdrop it will cover, so it needs the same numbers.
namespace skin {

constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) {
    // Round to the nearest pixel, as the windows do when they convert their layout.
    return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

// Main window: 4050 x 2520 twips.
namespace main_window {
constexpr QRect kWindow = twipsRect(0, 0, 4050, 2520);
constexpr QRect kLyrics = twipsRect(2100, 60, 450, 285);
constexpr QRect kAbout = twipsRect(2620, 60, 450, 285);
constexpr QRect kMinimise = twipsRect(3200, 60, 255, 285);
constexpr QRect kMaximise = twipsRect(3460, 60, 255, 285);
constexpr QRect kClose = twipsRect(3730, 60, 255, 285);
constexpr QRect kTitleText = twipsRect(120, 480, 3735, 180);
constexpr QRect kTimerText = twipsRect(2640, 840, 1215, 255);
constexpr QRect kTotalTimeText = twipsRect(2640, 1100, 1215, 180);
constexpr QRect kStateText = twipsRect(2640, 1370, 1215, 255);
constexpr QRect kSeekStrip = twipsRect(80, 1680, 3900, 150);
constexpr QRect kSeekThumb = twipsRect(80, 1680, 300, 150);
constexpr int kSeekThumbLeftMost = pixels(80);
constexpr int kSeekThumbRightMost = pixels(3660);
constexpr QRect kPlay = twipsRect(150, 1950, 450, 450);
constexpr QRect kStop = twipsRect(650, 2010, 330, 330);
constexpr QRect kPrevious = twipsRect(1140, 2010, 330, 330);
constexpr QRect kNext = twipsRect(1500, 2010, 330, 330);
constexpr QRect kMute = twipsRect(1980, 2010, 330, 330);
constexpr QRect kVolumeStrip = twipsRect(2400, 2040, 1065, 210);
constexpr QRect kVolumeThumb = twipsRect(3250, 2060, 180, 195);
constexpr int kVolumeThumbLeftMost = pixels(2400);
constexpr QRect kPlaylistToggle = twipsRect(3480, 1980, 390, 390);
constexpr int kCornerRadius = 7;
}  // namespace main_window

// Tool windows (playlist, lyrics, web): title bar buttons sit at fixed offsets from the right edge.
namespace tool_window {
constexpr int kTitleBandTwips = 800;  // the top pieces of the frame bitmap are this tall
constexpr int kCloseFromRight = pixels(330);
constexpr int kStayOnTopFromRight = pixels(700);
constexpr int kMenuFromRight = pixels(840);  // our proposal for the playlist's menu button
constexpr int kButtonTop = pixels(60);
constexpr QSize kCloseControl(pixels(255), pixels(240));
constexpr QSize kMenuButton(pixels(450), pixels(285));
constexpr QSize kStayOnTop(pixels(270), pixels(285));
constexpr int kTopRightCornerWidth = pixels(1665);
}  // namespace tool_window

// Height of the light title strip shared by every window, so the shared close pictures blend in all.
constexpr int kTitleStripHeight = 27;

}  // namespace skin
