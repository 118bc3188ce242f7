#pragma once
// Playback control: the play/pause and stop actions, the choice of the next row (PlayTrack and the play modes) and
// the 333 ms poll of the media-player component that shows its state and writes the playing track into its row.
#include <QString>
#include <cstdint>
#include <functional>

#include "media/core/ModuleMedia.h"
#include "media/playlist/GridProxy.h"

namespace mediaplayer {
class MediaPlayer;
}

namespace media {

// Move kinds of PlayTrack.
enum MoveKind : std::int16_t { MovePrevious = 1, MoveNext = 2, MoveSame = 3, MoveRandom = 4 };

// Play modes: the index of the checked play-mode menu item.
enum PlayModeIndex : std::int16_t { ModeSingle = 0, ModeRepeatOne = 1, ModeSequential = 2, ModeLoop = 3, ModeRandom = 4 };

// What the transport shows and switches on the main window.
class TransportView {
public:
    virtual ~TransportView() = default;
    virtual void SetStateText(const QString& text) = 0;
    virtual void SetTitleText(const QString& text) = 0;
    virtual void SetTimerText(const QString& text) = 0;
    virtual void SetAllTimerText(const QString& text) = 0;
    virtual bool PollerEnabled() const = 0;
    virtual void SetPollerEnabled(bool enabled) = 0;
    // "p" while the play/pause button offers play, "s" while it offers pause.
    virtual QString PlayTag() const = 0;
    virtual void SetPlayTag(const QString& tag) = 0;
    // Shows a skin picture on the play/pause button (pause_n.bmp, play_n.bmp).
    virtual void ShowPlayPicture(const QString& file) = 0;
    // Enables stop, previous and next with their normal pictures, or disables them with their disabled ones.
    virtual void SetTransportButtonsEnabled(bool enabled) = 0;
    virtual double SeekThumbLeft() const = 0;
    virtual void SetSeekThumbLeft(double twips) = 0;
    virtual void SetSeekFillWidth(double twips) = 0;
    // True while the user holds the seek thumb.
    virtual bool SeekDragging() const = 0;
};

class Transport {
public:
    // The seek thumb's travel, in the main window's twips.
    static constexpr double SeekLeftMin = 80;
    static constexpr double SeekLeftMax = 3660;

    Transport(mediaplayer::MediaPlayer& player, TransportView& view, SharedValues& shared);
    void SetGrid(GridProxy grid) { grid_ = grid; }
    GridProxy& grid() { return grid_; }

    void PlayPause();
    void Stop();
    void PlayTrack(std::int16_t kind);
    // What the current play mode does once the poll has seen the end of a track.
    void EndOfTrack();
    // One poll of the component.
    void Poll();

    int RetryCount() const { return retryCount_; }

    // Told once per started track, on the first poll that finds it playing.
    std::function<void(const std::u16string& location)> TrackPlaying;

private:
    mediaplayer::MediaPlayer& player_;
    TransportView& view_;
    SharedValues& shared_;
    GridProxy grid_;
    int retryCount_ = 0;
};

// The row a random draw picks: floor(u x rows) for u in [0, 1), so every row can come up (the last one too).
std::int32_t RandomRow(double u, std::int32_t rows);

}  // namespace media
