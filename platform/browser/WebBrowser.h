#pragma once
// A light web view: renders pages with QTextBrowser, fetches http(s) pages itself and reads local files. Every
// navigation, the first one and every link the user follows, is announced first through BeforeNavigate2, whose
// handler may cancel it; a cancelled navigation changes nothing.
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

#include <QNetworkReply>

class QNetworkAccessManager;

namespace browser {

class WebBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Announces the navigation, then loads the page unless the handler cancelled it.
    void Navigate(const QString& url);
    // The address of the page shown (or being loaded).
    QString LocationURL() const { return location_.toString(); }
    bool Busy() const { return reply_ != nullptr; }

    // (url, cancel): set cancel to refuse the navigation.
    std::function<void(const QString& url, bool& cancel)> BeforeNavigate2;
    // The page has arrived (or its error page is shown).
    std::function<void(const QString& url)> DocumentComplete;

private:
    void Load(const QUrl& url);
    void ShowError(const QUrl& url, const QString& why);
    void Finished(QNetworkReply* reply);

    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QUrl location_;
};

}  // namespace browser
