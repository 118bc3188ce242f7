#pragma once
// A media-player component the test scripts: what each media does when started (plays, fails a number of times,
// never sounds), its texts, the end of a track, a state set outright, and a component that stops answering. It
// plays no sound and keeps no time, so a test steps through whole play lists in milliseconds.
#include <map>
#include <string>
#include <vector>

#include "media/core/MediaComponent.h"

namespace media::test {

class ScriptedComponent final : public MediaComponent,
                                private MediaComponent::Controls,
                                private MediaComponent::CurrentMedia,
                                private MediaComponent::Network {
public:
    // What one media does. A location the script does not name plays at once, titled by its location.
    struct Media {
        std::u16string title;  // empty: the location
        std::u16string author;
        double seconds = 90;
        int failingStarts = 0;     // starts that fail (Ready) before one plays
        bool neverSounds = false;  // every start stays opening
    };

    std::map<std::u16string, Media> media;
    int openingReads = 1;  // reads of playState that find a start opening before its outcome, as a real one is seen
    bool silent = false;   // OutputIsSilent
    double position = 0;   // seconds into the media
    int buffering = 0;     // bufferingProgress

    // The media played to its end; a media armed to follow takes over, playing at once.
    void EndOfMedia();
    const std::u16string& Armed() const { return armed_; }
    // The state from now on, whatever was asked before (Buffering, Paused, ...); an opening start stays opening.
    void SetState(int state) { state_ = outcome_ = state; }
    // From now on every call would block in a real component: it is recorded, nothing asked is done, and queries
    // answer what was last known.
    void StopAnswering() { answering_ = false; }
    // Every call the transport made, by name, in order.
    const std::vector<std::string>& Calls() const { return calls_; }
    int Starts() const { return static_cast<int>(starts_); }

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

    // Records the call; false when the component no longer answers.
    bool Answers(const char* call) const;
    void Start();
    Media Current() const;
    std::u16string Title() const;
    std::u16string DurationText() const;

    mutable std::vector<std::string> calls_;
    bool answering_ = true;
    std::u16string url_;
    int state_ = mediaplayer::Undefined;
    int outcome_ = mediaplayer::Undefined;  // what the opening start comes to
    int openingLeft_ = 0;
    unsigned starts_ = 0;
    std::map<std::u16string, int> failed_;  // failed starts so far, by location
    std::u16string armed_;
    unsigned handOvers_ = 0;
};

}  // namespace media::test
