#include "media/core/PlayerKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

#include "media/core/MainWindow.h"
#include "media/core/RemoteControl.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/Menu.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

namespace {

constexpr double kSeekStep = 5;  // seconds
constexpr int kVolumeStep = 5;

// A click on a button, as the pointer gives it: a disabled button does nothing.
void Press(forms::Control& button) {
    if (button.Enabled() && button.Click) button.Click();
}

void Choose(forms::MenuItem& item) {
    if (item.Enabled() && item.Click) item.Click();
}

void SeekBy(double seconds) {
    mediaplayer::MediaPlayer& player = frmMain().MediaPlayer();
    const double duration = player.currentMedia().duration();
    double target = std::max(player.controls().currentPosition() + seconds, 0.0);
    if (duration > 0) target = std::min(target, duration);
    RemoteControl(frmMain()).SetPosition(static_cast<qlonglong>(std::llround(target * 1e6)));
}

// Through the main window, so the volume thumb follows.
void VolumeBy(int step) {
    const int volume = frmMain().MediaPlayer().settings().volume();
    frmMain().SetVolume(std::clamp(volume + step, 0, 100));
}

// Pause while playing, resume while paused; nothing while stopped.
void PauseOrResume() {
    const int state = frmMain().MediaPlayer().playState();
    if (state == mediaplayer::Playing || state == mediaplayer::Paused) frmMain().ClickPlay();
}

using enum KeyPlace;

const PlayerKey kKeys[] = {
    {Qt::Key_Z, "Z", "上一首", Everywhere, false, [] { Press(frmMain().ImgPrev); }},
    {Qt::Key_X, "X", "播放", Everywhere, false, [] { RemoteControl(frmMain()).Play(); }},
    {Qt::Key_C, "C", "暂停/继续", Everywhere, false, PauseOrResume},
    {Qt::Key_V, "V", "停止", Everywhere, false, [] { Press(frmMain().ImgStop); }},
    {Qt::Key_B, "B", "下一首", Everywhere, false, [] { Press(frmMain().ImgNext); }},
    {Qt::Key_Space, "空格", "播放/暂停", Everywhere, false, [] { frmMain().ClickPlay(); }},
    {Qt::Key_Left, "←", "后退5秒", Everywhere, true, [] { SeekBy(-kSeekStep); }},
    {Qt::Key_Right, "→", "前进5秒", Everywhere, true, [] { SeekBy(kSeekStep); }},
    {Qt::Key_Up, "↑", "音量+5", Windows, true, [] { VolumeBy(kVolumeStep); }},
    {Qt::Key_Down, "↓", "音量-5", Windows, true, [] { VolumeBy(-kVolumeStep); }},
    {Qt::Key_M, "M", "静音", Everywhere, false, [] { Press(frmMain().ImgMute); }},
    {Qt::Key_L, "L", "歌词", Everywhere, false, [] { Press(frmMain().ImgLrc); }},
    {Qt::Key_J, "J", "查找", Everywhere, false, [] { frmList().OpenFindBox(); }},
    {Qt::ControlModifier | Qt::Key_F, "Ctrl+F", "查找", Everywhere, false, [] { frmList().OpenFindBox(); }},
    {Qt::ControlModifier | Qt::Key_O, "Ctrl+O", "添加文件", Everywhere, false, [] { Choose(frmMenu().mnuAddFile()); }},
    {Qt::ControlModifier | Qt::Key_L, "Ctrl+L", "打开播放列表", Everywhere, false,
     [] { Choose(frmMenu().mnuPlayListOpen()); }},
    {Qt::ControlModifier | Qt::Key_S, "Ctrl+S", "将播放列表另存为", Everywhere, false,
     [] { Choose(frmMenu().mnuPlayListSave()); }},
    {Qt::Key_Return, "Enter", "播放选中的歌曲", Grid, false, [] { frmList().PlaySelectedRow(); }},
    {Qt::Key_Delete, "Del", "删除文件", Grid, false, [] { Choose(frmMenu().mnuDelFile()); }},
};

bool Reaches(KeyPlace place, bool inGrid) { return place == Everywhere || (place == Grid) == inGrid; }

// The key codes the grid reports for the table's keys that are not letters (a letter's code is its capital).
constexpr int kVkReturn = 0x0D, kVkSpace = 0x20, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28,
              kVkDelete = 0x2E;
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

std::optional<Qt::Key> QtKeyOf(int keyCode) {
    if (keyCode >= 'A' && keyCode <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (keyCode - 'A'));
    switch (keyCode) {
        case kVkReturn: return Qt::Key_Return;
        case kVkSpace: return Qt::Key_Space;
        case kVkLeft: return Qt::Key_Left;
        case kVkUp: return Qt::Key_Up;
        case kVkRight: return Qt::Key_Right;
        case kVkDown: return Qt::Key_Down;
        case kVkDelete: return Qt::Key_Delete;
        default: return std::nullopt;
    }
}

class KeyWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* press = static_cast<QKeyEvent*>(event);
        // The keypad's keys act as the main keys of the same names.
        const QKeyCombination key(press->modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(press->key()));
        return RunPlayerKey(key, false, press->isAutoRepeat());
    }
};

}  // namespace

std::span<const PlayerKey> PlayerKeyTable() { return kKeys; }

bool RunPlayerKey(QKeyCombination key, bool inGrid, bool autoRepeat) {
    const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                     [&](const PlayerKey& k) { return k.key == key && Reaches(k.place, inGrid); });
    if (found == std::end(kKeys)) return false;
    if (!autoRepeat || found->repeats) found->run();
    return true;  // a held toggle is still the player's key, only it does not toggle again
}

bool RunGridKey(int keyCode, int shift) {
    const std::optional<Qt::Key> key = QtKeyOf(keyCode);
    if (!key) return false;
    Qt::KeyboardModifiers modifiers;
    if (shift & kShiftMask) modifiers |= Qt::ShiftModifier;
    if (shift & kCtrlMask) modifiers |= Qt::ControlModifier;
    if (shift & kAltMask) modifiers |= Qt::AltModifier;
    return RunPlayerKey(QKeyCombination(modifiers, *key), true);
}

void WatchPlayerKeys(QWidget& window) { window.installEventFilter(new KeyWatcher(&window)); }

QStringList PlayerKeyItems() {
    // Keys that do the same are named together: "J/Ctrl+F 查找".
    QStringList items;
    QString lastCaption;
    for (const PlayerKey& k : kKeys) {
        const QString caption = QString::fromUtf8(k.caption);
        const QString name = QString::fromUtf8(k.name);
        if (caption == lastCaption)
            items.back().replace(QLatin1Char(' ') + caption, QLatin1Char('/') + name + QLatin1Char(' ') + caption);
        else
            items << name + QLatin1Char(' ') + caption;
        lastCaption = caption;
    }
    return items;
}

}  // namespace media
