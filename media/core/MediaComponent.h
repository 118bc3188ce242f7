#pragma once
// What the transport asks of the media-player component, in the component's own object model (setURL,
// controls().play(), currentMedia().durationString() and the rest). The program gives it the system's player
// (MediaPlayerComponent); tests give it a component they script, to make it fail, hang or end on purpose.
#include <string>

#include "platform/mediaplayer/PlayState.h"

namespace media {

class MediaComponent {
public:
    // The object model's names, as the component's hosts call them.
    // NOLINTBEGIN(readability-identifier-naming)
    class Controls {
    public:
        virtual void play() = 0;  // starts or resumes; after a stop, the end or a failure, opens the media again
        virtual void pause() = 0;
        virtual void stop() = 0;
        virtual double currentPosition() const = 0;  // seconds
        // "mm:ss" ("hh:mm:ss" from an hour on); empty while no media is open or it is stopped.
        virtual std::u16string currentPositionString() const = 0;

    protected:
        ~Controls() = default;
    };

    class CurrentMedia {
    public:
        virtual std::u16string name() const = 0;
        virtual double duration() const = 0;                                            // seconds; 0 while unknown
        virtual std::u16string durationString() const = 0;                              // "00:00" while unknown
        virtual std::u16string getItemInfo(const std::u16string& attribute) const = 0;  // "title", "Author"
        virtual std::u16string getItemInfoByAtom(int atom) const = 0;                   // 7: the duration text

    protected:
        ~CurrentMedia() = default;
    };

    class Network {
    public:
        virtual int bufferingProgress() const = 0;  // percent

    protected:
        ~Network() = default;
    };

    virtual ~MediaComponent() = default;

    // Opens the media and starts it; an empty text closes. URL() reads what was set, empty after close().
    virtual void setURL(const std::u16string& url) = 0;
    virtual std::u16string URL() const = 0;
    virtual void close() = 0;
    // The media to follow the playing one with no gap; empty disarms, and one that cannot be opened arms nothing.
    // Once it has taken over, URL() names it, StartNumber() has counted its start and HandOvers() one more, and every
    // read is its own: the end of the one before was never seen as an end.
    virtual void ArmNext(const std::u16string& url) = 0;
    virtual unsigned HandOvers() const = 0;
    // A mediaplayer::PlayState value.
    virtual int playState() = 0;
    virtual Controls& controls() = 0;
    virtual CurrentMedia& currentMedia() = 0;
    virtual Network& network() = 0;
    // NOLINTEND(readability-identifier-naming)

    // Counts the starts of the media from its beginning (a resume from pause is none), so the host can tell a track
    // started again from one that goes on.
    virtual unsigned StartNumber() const = 0;
    // True while the media plays on with no sound output open.
    virtual bool OutputIsSilent() const = 0;
};

}  // namespace media
