#include "lorvex/listview/BorderFrame.h"

#include <QPainter>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "lorvex/listview/ThreeDEdge.h"

namespace lorvex {

BorderFrame::BorderFrame(QWidget* parent) : QWidget(parent) {}

void BorderFrame::SetContent(QWidget* content) {
    content_ = content;
    if (!content) return;
    content->setParent(this);
    setFocusProxy(content);
    LayoutContent();
    content->show();
}

void BorderFrame::SetBorderStyle(int style) {
    if (style != BorderStyleNone && style != BorderStyleThin && style != BorderStyleThick) return;
    if (style == style_) return;
    style_ = style;
    LayoutContent();
    update();
}

int BorderFrame::FrameWidth() const {
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

void BorderFrame::resizeEvent(QResizeEvent*) { LayoutContent(); }

void BorderFrame::LayoutContent() {
    if (!content_) return;
    const int w = FrameWidth();
    content_->setGeometry(rect().adjusted(w, w, -w, -w));
}

}  // namespace lorvex
