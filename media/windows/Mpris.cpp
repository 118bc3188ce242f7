#include "media/windows/Mpris.h"

#include "media/readers/MediaFormats.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <algorithm>
#include <limits>

namespace media {

namespace {
// The track the metadata describes: its id and its length in microseconds (0 while unknown).
struct Track {
    QString id;
    qlonglong length = 0;
};

Track TrackOf(const QVariantMap& metadata) {
    return {metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
            metadata.value(QStringLiteral("mpris:length")).toLongLong()};
}
}  // namespace

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mms"),
            QStringLiteral("rtsp")};
}

// The formats table's types, the same the desktop entry claims.
QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    QStringList types;
    for (const std::string& type : MimeTypes()) types.append(QString::fromStdString(type));
    return types;
}

QString MprisRootAdaptor::DesktopEntry() const { return QGuiApplication::desktopFileName(); }

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    if (target_.PlaybackStatus() == QLatin1String("Stopped")) return;  // no track to move in
    const qlonglong length = TrackOf(target_.Metadata()).length;
    qlonglong position = 0;  // an offset too large to add is past the end, or before the start
    if (__builtin_add_overflow(target_.Position(), offset, &position))
        position = offset > 0 ? std::numeric_limits<qlonglong>::max() : 0;
    // A track of unknown length has no end to seek past: the player stops the seek at the end it finds.
    if (length > 0 && position > length) {
        target_.Next();
        return;
    }
    MoveTo(std::max<qlonglong>(position, 0));
}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    if (target_.OpenUri(uri)) return;
    if (auto* context = dynamic_cast<QDBusContext*>(parent()); context && context->calledFromDBus())
        context->sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("nothing to open at %1").arg(uri));
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    const Track current = TrackOf(target_.Metadata());
    // A request for a track that is no longer current is stale; a place outside the track (or anywhere past the
    // start of a track whose length is not known yet) is no place to go, and must not end the track.
    if (track.path() != current.id || position < 0 || position > current.length) return;
    MoveTo(position);
}

void MprisPlayerAdaptor::MoveTo(qlonglong position) {
    if (target_.SetPosition(position)) emit Seeked(target_.Position());
}

Mpris::Mpris(MprisTarget& target) : target_(target) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    new MprisRootAdaptor(this, target_);
    player_ = new MprisPlayerAdaptor(this, target_, [this] { Refresh(); });
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this)) return;
    if (!bus.registerService(QString::fromLatin1(kServiceName))) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return;
    }
    registered_ = true;
    // Desktop widgets learn of changes by signal; a second is soon enough for a status line.
    refresh_.setInterval(1000);
    connect(&refresh_, &QTimer::timeout, this, &Mpris::Refresh);
    refresh_.start();
}

Mpris::~Mpris() {
    if (!registered_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QString::fromLatin1(kServiceName));
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

void Mpris::Refresh() {
    if (!registered_) return;
    QVariantMap changed;
    const QString status = target_.PlaybackStatus();
    if (status != status_) changed.insert(QStringLiteral("PlaybackStatus"), status_ = status);
    const QVariantMap metadata = target_.Metadata();
    if (metadata != metadata_) changed.insert(QStringLiteral("Metadata"), metadata_ = metadata);
    const double volume = target_.Volume();
    if (volume != volume_) changed.insert(QStringLiteral("Volume"), volume_ = volume);
    const QString loop = target_.LoopStatus();
    if (loop != loop_) changed.insert(QStringLiteral("LoopStatus"), loop_ = loop);
    const bool shuffle = target_.RandomMode();
    if (shuffle != shuffle_) changed.insert(QStringLiteral("Shuffle"), shuffle_ = shuffle);
    if (changed.isEmpty()) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void Mpris::AnnounceSeek() {
    if (registered_ && player_) emit player_->Seeked(target_.Position());
}

}  // namespace media
