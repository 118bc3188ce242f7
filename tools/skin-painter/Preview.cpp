#include "Preview.h"

#include "SkinGeometry.h"
#include "SkinSet.h"

#include <QFont>
#include <QMargins>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace skin {
namespace {

const QColor kDesktop(104, 116, 132);
const QColor kCaptionInk(31, 96, 169);  // the tool windows' fixed caption colour
const QColor kListInk(0, 255, 0);

QFont uiFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

int px(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

QRect twipsToPixels(double x, double y, double w, double h) { return QRect(px(x), px(y), px(w), px(h)); }

// Rounded top corners of 7 pixels, square bottom corners: the outline every skinned window gets.
QRegion windowOutline(QSize size) {
    const int w = size.width(), h = size.height();
    QRegion region(QRect(QPoint(0, 6), QPoint(w - 1, h - 1)));
    region += QRect(QPoint(7, 0), QPoint(w - 7, h - 1));
    region += QRegion(QRect(0, 0, 14, 14), QRegion::Ellipse);
    region += QRegion(QRect(w - 14, 0, 15, 14), QRegion::Ellipse);
    return region;
}

void drawClipped(QPainter& painter, QPoint at, const QImage& picture, QSize control) {
    if (control.isEmpty()) return;  // an empty source rectangle would mean the whole picture
    painter.drawImage(at, picture, QRect(QPoint(0, 0), control.boundedTo(picture.size())));
}

struct MainWindowState {
    bool playing = false;
    int seekFill = 0;         // pixels of the seek fill shown
    int volumeThumbLeft = 0;  // pixels
    bool minimiseHovered = false;
};

QImage composeMainWindow(const PictureSet& pictures, const MainWindowState& state) {
    using namespace main_window;
    QImage window(kWindow.size(), QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    painter.setClipRegion(windowOutline(kWindow.size()));
    painter.drawImage(0, 0, pictures["player_skin.bmp"]);
    const auto place = [&](const QRect& control, const char* name) {
        drawClipped(painter, control.topLeft(), pictures[name], control.size());
    };

    place(kLyrics, state.playing ? "lrc_d.bmp" : "lrc_n.bmp");
    place(kAbout, state.playing ? "voduz_m.bmp" : "voduz_n.bmp");
    place(kMinimise, state.minimiseHovered ? "min_m.bmp" : "min_n.bmp");
    place(kMaximise, "max_n.bmp");
    place(kClose, state.playing ? "close_m.bmp" : "close_n.bmp");
    place(kPlay, state.playing ? "pause_n.bmp" : "play_n.bmp");
    place(kStop, state.playing ? "stop_m.bmp" : "stop_s.bmp");
    place(kPrevious, state.playing ? "prev_n.bmp" : "prev_s.bmp");
    place(kNext, state.playing ? "next_n.bmp" : "next_s.bmp");
    place(kMute, state.playing ? "mute_d.bmp" : "mute_n.bmp");
    place(kPlaylistToggle, state.playing ? "window_m.bmp" : "window_n.bmp");

    place(kSeekStrip, "play_none.bmp");
    place(QRect(kSeekStrip.topLeft(), QSize(state.seekFill, kSeekStrip.height())), "play_pro.bmp");
    place(QRect(QPoint(kSeekStrip.left() + std::max(0, state.seekFill - 1), kSeekThumb.top()), kSeekThumb.size()),
          state.playing ? "playpro_d.gif" : "playpro_n.gif");
    place(kVolumeStrip, "volume_none.bmp");
    place(QRect(kVolumeStrip.topLeft(), QSize(state.volumeThumbLeft - kVolumeStrip.left() + 1, kVolumeStrip.height())),
          "volume_pro.bmp");
    place(QRect(QPoint(state.volumeThumbLeft, kVolumeThumb.top()), kVolumeThumb.size()),
          state.playing ? "volume_d.bmp" : "volume_n.bmp");

    painter.setPen(Qt::white);
    const auto label = [&](const QRect& where, const QFont& font, const QString& text) {
        painter.setFont(font);
        painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    label(kTitleText, uiFont(12), state.playing ? QStringLiteral("示例曲目 - 演唱者[04:29]") : QString());
    label(kTimerText, uiFont(16, true), state.playing ? QStringLiteral("01:47") : QStringLiteral("00:00"));
    label(kTotalTimeText, uiFont(11), state.playing ? QStringLiteral("04:29") : QString());
    label(kStateText, uiFont(13), state.playing ? QStringLiteral("正在播放") : QStringLiteral("停止播放"));
    return window;
}

struct ToolWindowKind {
    int widthTwips, heightTwips;
    int bottomMiddle, bottomLeft;  // heights B and C of the frame table, twips
    QString caption;
    bool stayOnTop, menuButton;
    QMargins content;  // twips between the window's edges and its content
};

// The frame pieces in the order the tool windows copy them; later pieces cover earlier ones.
void composeFrame(QPainter& painter, const QImage& skin, const ToolWindowKind& kind) {
    const double W = kind.widthTwips, H = kind.heightTwips;
    const double PW = skin.width() * kTwipsPerPixel, PH = skin.height() * kTwipsPerPixel;
    const double B = kind.bottomMiddle, C = kind.bottomLeft;
    struct Piece {
        double sx, sy, sw, sh, dx, dy, dw, dh;
    };
    const Piece pieces[] = {
        {420, 0, 120, 800, 420, 0, W, 800},
        {420, PH - B, 120, B, 420, H - B, W, B},
        {0, 800, 200, 40, 0, 0, 200, H},
        {PW - 100, 800, 200, 40, W - 100, 0, 200, H},
        {0, 0, 450, 800, 0, 0, 450, 800},
        {0, PH - C, 450, C, 0, H - C, 450, C},
        {PW - 1665, 0, 1665, 435, W - 1665, 0, 1665, 435},
        {PW - 1665, PH - 525, 1665, 525, W - 1665, H - 525, 1665, 525},
    };
    for (const Piece& piece : pieces)
        painter.drawImage(twipsToPixels(piece.dx, piece.dy, piece.dw, piece.dh), skin,
                          twipsToPixels(piece.sx, piece.sy, piece.sw, piece.sh));
}

QImage composeToolWindow(const PictureSet& pictures, const ToolWindowKind& kind, const QStringList& lines,
                         int currentLine) {
    const QSize size(px(kind.widthTwips), px(kind.heightTwips));
    QImage window(size, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    painter.setClipRegion(windowOutline(size));
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    composeFrame(painter, pictures["playlist_skin.bmp"], kind);

    painter.setPen(kCaptionInk);
    painter.setFont(uiFont(12));
    painter.drawText(QRect(px(100), px(120), 200, 16), Qt::AlignLeft | Qt::AlignTop, kind.caption);

    using namespace tool_window;
    drawClipped(painter, QPoint(size.width() - kCloseFromRight, kButtonTop), pictures["close_n.bmp"], kCloseControl);
    if (kind.stayOnTop)
        drawClipped(painter, QPoint(size.width() - kStayOnTopFromRight, kButtonTop), pictures["top_n.bmp"], kStayOnTop);
    if (kind.menuButton)
        drawClipped(painter, QPoint(size.width() - kMenuFromRight, kButtonTop), pictures["list_m.bmp"], kMenuButton);

    const QRect content = twipsToPixels(kind.content.left(), kind.content.top(),
                                        kind.widthTwips - kind.content.left() - kind.content.right(),
                                        kind.heightTwips - kind.content.top() - kind.content.bottom());
    painter.fillRect(content, Qt::black);
    painter.setClipRect(content, Qt::IntersectClip);
    painter.setFont(uiFont(12));
    const int pitch = 17;
    for (int i = 0; i < lines.size(); ++i) {
        painter.setPen(i == currentLine ? QColor(Qt::white) : kListInk);
        const QRect row(content.left() + 3, content.top() + 2 + i * pitch, content.width() - 6, pitch);
        painter.drawText(row, (kind.menuButton ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, lines[i]);
    }
    return window;
}

// Every picture of the set with its name, in rows.
QImage composeSheet(const PictureSet& pictures, int width) {
    QList<Picture> order = paintSkinSet();
    QImage sheet(width, 1000, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setFont(uiFont(9));
    int x = 0, y = 0, rowHeight = 0;
    for (const Picture& picture : order) {
        if (picture.fileName.endsWith(QLatin1String("_skin.bmp"))) continue;
        const QImage image = pictures.value(picture.fileName);
        const int cell = std::max(image.width(), 64);
        if (x + cell > width) {
            x = 0;
            y += rowHeight + 14;
            rowHeight = 0;
        }
        painter.drawImage(x, y, image);
        painter.setPen(Qt::white);
        painter.drawText(QRect(x, y + image.height() + 1, cell + 8, 12), Qt::AlignLeft | Qt::AlignTop,
                         picture.fileName);
        x += cell + 8;
        rowHeight = std::max(rowHeight, image.height());
    }
    painter.end();
    return sheet.copy(0, 0, width, y + rowHeight + 14);
}

}  // namespace

QStringList missingPictures(const PictureSet& pictures) {
    QStringList missing;
    for (const Picture& picture : paintSkinSet())
        if (pictures.value(picture.fileName).isNull()) missing.append(picture.fileName);
    return missing;
}

QImage paintPreview(const PictureSet& pictures, int scale) {
    using namespace main_window;
    const int gap = 20;
    const ToolWindowKind playlist{
        3945, 4680, 600, 800, QStringLiteral("播放列表"), false, true, QMargins(100, 760, 100, 100)};
    const ToolWindowKind lyrics{4080, 3330, 500, 500, QStringLiteral("歌词"), true, false, QMargins(96, 425, 84, 65)};

    const QImage startUp = composeMainWindow(pictures, {false, 0, kVolumeThumb.left(), false});
    const QImage playing = composeMainWindow(pictures, {true, 104, kVolumeThumbLeftMost + 30, true});
    const QImage list = composeToolWindow(
        pictures, playlist,
        {QStringLiteral("1  示例曲目 - 演唱者     04:29"), QStringLiteral("2  Second Track - Artist  03:58"),
         QStringLiteral("3  第三首          05:12")},
        -1);
    const QImage words =
        composeToolWindow(pictures, lyrics,
                          {QString(), QString(), QStringLiteral("第一行歌词"), QStringLiteral("正在唱的这一行"),
                           QStringLiteral("下一行歌词"), QStringLiteral("再下一行")},
                          3);
    // The playlist window at its smallest size: the frame must still close up cleanly.
    const ToolWindowKind smallest{2500,  1500, playlist.bottomMiddle, playlist.bottomLeft, playlist.caption,
                                  false, true, playlist.content};
    const QImage small = composeToolWindow(pictures, smallest, {QStringLiteral("1  示例曲目")}, -1);
    const QImage sheet = composeSheet(pictures, startUp.width() * 2 + gap);

    const int width = gap + startUp.width() + gap + std::max(playing.width(), words.width()) + gap;
    const int secondColumn = playing.height() + gap + words.height() + gap + small.height();
    const int height = gap + std::max(startUp.height() + list.height(), secondColumn) + gap + sheet.height() + gap;
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(kDesktop);
    QPainter painter(&canvas);
    painter.drawImage(gap, gap, startUp);
    painter.drawImage(gap, gap + startUp.height(), list);  // docked under the main window
    const int second = gap + startUp.width() + gap;
    painter.drawImage(second, gap, playing);
    painter.drawImage(second, gap + playing.height() + gap, words);
    painter.drawImage(second, gap + playing.height() + gap + words.height() + gap, small);
    painter.drawImage(gap, height - gap - sheet.height(), sheet);
    painter.end();
    return scale > 1 ? canvas.scaled(canvas.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation) : canvas;
}

}  // namespace skin
