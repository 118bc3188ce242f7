#include "platform/forms/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>

#include "platform/forms/Application.h"

namespace forms {

namespace {

constexpr char kTag[4] = {'M', 'L', 'O', 'C'};
constexpr qsizetype kTimeAt = sizeof kTag;
constexpr qsizetype kLengthAtOffset = kTimeAt + 8;
constexpr qsizetype kHeaderBytes = kLengthAtOffset + 4;
constexpr qsizetype kMaxMessageBytes = kHeaderBytes + qsizetype(instancemessage::kMaxBodyBytes);
// A peer gets this long to deliver its whole message.
constexpr int kConnectionMilliseconds = 5000;
// A sender waits this much longer than its message's time, so a receipt sent in time reaches it.
constexpr int kReceiptMarginMilliseconds = 1000;
// Connections served at once (each may buffer a message of up to 4 MiB); more wait in the listen queue, which holds
// a crowd of starts at once (a file manager opening hundreds of files, each in a start of its own).
constexpr int kMaxConnections = 64;
constexpr int kListenBacklog = 1024;

void AppendLength(QByteArray& to, std::size_t length) {
    char bytes[4];
    qToBigEndian(static_cast<quint32>(length), bytes);
    to.append(bytes, 4);
}

std::size_t LengthAt(const QByteArray& from, qsizetype at) { return qFromBigEndian<quint32>(from.constData() + at); }

}  // namespace

std::optional<QByteArray> EncodeLocations(const std::vector<std::string>& locations, qint64 takeByMs) {
    if (locations.size() > instancemessage::kMaxLocations) return std::nullopt;
    std::size_t body = 0;
    for (const std::string& location : locations) {
        if (location.size() > instancemessage::kMaxLocationBytes) return std::nullopt;
        body += 4 + location.size();
    }
    if (body > instancemessage::kMaxBodyBytes) return std::nullopt;
    QByteArray message(kTag, sizeof kTag);
    char time[8];
    qToBigEndian(takeByMs, time);
    message.append(time, 8);
    AppendLength(message, body);
    for (const std::string& location : locations) {
        AppendLength(message, location.size());
        message.append(location.data(), static_cast<qsizetype>(location.size()));
    }
    return message;
}

DecodedMessage DecodeLocations(const QByteArray& received) {
    const qsizetype tagPart = std::min<qsizetype>(received.size(), sizeof kTag);
    if (QByteArrayView(received.constData(), tagPart) != QByteArrayView(kTag, tagPart))
        return {MessageState::Invalid, {}};
    if (received.size() < kHeaderBytes) return {};
    const std::size_t body = LengthAt(received, kLengthAtOffset);
    if (body > instancemessage::kMaxBodyBytes) return {MessageState::Invalid, {}};
    const qsizetype end = kHeaderBytes + static_cast<qsizetype>(body);
    if (received.size() < end) return {};
    if (received.size() > end) return {MessageState::Invalid, {}};
    DecodedMessage decoded{MessageState::Complete, {}, qFromBigEndian<qint64>(received.constData() + kTimeAt)};
    for (qsizetype at = kHeaderBytes; at < end;) {
        if (end - at < 4 || decoded.locations.size() == instancemessage::kMaxLocations)
            return {MessageState::Invalid, {}};
        const std::size_t length = LengthAt(received, at);
        at += 4;
        if (length > instancemessage::kMaxLocationBytes || length > static_cast<std::size_t>(end - at))
            return {MessageState::Invalid, {}};
        decoded.locations.emplace_back(received.constData() + at, length);
        at += static_cast<qsizetype>(length);
    }
    return decoded;
}

QString InstanceSocketPath(const QString& name) {
    const QString folder = PrivateRuntimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name + QStringLiteral(".socket");
}

// One peer's message as it arrives, within its time and the size bounds.
class InstanceServer::Connection : public QObject {
public:
    Connection(InstanceServer& server, QLocalSocket* socket) : QObject(&server), server_(server), socket_(socket) {
        socket_->setParent(this);
        ++server_.connections_;
        connect(socket_, &QLocalSocket::readyRead, this, [this] { Read(); });
        connect(socket_, &QLocalSocket::disconnected, this, [this] { Close(); });
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] { Close(); });
        deadline_.start(kConnectionMilliseconds);
        Read();  // bytes may have come with the connection
    }
    ~Connection() override {
        if (counted_) --server_.connections_;
    }

private:
    void Read() {
        if (done_) return;
        // Never more than one whole message is taken in: a byte beyond it makes the message invalid anyway.
        const qint64 room = kMaxMessageBytes + 1 - received_.size();
        received_.append(socket_->read(room));
        DecodedMessage decoded = DecodeLocations(received_);
        if (decoded.state == MessageState::Incomplete) return;
        done_ = true;
        // A message past its time has been given up by its sender, who said that nothing was opened.
        if (decoded.state == MessageState::Complete && QDeadlineTimer::current().deadline() < decoded.takeByMs) {
            const bool taken = server_.Received && server_.Received(std::move(decoded.locations));
            socket_->putChar(taken ? instancemessage::kReceipt : instancemessage::kRefusal);
            socket_->flush();
        }
        Close();
    }
    void Close() {
        done_ = true;
        deadline_.stop();
        socket_->disconnectFromServer();  // written bytes go out first
        deleteLater();
        if (!counted_) return;
        counted_ = false;
        --server_.connections_;
        // A place is free: the next waiting start is taken now, not at some later poll.
        QMetaObject::invokeMethod(
            &server_, [&server = server_] { server.Accept(); }, Qt::QueuedConnection);
    }

    InstanceServer& server_;
    QLocalSocket* socket_;
    QByteArray received_;
    QTimer deadline_;
    bool done_ = false;
    bool counted_ = true;  // among the server's connections until closed
};

InstanceServer::InstanceServer() : server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(kMaxConnections);
    server_->setListenBacklogSize(kListenBacklog);
    connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen(const QString& name) {
    const QString path = InstanceSocketPath(name);
    if (path.isEmpty()) return false;
    QLocalServer::removeServer(path);  // left by a copy that died: we hold the guard now
    return server_->listen(path);
}

void InstanceServer::Close() {
    server_->close();
    // Every child but the listener is a connection.
    const QObjectList children = this->children();
    for (QObject* child : children)
        if (child != server_) delete child;
}

void InstanceServer::Accept() {
    // Waiting ones are taken as connections end.
    while (connections_ < kMaxConnections && server_->hasPendingConnections())
        if (QLocalSocket* socket = server_->nextPendingConnection()) new Connection(*this, socket);
}

HandOver HandOverToRunningInstance(const QString& name, const std::vector<std::string>& locations, int timeoutMs,
                                   const std::function<bool()>& keepTrying) {
    const QDeadlineTimer deadline(timeoutMs);
    const qint64 takeBy = deadline.deadline() - std::min(kReceiptMarginMilliseconds, timeoutMs / 2);
    const std::optional<QByteArray> message = EncodeLocations(locations, takeBy);
    const QString path = InstanceSocketPath(name);
    if (!message || path.isEmpty()) return HandOver::Unanswered;
    QLocalSocket socket;
    // The running copy may be starting and not listen yet, or its listen queue may be full: try again while the
    // time lasts and the caller still sees a copy to hand over to.
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
        socket.abort();
        if (deadline.hasExpired() || (keepTrying && !keepTrying())) return HandOver::Unanswered;
        QThread::msleep(50);
    }
    socket.write(*message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return HandOver::Unanswered;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return HandOver::Unanswered;
    char answer = 0;
    if (!socket.getChar(&answer)) return HandOver::Unanswered;
    if (answer == instancemessage::kReceipt) return HandOver::Taken;
    return answer == instancemessage::kRefusal ? HandOver::Refused : HandOver::Unanswered;
}

HandOver HandOverOrTakeOver(const QString& name, const std::vector<std::string>& locations, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const auto anotherCopyRuns = [&name] { return AnotherInstanceRunning(name); };
    for (;;) {
        const int remaining = static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1));
        const HandOver result = HandOverToRunningInstance(name, locations, remaining, anotherCopyRuns);
        if (result != HandOver::Unanswered) return result;
        if (!anotherCopyRuns()) return HandOver::TookOver;
        if (deadline.hasExpired()) return HandOver::Unanswered;
        QThread::msleep(50);
    }
}

}  // namespace forms
