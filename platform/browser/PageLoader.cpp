#include "platform/browser/PageLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace browser {
namespace {

// The text of a page's bytes: the charset the server names, else the page's own meta tag, else UTF-8.
QString DecodePage(const QByteArray& bytes, const QByteArray& contentType) {
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

PageLoader::PageLoader(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        const QUrl url = reply_ ? reply_->url() : QUrl();
        Abort();
        Fail(url, QStringLiteral("服务器没有在 %1 秒内送完此页").arg(limits_.timeoutMs / 1000.0));
    });
}

PageLoader::~PageLoader() { Abort(); }

QString PageLoader::TooLarge() const { return QStringLiteral("此页超过 %1 KB，不予显示").arg(limits_.maxBytes / 1024); }

void PageLoader::Abort() {
    ++generation_;  // a page still being prepared is dropped when it arrives
    deadline_.stop();
    busy_ = false;
    if (QNetworkReply* reply = reply_.data()) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void PageLoader::Start(const QUrl& url) {
    Abort();
    busy_ = true;
    body_.clear();
    if (url.isLocalFile()) {
        // Only a regular file: a FIFO or a device could keep a reader waiting for ever.
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile() || file.size() > limits_.maxBytes) {
            Fail(url, file.isFile() ? TooLarge() : QStringLiteral("不是可以显示的文件"));
            return;
        }
        const qint64 limit = limits_.maxBytes;
        Prepare(url, [path = file.filePath(), limit] {
            QFile in(path);
            return in.open(QIODevice::ReadOnly) ? DecodePage(in.read(limit), {}) : QString();
        });
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    reply_ = network_->get(request);
    reply_->setReadBufferSize(64 * 1024);  // what is not read yet waits in the socket, not in memory
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits_.maxBytes) {
            const QUrl url = reply_->url();
            Abort();
            Fail(url, TooLarge());
        }
    });
    connect(reply_, &QNetworkReply::readyRead, this, &PageLoader::ReadBody);
    connect(reply_, &QNetworkReply::finished, this, &PageLoader::Finished);
    deadline_.start(limits_.timeoutMs);
}

void PageLoader::ReadBody() {
    if (!reply_) return;
    // One byte past the limit tells a page that is too large.
    body_ += reply_->read(limits_.maxBytes + 1 - body_.size());
    if (body_.size() > limits_.maxBytes) {
        const QUrl url = reply_->url();
        Abort();
        body_.clear();
        Fail(url, TooLarge());
    }
}

void PageLoader::Finished() {
    QNetworkReply* reply = reply_.data();
    if (!reply) return;
    ReadBody();
    if (!reply_) return;  // too large
    reply_ = nullptr;
    deadline_.stop();
    reply->deleteLater();
    const QUrl url = reply->url();
    const QVariant redirect = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (redirect.isValid()) {
        busy_ = false;
        const QString written = QString::fromUtf8(reply->rawHeader("Location"));
        if (onRedirected)
            onRedirected(url, written.isEmpty() ? redirect.toUrl().toString(QUrl::FullyEncoded) : written);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        Fail(url, reply->errorString());
        return;
    }
    Prepare(url,
            [body = std::exchange(body_, {}), type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()] {
                return DecodePage(body, type);
            });
}

void PageLoader::Prepare(const QUrl& url, std::function<QString()> read) {
    const quint64 generation = generation_;
    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, url, generation] {
        watcher->deleteLater();
        if (generation != generation_) return;  // abandoned meanwhile
        busy_ = false;
        if (onLoaded) onLoaded(url, watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run([read = std::move(read), bounds = limits_.html] { return LayoutSafeHtml(read(), bounds); }));
}

void PageLoader::Fail(const QUrl& url, const QString& why) {
    busy_ = false;
    if (onFailed) onFailed(url, why);
}

}  // namespace browser
