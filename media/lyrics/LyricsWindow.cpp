#include "media/lyrics/LyricsWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/windows/CjkFont.h"
#include "platform/forms/Twips.h"
#include "media/windows/Tray.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

namespace {
const QColor NormalColor(0, 255, 0);
const QColor CurrentColor(255, 255, 255);
// The rate a 1 ms window timer reaches on the desktop it was made for.
constexpr int RedrawMilliseconds = 16;
}  // namespace

LyricCanvas::LyricCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont face = font();
    face.setFamily(CjkFamily(QStringLiteral("宋体")));
    face.setPixelSize(14);
    setFont(face);
}

float LyricCanvas::LineHeight() const { return static_cast<float>(fontMetrics().lineSpacing()); }

void LyricCanvas::Show(const LyricFrame& frame) {
    if (frame.clear == shown_.clear && frame.draw == shown_.draw && frame.top == shown_.top &&
        frame.highlight == shown_.highlight)
        return;  // nothing moved: nothing to repaint
    shown_ = frame;
    update();
}

void LyricCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!shown_.draw) return;
    const auto& lines = Lyrics().lyricLines;
    const QFontMetrics metrics = fontMetrics();
    const double pitch = metrics.lineSpacing();
    double y = shown_.top;
    for (std::size_t i = 0; i < lines.size(); ++i, y += pitch) {
        if (y + pitch < 0) continue;       // above the canvas
        if (y > height()) break;           // the rest lies below it
        const QString text = QString::fromStdU16String(lines[i].Text);
        painter.setPen(static_cast<int>(i) == shown_.highlight ? CurrentColor : NormalColor);
        const double x = (width() - metrics.horizontalAdvance(text)) / 2.0;
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
    }
}

void LyricCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && RightButtonDown) RightButtonDown(event->globalPosition().toPoint());
}

LyricsWindow::LyricsWindow() : ToolWindow(ToolWindowKind::Lyrics()), Imico(this), FrameMain(this), P1(&FrameMain) {
    Imico.Move(540, 90, 240, 240);
    Imico.SetPicture(ProgramIcon().pixmap(16, 16));
    P1.RightButtonDown = [](const QPoint& at) { frmMenu().mnuLrc.Popup(at); };
    Lyrics().lyricLineHeight = P1.LineHeight();
    Timer1.SetInterval(RedrawMilliseconds);
    Timer1.Tick = [this] { Timer1_Timer(); };
    ComposeFrame();
}

void LyricsWindow::Form_Load() {
    // First shown beside the main window, top edges aligned.
    MainWindow& main = frmMain();
    Move(main.Left() + main.Width(), main.Top());
    ToolWindow::Form_Load();
}

void LyricsWindow::PlaceContent() {
    const int left = forms::ToPixels(96), top = forms::ToPixels(425);
    FrameMain.setGeometry(left, top, std::max(forms::ToPixels(Width() - 180), 0), std::max(forms::ToPixels(Height() - 490), 0));
    P1.setGeometry(0, 0, FrameMain.width(), FrameMain.height());
}

// The redraw timer runs while the window is on screen: a closed or minimised lyrics window costs nothing. Shown again,
// the table catches up one line per tick, as it scrolls in any case.
void LyricsWindow::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    Timer1.SetEnabled(true);
}

void LyricsWindow::hideEvent(QHideEvent* event) {
    ToolWindow::hideEvent(event);
    Timer1.SetEnabled(false);
}

void LyricsWindow::Timer1_Timer() {
    auto& player = frmMain().MediaPlayer();
    LyricTable& table = Lyrics();
    table.lyricLineHeight = P1.LineHeight();
    const double position = table.lyricLines.empty() ? 0 : player.controls().currentPosition();
    const double duration = table.lyricLines.empty() ? 0 : player.currentMedia().duration();
    const LyricFrame frame = LyricTick(table, position, duration, P1.height());
    if (frame.clear || frame.draw) P1.Show(frame);
}

}  // namespace media
