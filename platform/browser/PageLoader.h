#pragma once
// Fetches one page at a time for the web view, so that no page can hold the window thread: the body is read as it
// arrives and the fetch is abandoned at a size or a time limit; decoding and reducing the page to what the view
// lays out in bounded time (LayoutSafeHtml) happen on a worker thread. A newer Start abandons the page under way.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "platform/browser/LayoutSafeHtml.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace browser {

struct PageLimits {
    qint64 maxBytes = 1024 * 1024;
    int timeoutMs = 10'000;  // the whole fetch, not each silence
    HtmlBounds html;
};

class PageLoader : public QObject {
    Q_OBJECT
public:
    explicit PageLoader(QObject* parent = nullptr);
    ~PageLoader() override;

    void SetLimits(const PageLimits& limits) { limits_ = limits; }
    const PageLimits& Limits() const { return limits_; }

    // Fetches an http(s) address or reads a local file; one of the three results follows, later.
    void Start(const QUrl& url);
    void Abort();
    // A page is being fetched or prepared.
    bool Busy() const { return busy_; }

    std::function<void(const QUrl& url, const QString& html)> onLoaded;
    std::function<void(const QUrl& url, const QString& why)> onFailed;
    // The server sent the address elsewhere, as it wrote it.
    std::function<void(const QUrl& url, const QString& written)> onRedirected;

private:
    void ReadBody();
    void Finished();
    void Fail(const QUrl& url, const QString& why);
    // Decodes and reduces the page on a worker thread, then hands it over on this one (unless abandoned by then).
    void Prepare(const QUrl& url, std::function<QString()> read);
    QString TooLarge() const;

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    QTimer deadline_;
    PageLimits limits_;
    quint64 generation_ = 0;  // which Start a prepared page belongs to
    bool busy_ = false;
};

}  // namespace browser
