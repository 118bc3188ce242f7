#pragma once
// The media-player component the program plays through: the system's player on GStreamer, seen through the
// transport's port.
#include <memory>

#include "media/core/MediaComponent.h"
#include "platform/mediaplayer/AudioOutput.h"

namespace mediaplayer {
class MediaPlayer;
}

namespace media {

class MediaPlayerComponent final : public MediaComponent,
                                   private MediaComponent::Controls,
                                   private MediaComponent::CurrentMedia,
                                   private MediaComponent::Network {
public:
    // The sound goes where `audioSink` makes it (the system's output by default).
    explicit MediaPlayerComponent(mediaplayer::AudioSinkFactory audioSink = {});
    ~MediaPlayerComponent() override;
    MediaPlayerComponent(const MediaPlayerComponent&) = delete;
    MediaPlayerComponent& operator=(const MediaPlayerComponent&) = delete;

    // The player itself, for what only the windows use of it: volume, mute, seeking.
    mediaplayer::MediaPlayer& Player() { return *player_; }

    // NOLINTBEGIN(readability-identifier-naming)
    void setURL(const std::u16string& url) override;
    std::u16string URL() const override;
    void close() override;
    int playState() override;
    MediaComponent::Controls& controls() override { return *this; }
    MediaComponent::CurrentMedia& currentMedia() override { return *this; }
    MediaComponent::Network& network() override { return *this; }
    // NOLINTEND(readability-identifier-naming)
    void ArmNext(const std::u16string& url) override;
    unsigned HandOvers() const override;
    unsigned StartNumber() const override;
    bool OutputIsSilent() const override;

private:
    // NOLINTBEGIN(readability-identifier-naming)
    void play() override;
    void pause() override;
    void stop() override;
    double currentPosition() const override;
    std::u16string currentPositionString() const override;
    std::u16string name() const override;
    double duration() const override;
    std::u16string durationString() const override;
    std::u16string getItemInfo(const std::u16string& attribute) const override;
    std::u16string getItemInfoByAtom(int atom) const override;
    int bufferingProgress() const override;
    // NOLINTEND(readability-identifier-naming)

    std::unique_ptr<mediaplayer::MediaPlayer> player_;
};

}  // namespace media
