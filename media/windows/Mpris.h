#pragma once
// The player on the desktop's session bus as a media player (the MPRIS 2 interfaces), so media keys and desktop
// widgets can drive it. Every request maps onto an action the player's own buttons perform.
#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <utility>

#include "media/core/ProgramIdentity.h"

namespace media {

class MainWindow;

// What the bus objects need of the player; MainWindow is the real one, tests may bring their own.
class MprisTarget {
public:
    virtual ~MprisTarget() = default;
    virtual void PlayPause() = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Next() = 0;
    virtual void Previous() = 0;
    virtual void Raise() = 0;
    virtual void Quit() = 0;
    virtual QString PlaybackStatus() = 0;  // "Playing", "Paused" or "Stopped"
    virtual QVariantMap Metadata() = 0;
    virtual double Volume() = 0;  // 0 .. 1
    virtual void SetVolume(double volume) = 0;
    virtual qlonglong Position() = 0;  // microseconds
    // Moves within the track that is playing or paused; false when there is none, so nothing moved.
    virtual bool SetPosition(qlonglong microseconds) = 0;
    virtual bool RandomMode() = 0;
    virtual QString LoopStatus() = 0;                       // "None", "Track" or "Playlist"
    virtual void SetLoopStatus(const QString& status) = 0;  // other texts are ignored
    virtual void SetRandomMode(bool random) = 0;
    // Appends the location the URI names to the list and plays it; false when it names nothing that can be opened.
    virtual bool OpenUri(const QString& uri) {
        (void)uri;
        return false;
    }
};

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    MprisRootAdaptor(QObject* parent, MprisTarget& target) : QDBusAbstractAdaptor(parent), target_(target) {}
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QString::fromUtf8(kDisplayName); }
    // The desktop file the program names as its own, so the desktop shows the player with its icon.
    QString DesktopEntry() const;
    // What OpenUri takes: file URIs and the addresses the player streams from.
    QStringList SupportedUriSchemes() const;
    // The formats the add-file dialog offers.
    QStringList SupportedMimeTypes() const;
public slots:
    void Raise() { target_.Raise(); }
    void Quit() { target_.Quit(); }

private:
    MprisTarget& target_;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanControl)
    Q_PROPERTY(bool CanGoPrevious READ CanControl)
    Q_PROPERTY(bool CanPlay READ CanControl)
    Q_PROPERTY(bool CanPause READ CanControl)
    Q_PROPERTY(bool CanSeek READ CanControl)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    // `written` runs after every property write, so listeners hear of the change at once.
    MprisPlayerAdaptor(QObject* parent, MprisTarget& target, std::function<void()> written)
        : QDBusAbstractAdaptor(parent), target_(target), written_(std::move(written)) {}
    QString PlaybackStatus() const { return target_.PlaybackStatus(); }
    QString LoopStatus() const { return target_.LoopStatus(); }
    void SetLoopStatus(const QString& status) {
        target_.SetLoopStatus(status);
        Written();
    }
    double Rate() const { return 1.0; }
    bool Shuffle() const { return target_.RandomMode(); }
    void SetShuffle(bool shuffle) {
        target_.SetRandomMode(shuffle);
        Written();
    }
    QVariantMap Metadata() const { return target_.Metadata(); }
    double Volume() const { return target_.Volume(); }
    void SetVolume(double volume) {
        target_.SetVolume(volume);
        Written();
    }
    qlonglong Position() const { return target_.Position(); }
    bool CanControl() const { return true; }
public slots:
    void Next() { target_.Next(); }
    void Previous() { target_.Previous(); }
    void Pause() { target_.Pause(); }
    void PlayPause() { target_.PlayPause(); }
    void Stop() { target_.Stop(); }
    void Play() { target_.Play(); }
    // A URI that names nothing to open is answered with an error.
    void OpenUri(const QString& uri);
    // Moves by an offset: before the start means the start, past the end means the next track.
    void Seek(qlonglong offset);
    // Moves to a place in the named track; a stale track id or a place outside the track changes nothing.
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
signals:
    // The position jumped (microseconds): listeners cannot tell from the playback status alone.
    void Seeked(qlonglong position);

private:
    void Written() {
        if (written_) written_();
    }
    void MoveTo(qlonglong position);

    MprisTarget& target_;
    std::function<void()> written_;
};

// Registers the two interfaces on the session bus when there is one, and tells listeners what changed. A call's
// context (for answering with an error) is the adaptors' parent's, this object's.
class Mpris : public QObject, public QDBusContext {
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.morvane";
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

    explicit Mpris(MprisTarget& target);
    ~Mpris() override;
    // False when there is no session bus or the name is taken.
    bool Registered() const { return registered_; }
    // Compares with what listeners were last told and sends the differences.
    void Refresh();
    // Tells listeners that the position jumped (the user moved the seek bar), so they need not guess.
    void AnnounceSeek();

private:
    MprisTarget& target_;
    MprisPlayerAdaptor* player_ = nullptr;  // owned by this object
    bool registered_ = false;
    QTimer refresh_;
    QString status_;
    QVariantMap metadata_;
    double volume_ = -1;
    QString loop_;
    bool shuffle_ = false;
};

}  // namespace media
