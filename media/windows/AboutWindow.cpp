#include "media/windows/AboutWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"
#include "platform/forms/Label.h"

namespace media {

namespace {
QColor ButtonTextColor() {
    std::uint32_t rgb = 0;
    automation::TranslateOleColor(0x80000012, &rgb);
    return automation::ToQColor(rgb);
}
}  // namespace

AboutWindow::AboutWindow(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("关于MorvaneTavri1.0"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFixedSize(300, 120);
    auto addLabel = [this](const QString& text, double top, int pixels) {
        auto* label = new forms::Label(this);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(pixels);
        label->setFont(font);
        label->SetForeColor(ButtonTextColor());
        label->SetCaption(text);
        label->Move(360, top, 3900, 330);
        return label;
    };
    addLabel(QStringLiteral("Morvane Tavri 1.0 播放版"), 240, 15);
    addLabel(QStringLiteral("意见与建议：请访问我们的网站"), 660, 12);
    link_ = addLabel(QString::fromLatin1(kProductSite), 1020, 12);
    link_->SetMousePointer(Qt::PointingHandCursor);
    link_->MouseMove = [this](const forms::MouseArgs&) { SetLinkColor(QColor(0, 0, 255)); };
    link_->Click = [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductSite))); };
}

void AboutWindow::SetLinkColor(const QColor& color) { link_->SetForeColor(color); }

void AboutWindow::mouseMoveEvent(QMouseEvent* event) {
    SetLinkColor(ButtonTextColor());
    QDialog::mouseMoveEvent(event);
}

void AboutWindow::ShowModal(QWidget* owner) {
    AboutWindow box(owner);
    box.exec();
}

}  // namespace media
