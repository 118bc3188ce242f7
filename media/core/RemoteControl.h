#pragma once
// Requests from outside the window (the desktop's media keys and widgets) carried out with the main window's own
// actions, and the player's state described for them.
#include <cstdint>
#include <optional>

#include "media/windows/Mpris.h"

namespace media {

class RemoteControl final : public MprisTarget {
public:
    explicit RemoteControl(MainWindow& main) : main_(main) {}
    void PlayPause() override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    void Next() override;
    void Previous() override;
    void Raise() override;
    void Quit() override;
    QString PlaybackStatus() override;
    QVariantMap Metadata() override;
    double Volume() override;
    void SetVolume(double volume) override;
    qlonglong Position() override;
    bool SetPosition(qlonglong microseconds) override;
    bool RandomMode() override;
    QString LoopStatus() override;
    void SetLoopStatus(const QString& status) override;
    void SetRandomMode(bool random) override;
    bool OpenUri(const QString& uri) override;

private:
    // The row of the song the player has open: the row started last or found last while it holds that song, else
    // the row the poll marked as playing, else the first that names it; nothing when no song is open.
    std::optional<std::int32_t> PlayingRow();

    MainWindow& main_;
    std::int32_t lastPlayingRow_ = -1;
};

}  // namespace media
