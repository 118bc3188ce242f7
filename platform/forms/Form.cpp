#include "platform/forms/Form.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>

#include "platform/forms/TaskbarHints.h"
#include "platform/forms/Twips.h"

namespace forms {

Form::Form(const QString& caption, QWidget* owner, Qt::WindowFlags extraFlags)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | extraFlags) {
    setWindowTitle(caption);
    setMouseTracking(true);
}

double Form::Left() const { return ToTwips(x()); }
double Form::Top() const { return ToTwips(y()); }
double Form::Width() const { return ToTwips(width()); }
double Form::Height() const { return ToTwips(height()); }

void Form::Move(double left, double top) { move(ToPixels(left), ToPixels(top)); }

void Form::Move(double left, double top, double width, double height) {
    move(ToPixels(left), ToPixels(top));
    Resize(width, height);
}

void Form::Resize(double width, double height) { resize(std::max(ToPixels(width), 1), std::max(ToPixels(height), 1)); }

void Form::Load() {
    if (loaded_ || loading_) return;
    loading_ = true;
    Form_Load();
    loading_ = false;
    loaded_ = true;
    if (unloadAsked_) {
        unloadAsked_ = false;
        Unload();
    }
}

void Form::Show() {
    Load();
    if (!loaded_) return;  // unloaded while it loaded: the program is ending
    // A window the window manager minimised along with its owner is shown as a normal window; mapped minimised, it
    // would take its owner back down with it.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
}

void Form::ShowModal(QWidget* owner) {
    Load();
    if (owner) SetOwner(owner);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    QEventLoop loop;
    struct Watcher : QObject {
        QEventLoop* loop;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide) loop->quit();
            return false;
        }
    } watcher;
    watcher.loop = &loop;
    installEventFilter(&watcher);
    loop.exec();
    removeEventFilter(&watcher);
    setWindowModality(Qt::NonModal);
}

void Form::Unload() {
    // Form_Unload may close windows or quit the application, and quitting closes every window, this one
    // included: an unload already under way is not started again.
    if (unloading_) return;
    if (loading_) {
        unloadAsked_ = true;
        return;
    }
    if (!loaded_) {
        hide();
        return;
    }
    unloading_ = true;
    Form_Unload();
    unloading_ = false;
    loaded_ = false;
    hide();
}

void Form::SetOwner(QWidget* owner) {
    if (parentWidget() == owner) return;
    const bool wasVisible = isVisible();
    const QPoint place = pos();
    setParent(owner, windowFlags());  // a window keeps its flags, and stays a window of its own
    move(place);
    if (wasVisible) show();
}

void Form::SetRegion(const QRegion& pixels) {
    setMask(pixels);
    update();
}

void Form::SetTopMost(bool topMost) {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (wasVisible) show();  // changing window flags hides the window
}

void Form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form::showEvent(QShowEvent* event) {
    // Delivered before the window is mapped: the hint is there when the window manager takes the window in.
    if (offTaskbar_ && !event->spontaneous()) KeepOffTaskbar(*this);
    QWidget::showEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
    // Closing by the window manager is unloading.
    event->accept();
    Unload();
}

void Form::RunMoveLoop() {
    if (moving_ || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
    moving_ = true;
    grabOffset_ = QCursor::pos() - pos();
    grabMouse();
    QEventLoop loop;
    endMove_ = [&loop] { loop.quit(); };
    // A release the grab did not see (another program took the pointer) must not leave the loop running.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&loop] {
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) loop.quit();
    });
    watchdog.start(100);
    loop.exec();
    endMove_ = nullptr;
    releaseMouse();
    moving_ = false;
}

void Form::mouseMoveEvent(QMouseEvent* event) {
    if (moving_) {
        move(event->globalPosition().toPoint() - grabOffset_);
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void Form::mouseReleaseEvent(QMouseEvent* event) {
    if (moving_ && event->button() == Qt::LeftButton) {
        move(event->globalPosition().toPoint() - grabOffset_);
        if (endMove_) endMove_();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace forms
