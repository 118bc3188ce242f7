#include "media/windows/Tray.h"

#include <QCursor>
#include <QSystemTrayIcon>
#include <QTimer>

#include "media/art/ProgramIconArt.h"
#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/lyrics/LyricsWindow.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/Form.h"
#include "platform/forms/Menu.h"

namespace media {

Tray& mdlNotify() {
    static Tray tray;
    return tray;
}

Tray::Tray() = default;
Tray::~Tray() = default;

void Tray::Remove() { icon_.reset(); }

bool Tray::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void Tray::SetTrayIcon(forms::Form* owner, forms::Menu* leftMenu, forms::Menu* rightMenu, bool balloon,
                       const QString& tipText, const QString& balloonText, int infoFlags, int timeoutMs) {
    if (!icon_) {
        owner_ = owner;
        leftMenu_ = leftMenu;
        rightMenu_ = rightMenu;
        icon_ = std::make_unique<QSystemTrayIcon>(owner ? owner->windowIcon() : ProgramIcon());
        connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
                case QSystemTrayIcon::DoubleClick: DoubleClicked(); break;
                case QSystemTrayIcon::Context: RightClicked(); break;
                case QSystemTrayIcon::Trigger: LeftClicked(); break;
                default: break;
            }
        });
        // The icon comes back by itself when the desktop's notification area is re-created.
        icon_->show();
    }
    icon_->setToolTip(tipText);
    if (balloon && !balloonText.isEmpty())
        icon_->showMessage(tipText, balloonText, static_cast<QSystemTrayIcon::MessageIcon>(infoFlags & 3), timeoutMs);
}

void Tray::DoubleClicked() {
    if (!owner_) return;
    const bool show = !owner_->isVisible() || owner_->isMinimized();
    if (show) {
        frmMain().Restore();
    } else {
        HideToTray();
    }
}

void Tray::HideToTray() {
    if (!owner_) return;
    owner_->hide();
    if (frmListExists()) frmList().Hide();
    // The lyrics window goes too (its flag stays set, so that the restore brings it back).
    if (frmLrcExists()) frmLrc().Hide();
    WatchTrayWhileHidden();
}

void Tray::WatchTrayWhileHidden() {
    if (!trayWatch_) {
        trayWatch_ = new QTimer(this);
        trayWatch_->setInterval(1000);
        connect(trayWatch_, &QTimer::timeout, this, [this] {
            if (!owner_ || owner_->isVisible()) {
                trayWatch_->stop();
            } else if (!Available()) {
                trayWatch_->stop();
                frmMain().Restore();
            }
        });
    }
    trayWatch_->start();
}

void Tray::RightClicked() {
    if (!rightMenu_) return;
    if (owner_) owner_->activateWindow();
    rightMenu_->Popup(QCursor::pos());
}

void Tray::LeftClicked() {
    if (!leftMenu_) return;
    if (owner_) owner_->activateWindow();
    leftMenu_->Popup(QCursor::pos());
}

QIcon ProgramIcon() {
    // Painted once: the application, the main window and the lyrics window all ask for it while starting. Kept for
    // the process's life, so no picture outlives the application that made it.
    static const QIcon* const kIcon = [] {
        auto* painted = new QIcon;
        for (int size : ProgramIconSizes()) painted->addPixmap(QPixmap::fromImage(PaintProgramIcon(size)));
        return painted;
    }();
    return *kIcon;
}

}  // namespace media
