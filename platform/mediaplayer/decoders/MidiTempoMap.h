#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mediaplayer::decoders {

// The Standard MIDI File in `file`: the file itself, or the `data` chunk of a RIFF RMID wrapper (.rmi). Empty when
// it is neither.
std::span<const std::uint8_t> StandardMidiFile(std::span<const std::uint8_t> file);

// A Standard MIDI File's clock: its ticks in nanoseconds and back, through the tempo changes of all its tracks, and
// its length. The synthesiser plays the file by ticks; the pipeline asks for durations and seeks in time.
class MidiTempoMap {
public:
    // The map of a well-formed file; nullopt for bytes that are not one. Every length is checked against the file,
    // so a damaged or hostile file costs at most one pass over its bytes.
    static std::optional<MidiTempoMap> Parse(std::span<const std::uint8_t> file);

    std::int64_t LastTick() const { return lastTick_; }  // of the last event of the longest track
    std::int64_t Duration() const { return TimeOfTick(lastTick_); }
    std::int64_t TimeOfTick(std::int64_t tick) const;  // nanoseconds
    std::int64_t TickOfTime(std::int64_t time) const;  // the last tick at or before `time`

private:
    // A stretch of constant tempo from `tick` on, which starts `time` nanoseconds into the file.
    struct Tempo {
        std::int64_t tick;
        std::int64_t time;
        double nanosecondsPerTick;
    };
    const Tempo& TempoAt(bool byTick, std::int64_t value) const;

    std::vector<Tempo> tempos_;  // in order, the first at tick 0
    std::int64_t lastTick_ = 0;
};

}  // namespace mediaplayer::decoders
