#pragma once
// Playback control: the poller (every 333 ms) of the media-player component, the play/pause and stop actions, the start
// of a row (PlayTrack, the play modes, the playlist's double-click and list load all start rows here) and the poll that
// shows the component's state and writes the playing track into its row.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "media/core/MediaComponent.h"
#include "media/core/ModuleMedia.h"
#include "media/playlist/GridProxy.h"
#include "platform/forms/Timer.h"

namespace media {

// Move kinds of PlayTrack.
enum MoveKind : std::int16_t { MovePrevious = 1, MoveNext = 2, MoveSame = 3, MoveRandom = 4 };

// Play modes: the index of the checked play-mode menu item.
enum PlayModeIndex : std::int16_t {
    ModeSingle = 0,
    ModeRepeatOne = 1,
    ModeSequential = 2,
    ModeLoop = 3,
    ModeRandom = 4
};

// What the transport shows and switches on the main window.
// What the play/pause button offers: play ("p") or pause ("s").
enum class PlayOffer { Play, Pause };

class TransportView {
public:
    virtual ~TransportView() = default;
    virtual void SetStateText(const QString& text) = 0;
    virtual void SetTitleText(const QString& text) = 0;
    virtual void SetTimerText(const QString& text) = 0;
    virtual void SetAllTimerText(const QString& text) = 0;
    // "p" while the play/pause button offers play, "s" while it offers pause.
    virtual QString PlayTag() const = 0;
    virtual void SetPlayTag(const QString& tag) = 0;
    // Shows on the play/pause button, in its normal look, the action it offers.
    virtual void ShowPlayOffer(PlayOffer offer) = 0;
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
    static constexpr double kSeekLeftMin = 80;
    static constexpr double kSeekLeftMax = 3660;

    // Plays through `component`, which outlives the transport.
    Transport(TransportView& view, SharedValues& shared, MediaComponent& component);
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    void SetGrid(GridProxy grid) { grid_ = grid; }
    GridProxy& Grid() { return grid_; }
    // The poller: every 333 ms one Poll, from the first start until stop, an empty list or the stopped state.
    forms::Timer TimerMain;

    void PlayPause();
    void Stop();
    // Starts a row: it becomes CurrentIndex, its texts are to be written (TrackStarted), the poller runs, and its
    // location is played unless it is blank (then what plays goes on), with no restarts counted yet. Every start of a
    // row comes through here. True when a media was started.
    bool StartRow(std::int32_t row);
    // Starts a row the user chose in the list (a double-click, a loaded list's first row): as StartRow, but a row
    // without a location leaves no media open, as an empty location given to the player always did; so the poll
    // never writes what played before into that row.
    void StartChosenRow(std::int32_t row);
    // Moves CurrentIndex by `kind` and starts that row; where there is none to move to, nothing starts, but the
    // poller runs and TrackStarted is set all the same.
    void PlayTrack(std::int16_t kind);
    // Starts a list just loaded: stops, starts its first row (an empty list or a blank first location closes the
    // media) and then runs the play/pause action, which pauses when the button offered pause.
    void StartLoadedList();
    // What the current play mode does once the poll has seen the end of a track.
    void EndOfTrack();
    // One poll of the component.
    void Poll();

    int RetryCount() const { return retryCount_; }

    // Told once per start of a media from its beginning (a new row, a play after stop, a restart), on the first
    // poll that finds it playing; a resume from pause is no start.
    std::function<void(const std::u16string& location)> TrackPlaying;

private:
    // The row PlayTrack moves to, if any.
    std::optional<std::int32_t> ChooseRow(std::int16_t kind) const;
    // The row the play/pause action starts when no media is set: the selected one, else the first.
    std::int32_t RowToPlayFirst() const;
    void PlayingPoll(std::int32_t rows);
    // The loop mode's next row: the one after the current, or the first after the last.
    void PlayNextWrapping();
    // Tells TrackPlaying of a start of the media it has not yet been told of.
    void AnnounceStart();
    // Near the end of a track, arms the row the play mode's end would start to follow it with no gap, and arms
    // again whenever the list, the mode or the current row have changed which row that is.
    void ArmFollowingRow(std::int32_t rows);
    // The row the play mode's end action starts after the current one, if any (random draws it once per track).
    std::optional<std::int32_t> RowAfterEnd(std::int32_t rows);
    // Once the armed row has taken over: what the end of a track and the start of that row do, but the silence.
    void FollowHandOver();
    // The play/pause button offers pause and the poller runs: a media was started.
    void ShowStarted();

    TransportView& view_;
    SharedValues& shared_;
    MediaComponent& component_;
    GridProxy grid_;
    int retryCount_ = 0;
    unsigned announcedStart_ = 0;  // the player's start number last told to TrackPlaying
    std::optional<std::int32_t> armedRow_;
    std::u16string armedLocation_;
    unsigned armedStart_ = 0;                 // the component's start number when it was armed
    std::optional<std::int32_t> randomDraw_;  // the random mode's next row, drawn when it first arms
    unsigned handOversSeen_ = 0;
    std::optional<std::u16string> sheetTitle_;  // the playing row's title when it is a track of a cue sheet
};

// The row a random draw picks: floor(u x rows) for u in [0, 1), so every row can come up (the last one too).
std::int32_t RandomRow(double u, std::int32_t rows);

}  // namespace media
