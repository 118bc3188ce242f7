#include "platform/browser/WebBrowser.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <utility>

namespace browser {

namespace {
// Pages larger than this are not pages a portal serves.
constexpr qint64 kMaxPageBytes = 8 * 1024 * 1024;

QString Decode(const QByteArray& bytes, const QByteArray& contentType) {
    // The charset the server names, else the page's own meta tag, else UTF-8.
    QByteArray charset;
    const int at = contentType.toLower().indexOf("charset=");
    if (at >= 0) charset = contentType.mid(at + 8).trimmed();
    if (charset.isEmpty()) {
        const QByteArray head = bytes.left(2048).toLower();
        const int meta = head.indexOf("charset=");
        if (meta >= 0) {
            int end = meta + 8;
            while (end < head.size() &&
                   (std::isalnum(static_cast<unsigned char>(head[end])) || head[end] == '-' || head[end] == '_'))
                ++end;
            charset = head.mid(meta + 8, end - meta - 8);
        }
    }
    QStringDecoder decoder(charset.isEmpty() ? QByteArray("UTF-8") : charset);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}
}  // namespace

QString NavigationTarget(const QUrl& page, const QString& written) {
    const QUrl url(written);
    return url.isRelative() ? page.resolved(url).toString(QUrl::FullyEncoded) : written;
}

WebBrowser::WebBrowser(QWidget* parent) : QTextBrowser(parent), network_(new QNetworkAccessManager(this)) {
    setOpenLinks(false);  // links are navigations: they are announced first
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        // The signal's address has been through QUrl (scheme lower-cased, escapes decoded when shown); the href text
        // noted by the event that activated the link has not. A link signalled from elsewhere has only the address.
        const QString written = activatingHref_.isEmpty() ? link.toString(QUrl::FullyEncoded) : activatingHref_;
        Navigate(NavigationTarget(location_, written));
    });
}

WebBrowser::~WebBrowser() {
    if (reply_) reply_->abort();
}

void WebBrowser::mousePressEvent(QMouseEvent* event) {
    // The link pressed on is the one a release activates, as the text view decides.
    pressedHref_ = anchorAt(event->position().toPoint());
    QTextBrowser::mousePressEvent(event);
}

void WebBrowser::mouseReleaseEvent(QMouseEvent* event) {
    activatingHref_ = std::exchange(pressedHref_, QString());
    QTextBrowser::mouseReleaseEvent(event);
    activatingHref_.clear();
}

void WebBrowser::keyPressEvent(QKeyEvent* event) {
    activatingHref_ = FocusedLinkHref();
    QTextBrowser::keyPressEvent(event);
    activatingHref_.clear();
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
    bool cancel = false;
    if (BeforeNavigate2) BeforeNavigate2(url, cancel);
    if (cancel) return;
    const QUrl target = QUrl::fromUserInput(url);
    const QString scheme = target.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file"))
        Load(target);
    // Other schemes name nothing this view can show; the page stays.
}

void WebBrowser::Load(const QUrl& url) {
    if (reply_) reply_->abort();
    location_ = url;
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPageBytes) {
            ShowError(url, file.errorString());
            return;
        }
        document()->setBaseUrl(url);
        setHtml(Decode(file.readAll(), {}));
        if (DocumentComplete) DocumentComplete(url.toString());
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(15000);
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::finished, this, [this, reply = reply_.data()] { Finished(reply); });
    connect(reply_, &QNetworkReply::downloadProgress, this, [this, reply = reply_.data()](qint64 received, qint64) {
        if (received > kMaxPageBytes) reply->abort();
    });
}

void WebBrowser::Finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != reply_) return;
    reply_ = nullptr;
    const QUrl url = reply->url();
    const QVariant redirect = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (redirect.isValid()) {
        // A redirect is a navigation of its own, to the address the server wrote.
        const QString written = QString::fromUtf8(reply->rawHeader("Location"));
        Navigate(NavigationTarget(url, written.isEmpty() ? redirect.toUrl().toString(QUrl::FullyEncoded) : written));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        ShowError(url, reply->errorString());
        return;
    }
    document()->setBaseUrl(url);
    setHtml(Decode(reply->readAll(), reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
    if (DocumentComplete) DocumentComplete(url.toString());
}

void WebBrowser::ShowError(const QUrl& url, const QString& why) {
    setHtml(QStringLiteral("<h3>无法显示此页</h3><p>%1</p><p><small>%2</small></p>")
                .arg(url.toString().toHtmlEscaped(), why.toHtmlEscaped()));
    if (DocumentComplete) DocumentComplete(url.toString());
}

}  // namespace browser
