#include "media/core/MediaPlayerComponent.h"

#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

MediaPlayerComponent::MediaPlayerComponent(mediaplayer::AudioSinkFactory audioSink)
    : player_(std::make_unique<mediaplayer::MediaPlayer>(std::move(audioSink))) {}

MediaPlayerComponent::~MediaPlayerComponent() = default;

void MediaPlayerComponent::setURL(const std::u16string& url) { player_->setURL(url); }
std::u16string MediaPlayerComponent::URL() const { return player_->URL(); }
void MediaPlayerComponent::close() { player_->close(); }
int MediaPlayerComponent::playState() { return player_->playState(); }
void MediaPlayerComponent::ArmNext(const std::u16string& url) { player_->ArmNext(url); }
unsigned MediaPlayerComponent::HandOvers() const { return player_->HandOvers(); }
unsigned MediaPlayerComponent::StartNumber() const { return player_->StartNumber(); }
bool MediaPlayerComponent::OutputIsSilent() const { return player_->OutputIsSilent(); }

void MediaPlayerComponent::play() { player_->controls().play(); }
void MediaPlayerComponent::pause() { player_->controls().pause(); }
void MediaPlayerComponent::stop() { player_->controls().stop(); }
double MediaPlayerComponent::currentPosition() const { return player_->controls().currentPosition(); }
std::u16string MediaPlayerComponent::currentPositionString() const {
    return player_->controls().currentPositionString();
}

std::u16string MediaPlayerComponent::name() const { return player_->currentMedia().name(); }
double MediaPlayerComponent::duration() const { return player_->currentMedia().duration(); }
std::u16string MediaPlayerComponent::durationString() const { return player_->currentMedia().durationString(); }
std::u16string MediaPlayerComponent::getItemInfo(const std::u16string& attribute) const {
    return player_->currentMedia().getItemInfo(attribute);
}
std::u16string MediaPlayerComponent::getItemInfoByAtom(int atom) const {
    return player_->currentMedia().getItemInfoByAtom(atom);
}

int MediaPlayerComponent::bufferingProgress() const { return player_->network().bufferingProgress(); }

}  // namespace media
