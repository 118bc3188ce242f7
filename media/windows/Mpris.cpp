#include "media/windows/Mpris.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace media {

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-ms-wma"), QStringLiteral("audio/x-wav"),
            QStringLiteral("audio/midi"), QStringLiteral("video/x-ms-asf"), QStringLiteral("video/mpeg")};
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    if (track.path() == target_.Metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path())
        target_.SetPosition(position);
}

Mpris::Mpris(MprisTarget& target) : target_(target) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    new MprisRootAdaptor(this, target_);
    new MprisPlayerAdaptor(this, target_);
    if (!bus.registerObject(QString::fromLatin1(ObjectPath), this)) return;
    if (!bus.registerService(QString::fromLatin1(ServiceName))) {
        bus.unregisterObject(QString::fromLatin1(ObjectPath));
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
    bus.unregisterService(QString::fromLatin1(ServiceName));
    bus.unregisterObject(QString::fromLatin1(ObjectPath));
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
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(ObjectPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

}  // namespace media
