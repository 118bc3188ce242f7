#include "platform/forms/Label.h"

#include <QPainter>

namespace forms {

Label::Label(QWidget* parent) : Control(parent) {}

void Label::SetCaption(const QString& caption) {
    if (caption == caption_) return;  // the poller sets the same texts three times a second
    caption_ = caption;
    update();
}

void Label::SetForeColor(const QColor& color) {
    foreColor_ = color;
    update();
}

void Label::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void Label::paintEvent(QPaintEvent*) {
    if (caption_.isEmpty()) return;
    QPainter painter(this);
    painter.setPen(foreColor_);
    painter.setFont(font());
    painter.drawText(rect(), static_cast<int>(alignment_ | Qt::TextSingleLine), caption_);
}

}  // namespace forms
