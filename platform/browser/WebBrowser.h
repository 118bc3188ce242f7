#pragma once
// A light web view: renders pages with QTextBrowser, fetches http(s) pages itself and reads local files, through a
// PageLoader that never holds the window thread. Every navigation, the first one, every link the user follows and
// every redirect, is announced first through BeforeNavigate2, whose handler may cancel it; a cancelled navigation
// changes nothing. A link or a redirect is announced with its address as the page or the server wrote it (see
// NavigationTarget), and with whether the user started it: only a link the user activated with the mouse or the
// keyboard is; the program's own Navigate and anything a server or page does on its own are not.
#include <QTextBrowser>
#include <QUrl>
#include <functional>

#include "platform/browser/PageLoader.h"

namespace browser {

// The address a link or a redirect names, as the text that names it: an address with a scheme is kept to the
// letter (its case, its escapes), since handlers may give their own schemes a meaning; a relative one is resolved
// against the page, which it needs to be loaded.
QString NavigationTarget(const QUrl& page, const QString& written);

class WebBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Announces the navigation (not the user's), then loads the page unless the handler cancelled it.
    void Navigate(const QString& url);
    // The address of the page shown (or being loaded).
    QString LocationURL() const { return location_.toString(); }
    // A page is being fetched or prepared.
    bool Busy() const;
    void SetPageLimits(const PageLimits& limits);

    // (url, userStarted, cancel): set cancel to refuse the navigation.
    std::function<void(const QString& url, bool userStarted, bool& cancel)> BeforeNavigate2;
    // The page has arrived (or its error page is shown).
    std::function<void(const QString& url)> DocumentComplete;

protected:
    // A link is activated inside these; they note its href text, which the activation signal no longer carries.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Pictures and style sheets the page names.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    // The link the keyboard focus is on (a Tab selects one), as its href reads; empty when none.
    QString FocusedLinkHref() const;
    void Go(const QString& url, bool userStarted);
    void ShowError(const QUrl& url, const QString& why);

    PageLoader* loader_;
    QUrl location_;
    QString pressedHref_;          // the link under the last press of the mouse
    QString activatingHref_;       // the link being activated, while the event that activates it is handled
    bool userActivating_ = false;  // while a mouse or key event of the user is handled
    int redirects_ = 0;            // since the last navigation that was not a redirect
    static constexpr int kMaxRedirects = 10;
};

}  // namespace browser
