#include "platform/mediaplayer/decoders/MidiTempoMap.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace mediaplayer::decoders {
namespace {

constexpr std::size_t kChunkHeader = 8;                            // name and big-endian length
constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500'000;  // 120 beats a minute until a file says otherwise
constexpr int kMetaTempo = 0x51;
constexpr int kMetaEndOfTrack = 0x2F;
// Times beyond this are no file's: the arithmetic stays clear of overflow whatever a hostile file claims.
constexpr double kLatestTime = 1e18;

// Reads a byte range front to back; every read is checked against its end.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ == bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - at_; }

    std::optional<std::uint8_t> Byte() {
        if (AtEnd()) return std::nullopt;
        return bytes_[at_++];
    }
    std::optional<std::uint32_t> BigEndian(int count) {
        if (Left() < static_cast<std::size_t>(count)) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | bytes_[at_++];
        return value;
    }
    std::optional<std::uint32_t> LittleEndian32() {
        if (Left() < 4) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | bytes_[at_ + static_cast<std::size_t>(i)];
        at_ += 4;
        return value;
    }
    // MIDI's variable-length quantity: at most four bytes.
    std::optional<std::uint32_t> Quantity() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = Byte();
            if (!byte) return std::nullopt;
            value = value << 7 | (*byte & 0x7F);
            if (!(*byte & 0x80)) return value;
        }
        return std::nullopt;
    }
    std::optional<std::span<const std::uint8_t>> Take(std::size_t count) {
        if (Left() < count) return std::nullopt;
        const auto taken = bytes_.subspan(at_, count);
        at_ += count;
        return taken;
    }
    bool Name(std::string_view name) {
        const auto taken = Take(name.size());
        return taken && std::equal(taken->begin(), taken->end(), name.begin());
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

struct TempoChange {
    std::int64_t tick;
    std::uint32_t microsecondsPerQuarter;
};

// The data bytes that follow a channel message's status byte.
std::size_t DataBytesOf(std::uint8_t status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads one track's events for its tempo changes and its last tick; false when the track is damaged. A track may
// end with its chunk rather than an end-of-track event, as some writers leave it.
bool ReadTrack(std::span<const std::uint8_t> track, std::vector<TempoChange>& tempos, std::int64_t& lastTick) {
    ByteReader reader(track);
    std::int64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!reader.AtEnd()) {
        const auto delta = reader.Quantity();
        const auto first = reader.Byte();
        if (!delta || !first) return false;
        tick += *delta;
        lastTick = std::max(lastTick, tick);
        if (*first == 0xFF) {
            const auto type = reader.Byte();
            const auto length = reader.Quantity();
            const auto data = length ? reader.Take(*length) : std::nullopt;
            if (!type || !data) return false;
            if (*type == kMetaEndOfTrack) return true;
            if (*type == kMetaTempo && data->size() == 3) {
                const std::uint32_t value = (*data)[0] << 16 | (*data)[1] << 8 | (*data)[2];
                if (value > 0) tempos.push_back({tick, value});
            }
        } else if (*first == 0xF0 || *first == 0xF7) {
            const auto length = reader.Quantity();
            if (!length || !reader.Take(*length)) return false;
        } else if (*first >= 0xF0) {
            return false;  // system common and real-time messages have no place in a file
        } else if (*first & 0x80) {
            runningStatus = *first;
            if (!reader.Take(DataBytesOf(runningStatus))) return false;
        } else {
            // Running status: the byte read is the first data byte of a message like the one before.
            if (!runningStatus || !reader.Take(DataBytesOf(runningStatus) - 1)) return false;
        }
    }
    return true;
}

}  // namespace

std::span<const std::uint8_t> StandardMidiFile(std::span<const std::uint8_t> file) {
    ByteReader reader(file);
    if (!reader.Name("RIFF")) return file;
    if (!reader.LittleEndian32() || !reader.Name("RMID")) return {};
    while (!reader.AtEnd()) {
        const auto name = reader.Take(4);
        const auto size = reader.LittleEndian32();
        const auto body = size ? reader.Take(*size) : std::nullopt;
        if (!name || !body) return {};
        if (std::string_view(reinterpret_cast<const char*>(name->data()), 4) == "data") return *body;
        if (*size % 2) reader.Take(1);  // chunks are word-aligned
    }
    return {};
}

std::optional<MidiTempoMap> MidiTempoMap::Parse(std::span<const std::uint8_t> file) {
    ByteReader reader(file);
    const bool named = reader.Name("MThd");
    const auto headerLength = reader.BigEndian(4);
    if (!named || !headerLength || *headerLength < 6) return std::nullopt;
    const auto header = reader.Take(*headerLength);
    if (!header) return std::nullopt;
    ByteReader fields(*header);
    const std::uint32_t format = *fields.BigEndian(2);
    const std::uint32_t trackCount = *fields.BigEndian(2);
    const std::uint32_t division = *fields.BigEndian(2);
    if (format > 2 || division == 0) return std::nullopt;

    MidiTempoMap map;
    std::vector<TempoChange> changes;
    // The header's count of tracks is checked against the chunks there are, one at least as long as its header.
    for (std::uint32_t found = 0; found < trackCount;) {
        const auto name = reader.Take(4);
        const auto length = reader.BigEndian(4);
        const auto body = length ? reader.Take(*length) : std::nullopt;
        if (!name || !body) return std::nullopt;
        if (std::string_view(reinterpret_cast<const char*>(name->data()), 4) != "MTrk") continue;  // unknown chunk
        if (!ReadTrack(*body, changes, map.lastTick_)) return std::nullopt;
        ++found;
    }

    if (division & 0x8000) {
        // SMPTE time: frames a second (29 stands for 29.97) and ticks a frame; the file's tempo does not count.
        const int frames = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = static_cast<int>(division & 0xFF);
        if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || ticksPerFrame == 0) return std::nullopt;
        const double framesPerSecond = frames == 29 ? 30000.0 / 1001 : frames;
        map.tempos_.push_back({0, 0, 1e9 / (framesPerSecond * ticksPerFrame)});
        return map;
    }
    const auto perTick = [division](std::uint32_t microsecondsPerQuarter) {
        return microsecondsPerQuarter * 1000.0 / division;
    };
    map.tempos_.push_back({0, 0, perTick(kDefaultMicrosecondsPerQuarter)});
    std::stable_sort(changes.begin(), changes.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
    for (const TempoChange& change : changes) {
        if (change.tick == map.tempos_.back().tick)
            map.tempos_.back().nanosecondsPerTick = perTick(change.microsecondsPerQuarter);
        else
            map.tempos_.push_back({change.tick, map.TimeOfTick(change.tick), perTick(change.microsecondsPerQuarter)});
    }
    return map;
}

const MidiTempoMap::Tempo& MidiTempoMap::TempoAt(bool byTick, std::int64_t value) const {
    const auto after = std::upper_bound(tempos_.begin(), tempos_.end(), value,
                                        [byTick](std::int64_t v, auto& t) { return v < (byTick ? t.tick : t.time); });
    return after == tempos_.begin() ? tempos_.front() : *std::prev(after);
}

std::int64_t MidiTempoMap::TimeOfTick(std::int64_t tick) const {
    const Tempo& tempo = TempoAt(true, tick);
    const double time = static_cast<double>(tempo.time) +
                        static_cast<double>(std::max<std::int64_t>(tick - tempo.tick, 0)) * tempo.nanosecondsPerTick;
    return static_cast<std::int64_t>(std::min(time, kLatestTime));
}

std::int64_t MidiTempoMap::TickOfTime(std::int64_t time) const {
    const Tempo& tempo = TempoAt(false, time);
    const double ticks = static_cast<double>(std::max<std::int64_t>(time - tempo.time, 0)) / tempo.nanosecondsPerTick;
    return tempo.tick + static_cast<std::int64_t>(std::min(std::floor(ticks), kLatestTime));
}

}  // namespace mediaplayer::decoders
