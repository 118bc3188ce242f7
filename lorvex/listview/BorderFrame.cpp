#include "lorvex/listview/BorderFrame.h"

#include <QPainter>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "lorvex/listview/ThreeDEdge.h"

namespace lorvex {

BorderFrame::BorderFrame(QWidget* parent) : QWidget(parent) {}

void BorderFrame::setContent(QWidget* content) {
    content_ = content;
    if (!content) return;
    content->setParent(this);
    setFocusProxy(content);
    layoutContent();
    content->show();
}

void BorderFrame::setBorderStyle(int style) {
    if (style != BorderStyleNone && style != BorderStyleThin && style != BorderStyleThick) return;
    if (style == style_) return;
    style_ = style;
    layoutContent();
    update();
}

int BorderFrame::frameWidth() const {
    switch (style_) {
        case BorderStyleThin: return EdgeWidth(EdgeKind::SunkenOuter);
        case BorderStyleThick: return EdgeWidth(EdgeKind::Sunken);
        default: return 0;
    }
}

void BorderFrame::paintEvent(QPaintEvent*) {
    if (style_ == BorderStyleNone) return;
    QPainter painter(this);
    DrawEdge(painter, rect(), style_ == BorderStyleThick ? EdgeKind::Sunken : EdgeKind::SunkenOuter);
}

void BorderFrame::resizeEvent(QResizeEvent*) { layoutContent(); }

void BorderFrame::layoutContent() {
    if (!content_) return;
    const int w = frameWidth();
    content_->setGeometry(rect().adjusted(w, w, -w, -w));
}

}  // namespace lorvex
