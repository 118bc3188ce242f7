#pragma once
// The player's icon in the desktop's notification area: a double click hides or shows the main window (and the
// playlist and lyrics windows with it), a right click opens the playlist menu. Where the desktop has no notification
// area the icon stays away and the main window minimises normally.
#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QSystemTrayIcon;
class QTimer;

namespace forms {
class Form;
class Menu;
}  // namespace forms

namespace media {

class Tray : public QObject {
    Q_OBJECT
public:
    // Installs the icon for `owner`, or updates its tip and menus when installed.
    void SetTrayIcon(forms::Form* owner, forms::Menu* leftMenu, forms::Menu* rightMenu, bool balloon,
                     const QString& tipText, const QString& balloonText, int infoFlags, int timeoutMs);
    bool Installed() const { return icon_ != nullptr; }
    // Takes the icon away (at exit, while the application still exists).
    void Remove();
    // Whether a notification area exists right now, so a hidden window can be brought back.
    static bool Available();

    // Hides the owner (and the playlist and lyrics windows) into the icon. Should the notification area go away
    // meanwhile, the windows come back rather than stay out of reach.
    void HideToTray();

    // What the icon's clicks do; public so they can be exercised without a tray host.
    void DoubleClicked();
    void RightClicked();
    void LeftClicked();

    Tray();
    ~Tray() override;

private:
    void WatchTrayWhileHidden();

    forms::Form* owner_ = nullptr;
    QTimer* trayWatch_ = nullptr;
    forms::Menu* leftMenu_ = nullptr;
    forms::Menu* rightMenu_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

// The one tray module of the program.
Tray& mdlNotify();

// The program's icon: the main window's, and the tray's.
QIcon ProgramIcon();

}  // namespace media
