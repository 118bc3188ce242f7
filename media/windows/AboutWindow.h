#pragma once
// The about box: product and version, a contact line, and a link to the product site that opens in the browser.
#include <QDialog>

namespace forms {
class Label;
}

namespace media {

class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kProductSite = "https://morvane.example/";

    explicit AboutWindow(QWidget* owner);
    forms::Label* Label4() const { return link_; }

    // Shows a new about box, modal to `owner`, and returns when the user has closed it.
    static void ShowModal(QWidget* owner);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void SetLinkColor(const QColor& color);
    forms::Label* link_ = nullptr;
};

}  // namespace media
