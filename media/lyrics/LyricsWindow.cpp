#include "media/lyrics/LyricsWindow.h"

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/windows/Tray.h"
#include "platform/forms/Twips.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

namespace {
// The rate a 1 ms window timer reaches on the desktop it was made for: the quickest the lyric is redrawn.
constexpr int kRedrawMilliseconds = 16;
// The longest the window sleeps, so a seek or a resume shows within a moment.
constexpr int kLongestSleepMilliseconds = 100;

// Waking only when the next tick can change a pixel keeps a slow lyric cheap; a fast one still gets every tick.
int NextTickMilliseconds(const LyricTable& table, double position) {
    const double seconds = LyricSecondsToNextStep(table, position);
    if (!(seconds * 1000 < kLongestSleepMilliseconds)) return kLongestSleepMilliseconds;
    return std::max(kRedrawMilliseconds, static_cast<int>(seconds * 1000));
}
}  // namespace

LyricsWindow::LyricsWindow() : ToolWindow(ToolWindowKind::Lyrics()), Imico(this), FrameMain(this), P1(&FrameMain) {
    Imico.Move(540, 90, 240, 240);
    Imico.SetPicture(ProgramIcon().pixmap(16, 16));
    P1.RightButtonDown = [](const QPoint& at) { frmMenu().mnuLrc.Popup(at); };
    Lyrics().lyricLineHeight = P1.LineHeight();
    Timer1.SetInterval(kRedrawMilliseconds);
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
    FrameMain.setGeometry(left, top, std::max(forms::ToPixels(Width() - 180), 0),
                          std::max(forms::ToPixels(Height() - 490), 0));
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
    const LyricTickInputs reads = LyricTickReads(table);
    const double position = reads.position ? player.controls().currentPosition() : 0;
    const double duration = reads.duration ? player.currentMedia().duration() : 0;
    const LyricFrame frame = LyricTick(table, position, duration, P1.height());
    if (frame.clear || frame.draw) P1.Show(frame);
    Timer1.SetInterval(NextTickMilliseconds(table, position));
}

}  // namespace media
