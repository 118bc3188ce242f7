#include "media/core/RemoteControl.h"

#include <QDBusObjectPath>
#include <cmath>

#include "media/core/MainWindow.h"
#include "media/core/OpenLocations.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistRows.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "platform/text/FileName.h"

namespace media {

namespace {
bool IsPlaying(int state) {
    return state == mediaplayer::Playing || state == mediaplayer::Buffering || state == mediaplayer::Transitioning;
}

// Through the playlist menu's own command, so its check mark and the play mode stay one.
void ChoosePlayMode(PlayModeIndex mode) { frmMenu().ChoosePlayMode(mode); }

}  // namespace

void RemoteControl::PlayPause() { main_.ClickPlay(); }

void RemoteControl::Play() {
    if (!IsPlaying(main_.MediaPlayer().playState())) {
        if (main_.ImgPlay.Tag == QLatin1String("s")) main_.ClickPlay();  // offers pause: first make it offer play
        main_.ClickPlay();
    }
}

void RemoteControl::Pause() {
    if (main_.MediaPlayer().playState() == mediaplayer::Playing) main_.ClickPlay();
}

void RemoteControl::Stop() { main_.Transport().Stop(); }
// CurrentIndex is not moved with the rows: a row above the song removed or moved would make Next and Previous count
// from another song. They count from the one that plays.
void RemoteControl::Next() {
    if (const std::optional<std::int32_t> row = PlayingRow()) Shared().CurrentIndex = static_cast<std::int16_t>(*row);
    main_.Transport().PlayTrack(MoveNext);
}

void RemoteControl::Previous() {
    if (const std::optional<std::int32_t> row = PlayingRow()) Shared().CurrentIndex = static_cast<std::int16_t>(*row);
    main_.Transport().PlayTrack(MovePrevious);
}

std::optional<std::int32_t> RemoteControl::PlayingRow() {
    GridProxy& grid = main_.Transport().Grid();
    const std::u16string media = main_.MediaPlayer().URL();
    const std::int32_t rows = grid.ItemCount();
    if (media.empty()) return std::nullopt;
    const auto holdsMedia = [&](std::int32_t row) {
        return row >= 0 && row < rows && grid.ItemText(row, column::kLocation) == media;
    };
    // The row just started, before the poll marks it; then the row found last time; then the marked row.
    for (const std::int32_t row : {static_cast<std::int32_t>(Shared().CurrentIndex), lastPlayingRow_})
        if (holdsMedia(row) && (row == Shared().CurrentIndex || grid.ItemTag(row) == kTagCurrent))
            return lastPlayingRow_ = row;
    std::optional<std::int32_t> firstHolding;
    for (std::int32_t row = 0; row < rows; ++row) {
        if (!holdsMedia(row)) continue;
        if (grid.ItemTag(row) == kTagCurrent) return lastPlayingRow_ = row;
        if (!firstHolding) firstHolding = row;
    }
    if (firstHolding) lastPlayingRow_ = *firstHolding;
    return firstHolding;
}

void RemoteControl::Raise() {
    main_.showNormal();
    main_.raise();
    main_.activateWindow();
}

void RemoteControl::Quit() { main_.Unload(); }

QString RemoteControl::PlaybackStatus() {
    const int state = main_.MediaPlayer().playState();
    if (IsPlaying(state)) return QStringLiteral("Playing");
    if (state == mediaplayer::Paused) return QStringLiteral("Paused");
    return QStringLiteral("Stopped");
}

QVariantMap RemoteControl::Metadata() {
    QVariantMap map;
    GridProxy& grid = main_.Transport().Grid();
    const std::optional<std::int32_t> playing = PlayingRow();
    if (!playing) return map;
    const std::int32_t row = *playing;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/morvane/track/%1").arg(row))));
    map.insert(QStringLiteral("xesam:title"), QString::fromStdU16String(grid.ItemText(row, column::kTitle)));
    const QString artist = QString::fromStdU16String(grid.ItemText(row, column::kArtist));
    if (!artist.isEmpty()) map.insert(QStringLiteral("xesam:artist"), QStringList{artist});
    const QString location = QString::fromStdU16String(grid.ItemText(row, column::kLocation));
    map.insert(QStringLiteral("xesam:url"), location.contains(QStringLiteral("://"))
                                                ? location
                                                : QString::fromStdString(FileUri(location.toStdU16String())));
    auto& player = main_.MediaPlayer();
    if (player.URL() == location.toStdU16String() && player.currentMedia().duration() > 0)
        map.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(player.currentMedia().duration() * 1e6));
    return map;
}

double RemoteControl::Volume() { return main_.MediaPlayer().settings().volume() / 100.0; }

void RemoteControl::SetVolume(double volume) {
    if (std::isnan(volume)) return;  // names no level
    // Through the main window, so its volume thumb shows the new level.
    main_.SetVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

qlonglong RemoteControl::Position() {
    return static_cast<qlonglong>(main_.MediaPlayer().controls().currentPosition() * 1e6);
}

bool RemoteControl::SetPosition(qlonglong microseconds) {
    const int state = main_.MediaPlayer().playState();
    if (state != mediaplayer::Playing && state != mediaplayer::Paused) return false;
    main_.MediaPlayer().controls().setCurrentPosition(static_cast<double>(microseconds) / 1e6);
    return true;
}

bool RemoteControl::OpenUri(const QString& uri) {
    const std::optional<std::u16string> location = LocationFromUri(uri.toStdString());
    if (!location || MissingFile(*location)) return false;
    return main_.OpenLocations({*location});  // false when the list cannot take it
}

bool RemoteControl::RandomMode() { return Shared().PlayMode == ModeRandom; }

QString RemoteControl::LoopStatus() {
    switch (Shared().PlayMode) {
        case ModeRepeatOne: return QStringLiteral("Track");
        case ModeLoop: return QStringLiteral("Playlist");
        default: return QStringLiteral("None");
    }
}

// Loop status and shuffle are two views of the one play mode: "Track" is repeat-one, "Playlist" is loop, shuffle
// is random, and everything else reads "None" without shuffle. The modes exclude each other, so choosing a loop
// ends shuffle and shuffle ends a loop. A write of what already reads true changes nothing: "None" keeps single
// and random play (both read "None") and ends a loop in sequential play; shuffle off ends random play the same way.
void RemoteControl::SetLoopStatus(const QString& status) {
    const std::int16_t mode = Shared().PlayMode;
    if (status == QLatin1String("Track"))
        ChoosePlayMode(ModeRepeatOne);
    else if (status == QLatin1String("Playlist"))
        ChoosePlayMode(ModeLoop);
    else if (status == QLatin1String("None") && (mode == ModeRepeatOne || mode == ModeLoop))
        ChoosePlayMode(ModeSequential);
}

void RemoteControl::SetRandomMode(bool random) {
    if (random)
        ChoosePlayMode(ModeRandom);
    else if (Shared().PlayMode == ModeRandom)
        ChoosePlayMode(ModeSequential);
}

}  // namespace media
