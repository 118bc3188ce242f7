#include "media/core/Transport.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>

#include "media/playlist/CueTracks.h"
#include "media/playlist/PlaylistRows.h"
#include "platform/mediaplayer/MediaLocation.h"

namespace media {

namespace {

const QString kPlaying = QStringLiteral("正在播放");
const QString kPaused = QStringLiteral("暂停播放");
const QString kStopped = QStringLiteral("停止播放");
// Playing on with no sound output open (none there, or the sound server gone): the clock and the list go on, and the
// next start tries the output again.
const QString kPlayingSilently = QStringLiteral("无声播放");

bool IsBlank(const std::u16string& text) { return QString::fromStdU16String(text).trimmed().isEmpty(); }

// CurrentIndex of a row; a row beyond what a row index can hold names no row at all.
std::int16_t RowIndex(std::int32_t row) {
    if (row < std::numeric_limits<std::int16_t>::min() || row > std::numeric_limits<std::int16_t>::max()) return -1;
    return static_cast<std::int16_t>(row);
}

}  // namespace

std::int32_t RandomRow(double u, std::int32_t rows) { return static_cast<std::int32_t>(std::floor(u * rows)); }

Transport::Transport(TransportView& view, SharedValues& shared, MediaComponent& component)
    : view_(view), shared_(shared), component_(component) {
    TimerMain.SetInterval(333);
    TimerMain.Tick = [this] { Poll(); };
}

void Transport::PlayPause() {
    if (view_.PlayTag() == QLatin1String("p")) {
        if (component_.playState() == mediaplayer::Playing) {
            component_.controls().pause();
            view_.SetStateText(kPaused);
        } else {
            // With no media and no rows nothing can play: the button goes on offering play.
            if (component_.URL().empty() && grid_.ItemCount() < 1) return;
            if (component_.URL().empty())
                StartRow(RowToPlayFirst());
            else
                component_.controls().play();
            ShowStarted();
        }
    } else if (view_.PlayTag() == QLatin1String("s")) {
        component_.controls().pause();
        view_.SetPlayTag(QStringLiteral("p"));
        view_.SetStateText(kPaused);
    }
    view_.SetTransportButtonsEnabled(true);
}

std::int32_t Transport::RowToPlayFirst() const {
    const std::int32_t selected = grid_.SelectedItem();
    return selected > 0 && selected < grid_.ItemCount() ? selected : 0;
}

void Transport::Stop() {
    // The poller goes first, so a user's stop never counts as the end of a track.
    TimerMain.SetEnabled(false);
    component_.controls().stop();
    view_.SetTransportButtonsEnabled(false);
    view_.ShowPlayOffer(PlayOffer::Play);
    view_.SetPlayTag(QStringLiteral("p"));
    view_.SetStateText(kStopped);
}

bool Transport::StartRow(std::int32_t row) {
    shared_.CurrentIndex = RowIndex(row);
    TimerMain.SetEnabled(true);
    shared_.TrackStarted = true;
    const std::u16string location = grid_.ItemText(row, column::kLocation);
    if (IsBlank(location)) return false;
    component_.setURL(location);
    component_.controls().play();
    retryCount_ = 0;  // the restarts counted were of the track before
    return true;
}

std::optional<std::int32_t> Transport::ChooseRow(std::int16_t kind) const {
    const std::int32_t rows = grid_.ItemCount();
    const std::int32_t current = shared_.CurrentIndex;
    switch (kind) {
        case MovePrevious:
            if (rows >= 1 && current > 0) return current - 1;
            return std::nullopt;
        case MoveNext:
            if (current < rows - 1) return current + 1;
            return std::nullopt;
        case MoveSame: return current;
        default: return RandomRow(QRandomGenerator::global()->generateDouble(), rows);
    }
}

void Transport::PlayTrack(std::int16_t kind) {
    if (const std::optional<std::int32_t> row = ChooseRow(kind)) {
        StartRow(*row);
        return;
    }
    // No row to move to: what plays goes on, and the poll writes the current row once more.
    TimerMain.SetEnabled(true);
    shared_.TrackStarted = true;
}

void Transport::ShowStarted() {
    view_.ShowPlayOffer(PlayOffer::Pause);
    view_.SetPlayTag(QStringLiteral("s"));
    view_.SetStateText(kPlaying);
    TimerMain.SetEnabled(true);
}

void Transport::StartChosenRow(std::int32_t row) {
    if (!StartRow(row)) {
        component_.close();
        return;
    }
    // Started after the stop button or a pause, the buttons show what plays, as the play button's start shows it.
    ShowStarted();
    view_.SetTransportButtonsEnabled(true);
}

void Transport::StartLoadedList() {
    component_.controls().stop();
    // Not as a chosen row: the play/pause action that follows shows the start (or pauses, as it always did).
    if (!StartRow(0)) component_.close();
    PlayPause();
}

void Transport::EndOfTrack() {
    const std::int32_t rows = grid_.ItemCount();
    switch (shared_.PlayMode) {
        case ModeSingle:
            PlayPause();
            view_.ShowPlayOffer(PlayOffer::Play);
            break;
        case ModeRepeatOne: PlayTrack(MoveSame); break;
        case ModeSequential:
            if (shared_.CurrentIndex < rows - 1) PlayTrack(MoveNext);
            break;
        case ModeLoop: PlayNextWrapping(); break;
        case ModeRandom: PlayTrack(MoveRandom); break;
        default: break;
    }
    // The component keeps its sound stream open across the end of a track for the next one; when none follows,
    // the stream is closed, as the stop button closes it.
    if (component_.playState() == mediaplayer::Stopped) component_.controls().stop();
}

void Transport::PlayNextWrapping() {
    if (shared_.CurrentIndex >= grid_.ItemCount() - 1) shared_.CurrentIndex = -1;
    PlayTrack(MoveNext);
}

void Transport::Poll() {
    const std::int32_t rows = grid_.ItemCount();
    if (rows < 1) {
        TimerMain.SetEnabled(false);
        return;
    }
    FollowHandOver();
    switch (component_.playState()) {
        case mediaplayer::Paused: view_.SetStateText(kPaused); break;
        case mediaplayer::Playing: PlayingPoll(rows); break;
        case mediaplayer::Stopped:
            view_.SetStateText(kStopped);
            view_.SetSeekThumbLeft(kSeekLeftMin);
            view_.SetSeekFillWidth(view_.SeekThumbLeft() + 10 - kSeekLeftMin);
            view_.SetTimerText(QStringLiteral("00:00"));
            TimerMain.SetEnabled(false);
            EndOfTrack();
            break;
        case mediaplayer::Buffering:
            view_.SetStateText(QStringLiteral("缓冲%1 %").arg(component_.network().bufferingProgress()));
            break;
        case mediaplayer::Transitioning:
            view_.SetStateText(retryCount_ == 0 ? QStringLiteral("连接媒体")
                                                : QStringLiteral("重试中%1").arg(retryCount_));
            break;
        case mediaplayer::Ready:
            grid_.SetItemTag(shared_.CurrentIndex, kTagFailed);
            if (retryCount_ < 3) {
                component_.controls().stop();
                component_.controls().play();
                ++retryCount_;
            } else {
                retryCount_ = 0;
                // Given up on, the row is passed over as its end would be: a loop goes round past the last row
                // rather than restart a dead one for ever. The other modes move on to the next row, if any.
                if (shared_.PlayMode == ModeLoop)
                    PlayNextWrapping();
                else
                    PlayTrack(MoveNext);
            }
            break;
        default: break;
    }
}

void Transport::FollowHandOver() {
    const unsigned handOvers = component_.HandOvers();
    if (handOvers == handOversSeen_) return;
    handOversSeen_ = handOvers;
    if (!armedRow_) return;
    view_.SetSeekThumbLeft(kSeekLeftMin);
    view_.SetSeekFillWidth(view_.SeekThumbLeft() + 10 - kSeekLeftMin);
    shared_.CurrentIndex = static_cast<std::int16_t>(*armedRow_);
    shared_.TrackStarted = true;
    retryCount_ = 0;
    armedRow_.reset();
    armedLocation_.clear();
    randomDraw_.reset();
}

std::optional<std::int32_t> Transport::RowAfterEnd(std::int32_t rows) {
    const std::int32_t current = shared_.CurrentIndex;
    switch (shared_.PlayMode) {
        case ModeRepeatOne: return current;
        case ModeSequential: return current < rows - 1 ? std::optional(current + 1) : std::nullopt;
        case ModeLoop: return current >= rows - 1 ? 0 : current + 1;
        case ModeRandom:
            if (!randomDraw_ || *randomDraw_ >= rows)
                randomDraw_ = RandomRow(QRandomGenerator::global()->generateDouble(), rows);
            return randomDraw_;
        default: return std::nullopt;
    }
}

void Transport::ArmFollowingRow(std::int32_t rows) {
    // Early enough for the next decoder to be ready at the end, late enough that a change of the user's is seen.
    constexpr double kArmAheadSeconds = 3;
    auto& media = component_.currentMedia();
    const double seconds = media.duration();
    std::optional<std::int32_t> row;
    if (seconds > 0 && seconds - component_.controls().currentPosition() <= kArmAheadSeconds) row = RowAfterEnd(rows);
    std::u16string location = row && *row >= 0 && *row < rows ? grid_.ItemText(*row, column::kLocation) : u"";
    if (IsBlank(location)) {
        row.reset();
        location.clear();
    }
    // A start since (a new row, a restart) has disarmed the component.
    const unsigned start = component_.StartNumber();
    if (start != armedStart_) armedRow_.reset(), armedLocation_.clear();
    if (row == armedRow_ && location == armedLocation_) return;
    armedRow_ = row;
    armedLocation_ = location;
    armedStart_ = start;
    component_.ArmNext(location);
}

void Transport::PlayingPoll(std::int32_t rows) {
    auto& media = component_.currentMedia();
    if (shared_.TrackStarted) {
        const std::int32_t row = shared_.CurrentIndex;
        // A track of a one-file album keeps its sheet's texts, and the main window names it by them: the component's
        // tags and name are the whole file's. Told once a start, not every poll: telling it looks at the disk.
        sheetTitle_.reset();
        if (IsTrackSpanLocation(grid_.ItemText(row, column::kLocation))) {
            sheetTitle_ = grid_.ItemText(row, column::kTitle);
        } else {
            grid_.SetItemText(row, column::kTitle, WithoutQuotes(media.getItemInfo(u"title")));
            grid_.SetItemText(row, column::kArtist, media.getItemInfo(u"Author"));
        }
        grid_.SetItemText(row, column::kTime, media.durationString());
        if (shared_.PreviousIndex < rows) grid_.SetItemTag(shared_.PreviousIndex, kTagOrdinary);
        grid_.SetItemTag(row, kTagCurrent);
        shared_.PreviousIndex = static_cast<std::int16_t>(row);
    }
    AnnounceStart();
    shared_.TrackStarted = false;
    retryCount_ = 0;
    const std::u16string duration = media.durationString();
    // Without a duration a local media counts as unplayable: it is skipped, and never shown as playing. A network
    // stream that plays without one is live (a radio station) and plays on.
    if (duration == u"00:00" && !mediaplayer::MediaLocation(component_.URL()).IsWebAddress())
        PlayTrack(MoveNext);
    else
        view_.SetStateText(component_.OutputIsSilent() ? kPlayingSilently : kPlaying);
    const std::u16string name = sheetTitle_ ? *sheetTitle_ : media.name();
    view_.SetTitleText(QString::fromStdU16String(name + u"[" + duration + u"]"));
    view_.SetTimerText(QString::fromStdU16String(component_.controls().currentPositionString()));
    view_.SetAllTimerText(QString::fromStdU16String(media.getItemInfoByAtom(7)));
    const double seconds = media.duration();
    if (seconds > 0 && !view_.SeekDragging()) {
        const double left = kSeekLeftMax / seconds * component_.controls().currentPosition() + kSeekLeftMin;
        view_.SetSeekThumbLeft(left);
        view_.SetSeekFillWidth(left);
    }
    ArmFollowingRow(rows);
}

void Transport::AnnounceStart() {
    const unsigned start = component_.StartNumber();
    if (start == announcedStart_) return;
    announcedStart_ = start;
    if (TrackPlaying) TrackPlaying(component_.URL());
}

}  // namespace media
