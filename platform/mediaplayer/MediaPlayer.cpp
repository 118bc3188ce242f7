#include "platform/mediaplayer/MediaPlayer.h"

#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/Playback.h"

#include <algorithm>

namespace mediaplayer {
namespace {

constexpr int kDurationAtom = 7;

bool EqualsIgnoringCase(const std::u16string& text, std::u16string_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(),
                      [](char16_t a, char16_t b) { return (a >= u'A' && a <= u'Z' ? a - u'A' + u'a' : a) == b; });
}

}  // namespace

MediaPlayer::MediaPlayer(AudioSinkFactory audioSink)
    : playback_(std::make_unique<Playback>(std::move(audioSink))),
      controls_(*playback_),
      currentMedia_(*this),
      settings_(*playback_),
      network_(*playback_) {}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setURL(const std::u16string& url) {
    if (url.empty()) {
        close();
        return;
    }
    FollowHandOver();
    const MediaLocation location(url);
    nextUrl_.clear();
    handOversSeen_ = 0;
    url_ = url;
    fileName_ = location.DisplayName();
    playback_->Open(location.Uri(), location.Span());
}

void MediaPlayer::ArmNext(const std::u16string& url) {
    FollowHandOver();
    const MediaLocation location(url);
    nextUrl_ = url;
    playback_->Arm(url.empty() ? std::string() : location.Uri(), location.Span());
}

void MediaPlayer::FollowHandOver() const {
    const unsigned handOvers = playback_->HandOvers();
    if (handOvers <= handOversSeen_) return;
    handOversTotal_ += handOvers - handOversSeen_;
    handOversSeen_ = handOvers;
    url_ = nextUrl_;
    fileName_ = MediaLocation(url_).DisplayName();
    nextUrl_.clear();
}

unsigned MediaPlayer::HandOvers() const {
    FollowHandOver();
    return handOversTotal_;
}

std::u16string MediaPlayer::URL() const {
    FollowHandOver();
    return url_;
}

void MediaPlayer::close() {
    playback_->Release();
    url_.clear();
    nextUrl_.clear();
    handOversSeen_ = 0;
    fileName_.clear();
}

int MediaPlayer::playState() {
    FollowHandOver();
    return playback_->State();
}

unsigned MediaPlayer::StartNumber() const {
    FollowHandOver();
    return playback_->StartsFromTop() + handOversTotal_;
}

bool MediaPlayer::OutputIsSilent() const { return playback_->OutputIsSilent(); }

void MediaPlayer::Controls::play() { playback_.Play(); }

void MediaPlayer::Controls::pause() { playback_.Pause(); }

void MediaPlayer::Controls::stop() { playback_.Stop(); }

double MediaPlayer::Controls::currentPosition() const { return playback_.Position(); }

void MediaPlayer::Controls::setCurrentPosition(double seconds) { playback_.Seek(seconds); }

std::u16string MediaPlayer::Controls::currentPositionString() const {
    switch (playback_.State()) {
        case Undefined:
        case Stopped:
        case Ready: return {};
        default: return FormatClock(playback_.Position());
    }
}

std::u16string MediaPlayer::CurrentMedia::name() const {
    player_.FollowHandOver();
    const std::u16string& title = player_.playback_->Tags().Title();
    return title.empty() ? player_.fileName_ : title;
}

double MediaPlayer::CurrentMedia::duration() const { return player_.playback_->Duration(); }

std::u16string MediaPlayer::CurrentMedia::durationString() const {
    const double seconds = duration();
    if (seconds <= 0) return u"00:00";
    // "00:00" means "not playable" to the player, so a media shorter than half a second still
    // reads as one second.
    return FormatClock(std::max(seconds, 1.0));
}

std::u16string MediaPlayer::CurrentMedia::getItemInfo(const std::u16string& attribute) const {
    if (EqualsIgnoringCase(attribute, u"title")) return name();
    if (EqualsIgnoringCase(attribute, u"author")) return player_.playback_->Tags().Artist();
    return {};
}

std::u16string MediaPlayer::CurrentMedia::getItemInfoByAtom(int atom) const {
    return atom == kDurationAtom ? durationString() : std::u16string();
}

void MediaPlayer::Settings::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    playback_.SetVolume(volume_ / 100.0);
}

void MediaPlayer::Settings::setMute(bool mute) {
    mute_ = mute;
    playback_.SetMute(mute);
}

int MediaPlayer::Network::bufferingProgress() const { return playback_.BufferingPercent(); }

}  // namespace mediaplayer
