#include "media/core/Transport.h"

#include <QRandomGenerator>
#include <cmath>

#include "media/playlist/PlaylistRows.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

namespace {

const QString Playing = QStringLiteral("正在播放");
const QString Paused = QStringLiteral("暂停播放");
const QString Stopped = QStringLiteral("停止播放");

bool IsBlank(const std::u16string& text) { return QString::fromStdU16String(text).trimmed().isEmpty(); }

}  // namespace

std::int32_t RandomRow(double u, std::int32_t rows) {
    return static_cast<std::int32_t>(std::floor(u * rows));
}

Transport::Transport(mediaplayer::MediaPlayer& player, TransportView& view, SharedValues& shared)
    : player_(player), view_(view), shared_(shared) {}

void Transport::PlayPause() {
    if (view_.PlayTag() == QLatin1String("p")) {
        if (player_.playState() == mediaplayer::Playing) {
            player_.controls().pause();
            view_.SetStateText(Paused);
        } else {
            if (player_.URL().empty()) {
                const std::int32_t selected = grid_.SelectedItem();
                if (selected > 0) player_.setURL(grid_.ItemText(selected, column::Location));
                else if (grid_.ItemCount() > 0) player_.setURL(grid_.ItemText(0, column::Location));
            }
            player_.controls().play();
            view_.ShowPlayPicture(QStringLiteral("pause_n.bmp"));
            view_.SetPlayTag(QStringLiteral("s"));
            view_.SetStateText(Playing);
            view_.SetPollerEnabled(true);
        }
    } else if (view_.PlayTag() == QLatin1String("s")) {
        player_.controls().pause();
        view_.SetPlayTag(QStringLiteral("p"));
        view_.SetStateText(Paused);
    }
    view_.SetTransportButtonsEnabled(true);
}

void Transport::Stop() {
    // The poller goes first, so a user's stop never counts as the end of a track.
    view_.SetPollerEnabled(false);
    player_.controls().stop();
    view_.SetTransportButtonsEnabled(false);
    view_.ShowPlayPicture(QStringLiteral("play_n.bmp"));
    view_.SetPlayTag(QStringLiteral("p"));
    view_.SetStateText(Stopped);
}

void Transport::PlayTrack(std::int16_t kind) {
    const std::int32_t rows = grid_.ItemCount();
    std::u16string location;
    std::int16_t& current = shared_.CurrentIndex;
    switch (kind) {
        case MovePrevious:
            if (rows >= 1 && current > 0) location = grid_.ItemText(--current, column::Location);
            break;
        case MoveNext:
            if (current < rows - 1) location = grid_.ItemText(++current, column::Location);
            break;
        case MoveSame: location = grid_.ItemText(current, column::Location); break;
        default:
            current = static_cast<std::int16_t>(RandomRow(QRandomGenerator::global()->generateDouble(), rows));
            location = grid_.ItemText(current, column::Location);
            break;
    }
    view_.SetPollerEnabled(true);
    shared_.TrackStarted = true;
    if (IsBlank(location)) return;
    player_.setURL(location);
    player_.controls().play();
}

void Transport::EndOfTrack() {
    const std::int32_t rows = grid_.ItemCount();
    switch (shared_.PlayMode) {
        case ModeSingle:
            PlayPause();
            view_.ShowPlayPicture(QStringLiteral("play_n.bmp"));
            break;
        case ModeRepeatOne: PlayTrack(MoveSame); break;
        case ModeSequential:
            if (shared_.CurrentIndex < rows - 1) PlayTrack(MoveNext);
            break;
        case ModeLoop:
            if (shared_.CurrentIndex >= rows - 1) shared_.CurrentIndex = -1;
            PlayTrack(MoveNext);
            break;
        case ModeRandom: PlayTrack(MoveRandom); break;
        default: break;
    }
}

void Transport::Poll() {
    const std::int32_t rows = grid_.ItemCount();
    if (rows < 1) {
        view_.SetPollerEnabled(false);
        return;
    }
    auto& media = player_.currentMedia();
    switch (player_.playState()) {
        case mediaplayer::Paused: view_.SetStateText(Paused); break;
        case mediaplayer::Playing: {
            if (shared_.TrackStarted) {
                const std::int32_t row = shared_.CurrentIndex;
                grid_.SetItemText(row, column::Title, WithoutQuotes(media.getItemInfo(u"title")));
                grid_.SetItemText(row, column::Artist, media.getItemInfo(u"Author"));
                grid_.SetItemText(row, column::Time, media.durationString());
                if (shared_.PreviousIndex < rows) grid_.SetItemTag(shared_.PreviousIndex, TagOrdinary);
                grid_.SetItemTag(row, TagCurrent);
                shared_.PreviousIndex = static_cast<std::int16_t>(row);
                if (TrackPlaying) TrackPlaying(player_.URL());
            }
            shared_.TrackStarted = false;
            retryCount_ = 0;
            const std::u16string duration = media.durationString();
            if (duration == u"00:00") PlayTrack(MoveNext);  // nothing to play in it
            view_.SetStateText(Playing);
            view_.SetTitleText(QString::fromStdU16String(media.name() + u"[" + duration + u"]"));
            view_.SetTimerText(QString::fromStdU16String(player_.controls().currentPositionString()));
            view_.SetAllTimerText(QString::fromStdU16String(media.getItemInfoByAtom(7)));
            const double seconds = media.duration();
            if (seconds > 0 && !view_.SeekDragging()) {
                const double left = SeekLeftMax / seconds * player_.controls().currentPosition() + SeekLeftMin;
                view_.SetSeekThumbLeft(left);
                view_.SetSeekFillWidth(left);
            }
            break;
        }
        case mediaplayer::Stopped:
            view_.SetStateText(Stopped);
            view_.SetSeekThumbLeft(SeekLeftMin);
            view_.SetSeekFillWidth(view_.SeekThumbLeft() + 10 - SeekLeftMin);
            view_.SetTimerText(QStringLiteral("00:00"));
            view_.SetPollerEnabled(false);
            EndOfTrack();
            break;
        case mediaplayer::Buffering:
            view_.SetStateText(QStringLiteral("缓冲%1 %").arg(player_.network().bufferingProgress()));
            break;
        case mediaplayer::Transitioning:
            view_.SetStateText(retryCount_ == 0 ? QStringLiteral("连接媒体") : QStringLiteral("重试中%1").arg(retryCount_));
            break;
        case mediaplayer::Ready:
            grid_.SetItemTag(shared_.CurrentIndex, TagFailed);
            if (retryCount_ < 3) {
                player_.controls().stop();
                player_.controls().play();
                ++retryCount_;
            } else {
                retryCount_ = 0;
                PlayTrack(MoveNext);
            }
            break;
        default: break;
    }
}

}  // namespace media
