#pragma once
// A transparent text label: one line, clipped to the label, drawn in its fore colour and font.
#include <QColor>
#include <QFont>

#include "platform/forms/Control.h"

namespace forms {

class Label : public Control {
    Q_OBJECT
public:
    explicit Label(QWidget* parent);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    const QColor& ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& color);
    void SetAlignment(Qt::Alignment alignment);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor foreColor_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignTop;
};

}  // namespace forms
