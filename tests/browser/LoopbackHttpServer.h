#pragma once
// A tiny HTTP server on the loopback address for tests: fixed pages by path, redirects, pages sent without a length
// (to the end of the connection), paths that never answer, and a log of requests.
#include <QMap>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class LoopbackHttpServer : public QTcpServer {
public:
    LoopbackHttpServer() {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    void Page(const QString& path, const QByteArray& html) { pages_[path] = html; }
    void Redirect(const QString& path, const QString& to) { redirects_[path] = to; }
    void PageWithoutLength(const QString& path, const QByteArray& html) { unsized_[path] = html; }
    void Stall(const QString& path) { stalled_ << path; }
    QStringList requests;

private:
    void Answer(QTcpSocket* socket) {
        const QByteArray head = socket->readAll();
        const QList<QByteArray> words = head.split(' ');
        const QString path = words.size() > 1 ? QString::fromLatin1(words[1]) : QString();
        requests << path;
        QByteArray response;
        if (stalled_.contains(path)) return;  // the connection stays open, silent
        if (unsized_.contains(path)) {
            response = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n" + unsized_[path];
        } else if (redirects_.contains(path)) {
            response =
                "HTTP/1.1 302 Found\r\nLocation: " + redirects_[path].toLatin1() + "\r\nContent-Length: 0\r\n\r\n";
        } else if (pages_.contains(path)) {
            const QByteArray body = pages_[path];
            response = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\n\r\n" + body;
        } else {
            response = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        }
        socket->write(response);
        socket->disconnectFromHost();
    }
    QMap<QString, QByteArray> pages_;
    QMap<QString, QString> redirects_;
    QMap<QString, QByteArray> unsized_;
    QStringList stalled_;
};
