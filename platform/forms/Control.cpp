#include "platform/forms/Control.h"

#include <algorithm>

namespace forms {

Control::Control(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // mouse-move events also without a pressed button
    setAttribute(Qt::WA_NoSystemBackground);
    show();
}

void Control::Move(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0.0);
    height_ = std::max(height, 0.0);
    setGeometry(ToPixels(left_), ToPixels(top_), ToPixels(width_), ToPixels(height_));
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    // A disabled control lets the mouse through to what lies below, and raises nothing.
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    setVisible(visible);
}

void Control::mousePressEvent(QMouseEvent* event) {
    event->accept();
    pressedInside_ = event->button() == Qt::LeftButton;
    if (MouseDown) MouseDown(ToMouseArgs(*event));
}

void Control::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (MouseMove) MouseMove(ToMouseArgs(*event));
}

void Control::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click =
        pressedInside_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressedInside_ = false;
    if (MouseUp) MouseUp(ToMouseArgs(*event));
    if (click && Click) Click();
}

void Control::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    // The second press of a double click counts as a press as well.
    pressedInside_ = event->button() == Qt::LeftButton;
    if (MouseDown) MouseDown(ToMouseArgs(*event));
    if (event->button() == Qt::LeftButton && DblClick) DblClick();
}

}  // namespace forms
