#include "platform/browser/WebBrowser.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

namespace browser {

QString NavigationTarget(const QUrl& page, const QString& written) {
    const QUrl url(written);
    return url.isRelative() ? page.resolved(url).toString(QUrl::FullyEncoded) : written;
}

WebBrowser::WebBrowser(QWidget* parent) : QTextBrowser(parent), loader_(new PageLoader(this)) {
    setOpenLinks(false);  // links are navigations: they are announced first
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        // The signal's address has been through QUrl (scheme lower-cased, escapes decoded when shown); the href text
        // noted by the event that activated the link has not. A link signalled from elsewhere has only the address,
        // and is not the user's doing.
        const QString written = activatingHref_.isEmpty() ? link.toString(QUrl::FullyEncoded) : activatingHref_;
        redirects_ = 0;
        Go(NavigationTarget(location_, written), userActivating_);
    });
    loader_->onLoaded = [this](const QUrl& url, const QString& html) {
        document()->setBaseUrl(url);
        setHtml(html);
        if (DocumentComplete) DocumentComplete(url.toString());
    };
    loader_->onFailed = [this](const QUrl& url, const QString& why) { ShowError(url, why); };
    // A redirect is a navigation of its own, to the address the server wrote, and the server's doing.
    // A server that sends the view round in circles is left after a few.
    loader_->onRedirected = [this](const QUrl& url, const QString& written) {
        if (++redirects_ > kMaxRedirects)
            ShowError(url, QStringLiteral("重定向次数过多"));
        else
            Go(NavigationTarget(url, written), false);
    };
}

WebBrowser::~WebBrowser() = default;

bool WebBrowser::Busy() const { return loader_->Busy(); }

void WebBrowser::SetPageLimits(const PageLimits& limits) { loader_->SetLimits(limits); }

void WebBrowser::mousePressEvent(QMouseEvent* event) {
    // The link pressed on is the one a release activates, as the text view decides.
    pressedHref_ = anchorAt(event->position().toPoint());
    QTextBrowser::mousePressEvent(event);
}

void WebBrowser::mouseReleaseEvent(QMouseEvent* event) {
    activatingHref_ = std::exchange(pressedHref_, QString());
    userActivating_ = true;
    QTextBrowser::mouseReleaseEvent(event);
    userActivating_ = false;
    activatingHref_.clear();
}

void WebBrowser::keyPressEvent(QKeyEvent* event) {
    activatingHref_ = FocusedLinkHref();
    userActivating_ = true;
    QTextBrowser::keyPressEvent(event);
    userActivating_ = false;
    activatingHref_.clear();
}

QVariant WebBrowser::loadResource(int type, const QUrl& name) {
    // The text view would read any file a page names, on the window thread and to its end: /dev/zero has none and
    // a FIFO may never answer. A page from the network gets no local file; a local page gets regular files within
    // the page size limit. A refusal is an empty value, not none, which the document would read the file for.
    if (name.scheme() == QLatin1String("data")) return {};  // within the page: the document decodes it
    const QVariant refused = QByteArray();
    const QUrl url = location_.resolved(name);
    if (!location_.isLocalFile() || !url.isLocalFile()) return refused;
    const QFileInfo file(url.toLocalFile());
    if (!file.isFile() || file.size() > loader_->Limits().maxBytes) return refused;
    return QTextBrowser::loadResource(type, url);
}

QString WebBrowser::FocusedLinkHref() const {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) return {};
    // A character's format tells the link it belongs to: the first selected character's, so after it.
    cursor.setPosition(cursor.selectionStart());
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat().anchorHref();
}

void WebBrowser::Navigate(const QString& url) {
    redirects_ = 0;
    Go(url, false);
}

void WebBrowser::Go(const QString& url, bool userStarted) {
    bool cancel = false;
    if (BeforeNavigate2) BeforeNavigate2(url, userStarted, cancel);
    if (cancel) return;
    const QUrl target = QUrl::fromUserInput(url);
    const QString scheme = target.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file")) {
        location_ = target;
        loader_->Start(target);
    }
    // Other schemes name nothing this view can show; the page stays.
}

void WebBrowser::ShowError(const QUrl& url, const QString& why) {
    setHtml(QStringLiteral("<h3>无法显示此页</h3><p>%1</p><p><small>%2</small></p>")
                .arg(url.toString().toHtmlEscaped(), why.toHtmlEscaped()));
    if (DocumentComplete) DocumentComplete(url.toString());
}

}  // namespace browser
