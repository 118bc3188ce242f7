#pragma once

#include "platform/mediaplayer/AudioOutput.h"
#include "platform/mediaplayer/ClockText.h"
#include "platform/mediaplayer/PlayState.h"

#include <memory>
#include <string>

namespace mediaplayer {

class Playback;

// The media-player component the player hosts: one media at a time, sound only. It is polled,
// never calls back, and belongs to the thread that made it. No call waits on GStreamer or the sound
// server: the pipeline lives on a thread of the component's own, started by the first call that needs
// it, and GStreamer is brought up with the first media, not by the constructor.
//
// A location "<file>#t=<start>[,<end>]" plays that span of the file as a media of its own (see MediaLocation). A
// media that shows no sign of playing within a few seconds fails as one that cannot be opened, so the host's
// retries and skip take over; one that plays always ends. The next media may be armed ahead of time (ArmNext) to
// follow the playing one with no gap.
class MediaPlayer {
public:
    // The component's object model keeps the names its hosts call it by: controls.play, settings.volume,
    // currentMedia.getItemInfo and the rest.
    // NOLINTBEGIN(readability-identifier-naming)
    class Controls {
    public:
        void play();  // starts or resumes; after a stop, the end or a failure, opens the media again
        void pause();
        void stop();                              // position back to 0, state Stopped
        double currentPosition() const;           // seconds; cheap enough to read at display rate
        void setCurrentPosition(double seconds);  // seeks while playing or paused; clamped to the media
        // "mm:ss" ("hh:mm:ss" from an hour on); empty while no media is open or it is stopped.
        std::u16string currentPositionString() const;

    private:
        friend class MediaPlayer;
        explicit Controls(Playback& playback) : playback_(playback) {}
        Playback& playback_;
    };

    class CurrentMedia {
    public:
        std::u16string name() const;            // the title tag, else the file name without extension
        double duration() const;                // seconds; 0 while unknown
        std::u16string durationString() const;  // "00:00" while unknown
        // "title" (as name()) and "Author" (the artist tag), in any letter case; other names read "".
        std::u16string getItemInfo(const std::u16string& attribute) const;
        // Atom 7 is the duration text; other atoms read "".
        std::u16string getItemInfoByAtom(int atom) const;

    private:
        friend class MediaPlayer;
        explicit CurrentMedia(const MediaPlayer& player) : player_(player) {}
        const MediaPlayer& player_;
    };

    class Settings {
    public:
        void setVolume(int volume);  // clamped to 0..100, heard on a perceptual (cubic) scale
        int volume() const { return volume_; }
        void setMute(bool mute);
        bool mute() const { return mute_; }

    private:
        friend class MediaPlayer;
        explicit Settings(Playback& playback) : playback_(playback) {}
        Playback& playback_;
        int volume_ = 100;
        bool mute_ = false;
    };

    class Network {
    public:
        int bufferingProgress() const;  // percent of the last buffering report; 0 before any

    private:
        friend class MediaPlayer;
        explicit Network(Playback& playback) : playback_(playback) {}
        Playback& playback_;
    };

    // The default audio output is the system's, silent but in real time where there is none.
    explicit MediaPlayer(AudioSinkFactory audioSink = {});
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Opens the media and starts it: a local path (relative to the working folder or absolute)
    // or a web address such as http://, https://, mms://, rtsp://. An empty text closes.
    void setURL(const std::u16string& url);
    std::u16string URL() const;  // as set, or as armed once it took over; empty until set and after close()
    void close();
    // The media to follow the playing one with no gap (a path, a span of a file or a web address, as setURL takes);
    // empty arms nothing. When it takes over, URL() and every read are the new media's, and StartNumber() counts
    // a start; a setURL, stop or close disarms it.
    void ArmNext(const std::u16string& url);
    // How many armed media have taken over so far.
    unsigned HandOvers() const;

    // A PlayState value; reading it takes in what the pipeline has reported since the last call.
    int playState();

    Controls& controls() { return controls_; }
    const Controls& controls() const { return controls_; }
    CurrentMedia& currentMedia() { return currentMedia_; }
    const CurrentMedia& currentMedia() const { return currentMedia_; }
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    Network& network() { return network_; }
    const Network& network() const { return network_; }
    // NOLINTEND(readability-identifier-naming)

    // Counts the times the media was started from its beginning: by setURL and by play after a stop, the end or a
    // failure; a resume from pause does not count. Lets the host tell a track started again from one that goes on.
    unsigned StartNumber() const;
    // True while the media plays on a silent stand-in for the sound output: no sound server or device would open,
    // or the one in use was lost. The play states go on as if it were heard; every start tries the output again.
    bool OutputIsSilent() const;

private:
    std::unique_ptr<Playback> playback_;
    // Followed on reads: an armed media that took over is the media from then on.
    void FollowHandOver() const;

    mutable std::u16string url_;
    mutable std::u16string fileName_;  // shown while the media carries no title
    mutable std::u16string nextUrl_;
    mutable unsigned handOversSeen_ = 0;   // since the media was set
    mutable unsigned handOversTotal_ = 0;  // ever
    Controls controls_;
    CurrentMedia currentMedia_;
    Settings settings_;
    Network network_;
};

}  // namespace mediaplayer
