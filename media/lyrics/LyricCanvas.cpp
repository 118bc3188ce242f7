#include "media/lyrics/LyricCanvas.h"

#include <QMouseEvent>
#include <QPainter>

#include "media/windows/CjkFont.h"

namespace media {

LyricCanvas::LyricCanvas(QWidget* parent, const LyricTable& table) : QWidget(parent), table_(table) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont face = font();
    face.setFamily(CjkFamily(QStringLiteral("宋体")));
    face.setPixelSize(14);
    setFont(face);
}

float LyricCanvas::LineHeight() const { return static_cast<float>(fontMetrics().lineSpacing()); }

LyricCanvas::Picture LyricCanvas::PictureOf(const LyricFrame& frame) const {
    Picture picture;
    picture.clear = frame.clear;
    picture.draw = frame.draw;
    if (!frame.draw) return picture;  // a blank canvas is the same whatever the rest says
    picture.top = CopiesRows() ? static_cast<double>(PrintedRow(frame.top)) : frame.top;
    picture.highlight = frame.highlight;
    picture.generation = table_.generation;
    return picture;
}

void LyricCanvas::Show(const LyricFrame& frame) {
    const Picture picture = PictureOf(frame);
    if (picture == onScreen_) return;  // the same pixels: nothing to repaint
    onScreen_ = picture;
    shown_ = frame;
    // Painted at once rather than from a posted update: the tick already woke the thread, and the posted request
    // would wake it a second time.
    repaint();
}

void LyricCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!shown_.draw) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    if (layout_.Follow(table_, font(), width())) band_.Drop();
    if (CopiesRows() && band_.Paint(painter, layout_, PrintedRow(shown_.top), shown_.highlight, size(),
                                    QSize(logicalDpiX(), logicalDpiY())))
        return;
    painter.fillRect(rect(), Qt::black);
    layout_.PrintRows(painter, shown_.top, shown_.highlight, 0, height());
}

void LyricCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && RightButtonDown) RightButtonDown(event->globalPosition().toPoint());
}

}  // namespace media
