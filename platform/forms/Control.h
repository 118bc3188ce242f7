#pragma once
// A control on a form: placed and measured in twips, with a Tag text, and mouse events in the controls' terms
// (button, shift, x and y in twips within the control).
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/forms/MouseArgs.h"

namespace forms {

class Control : public QWidget {
    Q_OBJECT
public:
    explicit Control(QWidget* parent);

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double twips) { Move(twips, top_, width_, height_); }
    void SetTop(double twips) { Move(left_, twips, width_, height_); }
    void SetWidth(double twips) { Move(left_, top_, twips, height_); }
    void SetHeight(double twips) { Move(left_, top_, width_, twips); }
    // Keeps the values as given; the widget itself sits on the nearest whole pixels. Negative sizes count as 0.
    void Move(double left, double top, double width, double height);

    QString Tag;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void SetToolTipText(const QString& text) { setToolTip(text); }
    void SetMousePointer(Qt::CursorShape shape) { setCursor(shape); }

    std::function<void(const MouseArgs&)> MouseDown;
    std::function<void(const MouseArgs&)> MouseMove;
    std::function<void(const MouseArgs&)> MouseUp;
    // A press and a release of the left button, both on the control.
    std::function<void()> Click;
    std::function<void()> DblClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool pressedInside_ = false;
};

}  // namespace forms
