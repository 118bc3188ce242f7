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

QFont UiFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

int Px(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

QRect TwipsToPixels(double x, double y, double w, double h) { return QRect(Px(x), Px(y), Px(w), Px(h)); }

// Rounded top corners of 7 pixels, square bottom corners: the outline every skinned window gets.
QRegion WindowOutline(QSize size) {
    const int w = size.width(), h = size.height();
    QRegion region(QRect(QPoint(0, 6), QPoint(w - 1, h - 1)));
    region += QRect(QPoint(7, 0), QPoint(w - 7, h - 1));
    region += QRegion(QRect(0, 0, 14, 14), QRegion::Ellipse);
    region += QRegion(QRect(w - 14, 0, 15, 14), QRegion::Ellipse);
    return region;
}

void DrawClipped(QPainter& painter, QPoint at, const QImage& picture, QSize control) {
    if (control.isEmpty()) return;  // an empty source rectangle would mean the whole picture
    painter.drawImage(at, picture, QRect(QPoint(0, 0), control.boundedTo(picture.size())));
}

struct MainWindowState {
    bool playing = false;
    int seekFill = 0;         // pixels of the seek fill shown
    int volumeThumbLeft = 0;  // pixels
    bool minimiseHovered = false;
};

QImage ComposeMainWindow(const PictureSet& pictures, const MainWindowState& state) {
    using namespace main_window;
    QImage window(kWindow.size(), QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    painter.setClipRegion(WindowOutline(kWindow.size()));
    painter.drawImage(0, 0, pictures["player_skin.bmp"]);
    const auto place = [&](const QRect& control, const char* name) {
        DrawClipped(painter, control.topLeft(), pictures[name], control.size());
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
    label(kTitleText, UiFont(12), state.playing ? QStringLiteral("示例曲目 - 演唱者[04:29]") : QString());
    label(kTimerText, UiFont(16, true), state.playing ? QStringLiteral("01:47") : QStringLiteral("00:00"));
    label(kTotalTimeText, UiFont(11), state.playing ? QStringLiteral("04:29") : QString());
    label(kStateText, UiFont(13), state.playing ? QStringLiteral("正在播放") : QStringLiteral("停止播放"));
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
void ComposeFrame(QPainter& painter, const QImage& skin, const ToolWindowKind& kind) {
    const double w = kind.widthTwips, h = kind.heightTwips;
    const double pw = skin.width() * kTwipsPerPixel, ph = skin.height() * kTwipsPerPixel;
    const double b = kind.bottomMiddle, c = kind.bottomLeft;
    struct Piece {
        double sx, sy, sw, sh, dx, dy, dw, dh;
    };
    const Piece pieces[] = {
        {420, 0, 120, 800, 420, 0, w, 800},
        {420, ph - b, 120, b, 420, h - b, w, b},
        {0, 800, 200, 40, 0, 0, 200, h},
        {pw - 100, 800, 200, 40, w - 100, 0, 200, h},
        {0, 0, 450, 800, 0, 0, 450, 800},
        {0, ph - c, 450, c, 0, h - c, 450, c},
        {pw - 1665, 0, 1665, 435, w - 1665, 0, 1665, 435},
        {pw - 1665, ph - 525, 1665, 525, w - 1665, h - 525, 1665, 525},
    };
    for (const Piece& piece : pieces)
        painter.drawImage(TwipsToPixels(piece.dx, piece.dy, piece.dw, piece.dh), skin,
                          TwipsToPixels(piece.sx, piece.sy, piece.sw, piece.sh));
}

QImage ComposeToolWindow(const PictureSet& pictures, const ToolWindowKind& kind, const QStringList& lines,
                         int currentLine) {
    const QSize size(Px(kind.widthTwips), Px(kind.heightTwips));
    QImage window(size, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    painter.setClipRegion(WindowOutline(size));
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    ComposeFrame(painter, pictures["playlist_skin.bmp"], kind);

    painter.setPen(kCaptionInk);
    painter.setFont(UiFont(12));
    painter.drawText(QRect(Px(100), Px(120), 200, 16), Qt::AlignLeft | Qt::AlignTop, kind.caption);

    using namespace tool_window;
    DrawClipped(painter, QPoint(size.width() - kCloseFromRight, kButtonTop), pictures["close_n.bmp"], kCloseControl);
    if (kind.stayOnTop)
        DrawClipped(painter, QPoint(size.width() - kStayOnTopFromRight, kButtonTop), pictures["top_n.bmp"], kStayOnTop);
    if (kind.menuButton)
        DrawClipped(painter, QPoint(size.width() - kMenuFromRight, kButtonTop), pictures["list_m.bmp"], kMenuButton);

    const QRect content = TwipsToPixels(kind.content.left(), kind.content.top(),
                                        kind.widthTwips - kind.content.left() - kind.content.right(),
                                        kind.heightTwips - kind.content.top() - kind.content.bottom());
    painter.fillRect(content, Qt::black);
    painter.setClipRect(content, Qt::IntersectClip);
    painter.setFont(UiFont(12));
    const int pitch = 17;
    for (int i = 0; i < lines.size(); ++i) {
        painter.setPen(i == currentLine ? QColor(Qt::white) : kListInk);
        const QRect row(content.left() + 3, content.top() + 2 + i * pitch, content.width() - 6, pitch);
        painter.drawText(row, (kind.menuButton ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, lines[i]);
    }
    return window;
}

// Every picture of the set with its name, in rows.
QImage ComposeSheet(const PictureSet& pictures, int width) {
    QList<Picture> order = PaintSkinSet();
    QImage sheet(width, 1000, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setFont(UiFont(9));
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

QStringList MissingPictures(const PictureSet& pictures) {
    QStringList missing;
    for (const Picture& picture : PaintSkinSet())
        if (pictures.value(picture.fileName).isNull()) missing.append(picture.fileName);
    return missing;
}

QImage PaintPreview(const PictureSet& pictures, int scale) {
    using namespace main_window;
    const int gap = 20;
    const ToolWindowKind playlist{
        3945, 4680, 600, 800, QStringLiteral("播放列表"), false, true, QMargins(100, 760, 100, 100)};
    const ToolWindowKind lyrics{4080, 3330, 500, 500, QStringLiteral("歌词"), true, false, QMargins(96, 425, 84, 65)};

    const QImage startUp = ComposeMainWindow(pictures, {false, 0, kVolumeThumb.left(), false});
    const QImage playing = ComposeMainWindow(pictures, {true, 104, kVolumeThumbLeftMost + 30, true});
    const QImage list = ComposeToolWindow(
        pictures, playlist,
        {QStringLiteral("1  示例曲目 - 演唱者     04:29"), QStringLiteral("2  Second Track - Artist  03:58"),
         QStringLiteral("3  第三首          05:12")},
        -1);
    const QImage words =
        ComposeToolWindow(pictures, lyrics,
                          {QString(), QString(), QStringLiteral("第一行歌词"), QStringLiteral("正在唱的这一行"),
                           QStringLiteral("下一行歌词"), QStringLiteral("再下一行")},
                          3);
    // The playlist window at its smallest size: the frame must still close up cleanly.
    const ToolWindowKind smallest{2500,  1500, playlist.bottomMiddle, playlist.bottomLeft, playlist.caption,
                                  false, true, playlist.content};
    const QImage small = ComposeToolWindow(pictures, smallest, {QStringLiteral("1  示例曲目")}, -1);
    const QImage sheet = ComposeSheet(pictures, startUp.width() * 2 + gap);

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
