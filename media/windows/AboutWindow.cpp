#include "media/windows/AboutWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QUrl>

#include "media/core/PlayerKeys.h"
#include "media/core/ProgramIdentity.h"
#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"
#include "platform/forms/Label.h"
#include "platform/forms/Twips.h"

namespace media {

namespace {
constexpr int kKeyLineHeight = 16;  // pixels
constexpr int kKeyPixels = 11;
constexpr double kLabelWidth = 3900;  // twips

QFont LabelFont(int pixels) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixels);
    return font;
}

// The player's keys, as many to a line as the label's width holds.
QStringList KeyLines() {
    const QFontMetrics metrics(LabelFont(kKeyPixels));
    QStringList lines;
    for (const QString& item : PlayerKeyItems()) {
        const QString joined = lines.isEmpty() ? QString() : lines.back() + QStringLiteral("  ") + item;
        if (!lines.isEmpty() && metrics.horizontalAdvance(joined) <= forms::ToPixels(kLabelWidth))
            lines.back() = joined;
        else
            lines << item;
    }
    return lines;
}

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
    const QStringList keys = KeyLines();
    setFixedSize(300, 120 + kKeyLineHeight * (static_cast<int>(keys.size()) + 1));
    auto addLabel = [this](const QString& text, double top, int pixels) {
        auto* label = new forms::Label(this);
        label->setFont(LabelFont(pixels));
        label->SetForeColor(ButtonTextColor());
        label->SetCaption(text);
        label->Move(360, top, kLabelWidth, 330);
        return label;
    };
    addLabel(QStringLiteral("%1 %2 播放版").arg(QString::fromUtf8(kDisplayName), QString::fromLatin1(kVersion)), 240,
             15);
    addLabel(QStringLiteral("意见与建议：请访问我们的网站"), 660, 12);
    link_ = addLabel(QString::fromLatin1(kProductSite), 1020, 12);
    link_->SetMousePointer(Qt::PointingHandCursor);
    link_->MouseMove = [this](const forms::MouseArgs&) { SetLinkColor(QColor(0, 0, 255)); };
    link_->Click = [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductSite))); };
    // The player's keys, below the site: what the buttons and the list's menu do, without the pointer.
    double top = 1500;
    for (const QString& line : QStringList{QStringLiteral("快捷键：")} + keys) {
        addLabel(line, top, kKeyPixels);
        top += forms::ToTwips(kKeyLineHeight);
    }
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
