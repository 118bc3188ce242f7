#include "platform/forms/Form.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QMouseEvent>

#include "platform/forms/Twips.h"

namespace forms {

Form::Form(const QString& caption, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
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
}

void Form::Show() {
    Load();
    show();
    raise();
}

void Form::ShowModal(QWidget* owner) {
    Load();
    if (owner && parentWidget() != owner) setParent(owner, windowFlags());
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
