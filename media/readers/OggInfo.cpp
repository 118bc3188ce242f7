// Ogg files holding Vorbis, Opus or FLAC. An Ogg file begins with the first page of each of its
// streams; the first stream whose identification header names one of these codecs is read. Its
// identification header gives the sample rate (and Vorbis its nominal bit rate), its comment header
// the texts. Where the header names no bit rate, the average is worked out from the audio bytes and
// the granule position of the last page, which is the stream's length in samples.
#include "media/readers/ByteCursor.h"
#include "media/readers/FlacBlocks.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/OggPackets.h"
#include "media/readers/Refusals.h"
#include "media/readers/StreamRates.h"
#include "media/readers/TagFields.h"
#include "media/readers/VorbisComment.h"

#include <algorithm>

namespace media {
namespace {

// An Ogg file multiplexes a few streams, not more.
constexpr int kMaxFirstPages = 16;
// The longest identification header read here is FLAC's: 13 bytes, a block header and STREAMINFO.
constexpr std::size_t kIdentificationBytes = 13 + kFlacBlockHeaderSize + kFlacStreamInfoSize;
// FLAC in Ogg sends one metadata block a header packet; the comment comes among the first few.
constexpr int kMaxFlacHeaderPackets = 16;
// Opus always decodes at this rate, and counts its granule positions in it.
constexpr std::uint64_t kOpusRate = 48000;

enum class Codec { Vorbis, Opus, Flac };

struct Identification {
    Codec codec = Codec::Vorbis;
    std::uint64_t sampleRate = 0;      // the rate shown
    std::uint64_t granuleRate = 0;     // granule positions per second
    std::uint64_t nominalBitRate = 0;  // Vorbis: the rate the encoder aimed at; 0 when unset
    std::uint64_t preSkip = 0;         // Opus: samples the decoder drops at the start
    std::uint64_t totalSamples = 0;    // FLAC: from STREAMINFO; 0 when unset
    int headerPackets = 0;             // FLAC: header packets after this one; 0 when unset
};

struct Stream {
    std::uint32_t serial = 0;
    Identification identification;
};

bool IsHeader(std::string_view packet, std::string_view magic, std::size_t size) {
    return packet.size() >= size && packet.substr(0, magic.size()) == magic;
}

// "\x01vorbis", version, channels, sample rate, then the maximum, nominal and minimum bit rates.
std::optional<Identification> IdentifyVorbis(std::string_view packet) {
    if (!IsHeader(packet, "\x01vorbis", 30)) return std::nullopt;
    const std::uint64_t rate = LittleEndian(packet, 12, 4);
    const auto nominal = static_cast<std::int32_t>(LittleEndian(packet, 20, 4));
    return Identification{.codec = Codec::Vorbis,
                          .sampleRate = rate,
                          .granuleRate = rate,
                          .nominalBitRate = nominal > 0 ? static_cast<std::uint64_t>(nominal) : 0};
}

// "OpusHead", version, channels, pre-skip, then the rate of the input before encoding; 0 leaves
// that unsaid, and the decoding rate stands.
std::optional<Identification> IdentifyOpus(std::string_view packet) {
    if (!IsHeader(packet, "OpusHead", 19)) return std::nullopt;
    const std::uint64_t inputRate = LittleEndian(packet, 12, 4);
    return Identification{.codec = Codec::Opus,
                          .sampleRate = inputRate > 0 ? inputRate : kOpusRate,
                          .granuleRate = kOpusRate,
                          .preSkip = LittleEndian(packet, 10, 2)};
}

// 0x7F "FLAC", version (2), header packet count (2, big-endian), "fLaC", then STREAMINFO whole.
std::optional<Identification> IdentifyFlac(std::string_view packet) {
    if (!IsHeader(packet,
                  "\x7F"
                  "FLAC",
                  kIdentificationBytes) ||
        packet.substr(9, 4) != "fLaC" || ParseFlacBlockHeader(packet.substr(13)).type != kFlacStreamInfo)
        return std::nullopt;
    const auto info = ParseFlacStreamInfo(packet.substr(13 + kFlacBlockHeaderSize));
    if (!info) return std::nullopt;
    return Identification{.codec = Codec::Flac,
                          .sampleRate = info->sampleRate,
                          .granuleRate = info->sampleRate,
                          .totalSamples = info->totalSamples,
                          .headerPackets = static_cast<int>(BigEndian(packet, 7, 2))};
}

std::optional<Identification> Identify(std::string_view packet) {
    if (auto id = IdentifyVorbis(packet)) return id;
    if (auto id = IdentifyOpus(packet)) return id;
    return IdentifyFlac(packet);
}

// Every stream's identification header fills its first page alone, and those pages lead the file.
std::optional<Stream> FindAudioStream(ByteSource& file, Refusal* why) {
    std::uint64_t offset = 0;
    for (int i = 0; i < kMaxFirstPages; ++i) {
        const std::optional<OggPage> page = ReadOggPage(file, offset);
        if (!page && offset == 0) {
            Refuse(why, RefusalReason::NoOggPage);
            return std::nullopt;
        }
        if (!page || !(page->type & OggPage::kFirst)) break;
        const std::string_view packet =
            file.Read(page->bodyOffset, std::min<std::uint64_t>(page->bodySize, kIdentificationBytes));
        if (const auto id = Identify(packet)) return Stream{page->serial, *id};
        offset = page->end();
    }
    Refuse(why, RefusalReason::NoOggAudioStream);
    return std::nullopt;
}

void ReadCommentAfter(ByteSource& packet, std::size_t skip, TagFields& fields) {
    SlicedSource comment(packet, skip, packet.Size() - std::min<std::uint64_t>(skip, packet.Size()));
    ReadVorbisComment(comment, fields);
}

// Vorbis and Opus send the comment as their second packet, after "\x03vorbis" or "OpusTags".
void ReadCodecComment(OggPacketReader& packets, std::string_view magic, TagFields& fields) {
    std::optional<OggPacket> packet = packets.Next();
    if (packet && packet->bytes.Read(0, magic.size()) == magic) ReadCommentAfter(packet->bytes, magic.size(), fields);
}

// FLAC sends its other metadata blocks as header packets; the VORBIS_COMMENT block is one of them.
void ReadFlacComment(OggPacketReader& packets, int headerPackets, TagFields& fields) {
    const int count = headerPackets > 0 ? std::min(headerPackets, kMaxFlacHeaderPackets) : kMaxFlacHeaderPackets;
    for (int i = 0; i < count; ++i) {
        std::optional<OggPacket> packet = packets.Next();
        const std::string_view header = packet ? packet->bytes.Read(0, kFlacBlockHeaderSize) : std::string_view();
        if (header.size() < kFlacBlockHeaderSize) return;
        if (ParseFlacBlockHeader(header).type == kFlacVorbisComment) {
            ReadCommentAfter(packet->bytes, kFlacBlockHeaderSize, fields);
            return;
        }
    }
}

void ReadComment(OggPacketReader& packets, const Identification& id, TagFields& fields) {
    if (!packets.Next()) return;  // the identification header, read already
    switch (id.codec) {
        case Codec::Vorbis: ReadCodecComment(packets, "\x03vorbis", fields); break;
        case Codec::Opus: ReadCodecComment(packets, "OpusTags", fields); break;
        case Codec::Flac: ReadFlacComment(packets, id.headerPackets, fields); break;
    }
}

std::uint64_t BitRateOf(ByteSource& file, const Stream& stream, std::uint64_t audioStart) {
    const Identification& id = stream.identification;
    if (id.nominalBitRate > 0) return id.nominalBitRate;
    std::uint64_t samples = id.totalSamples;
    if (samples == 0) {
        const std::optional<std::uint64_t> granule = LastGranule(file, stream.serial);
        samples = granule && *granule > id.preSkip ? *granule - id.preSkip : 0;
    }
    const std::uint64_t audioBytes = file.Size() > audioStart ? file.Size() - audioStart : 0;
    return AverageBitRate(audioBytes, samples, id.granuleRate);
}

}  // namespace

bool ReadOggInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    if (!OpenRecordFile(file, record, why)) return false;
    const std::optional<Stream> stream = FindAudioStream(file, why);
    if (!stream) return false;

    OggPacketReader packets(file, stream->serial);
    TagFields fields;
    ReadComment(packets, stream->identification, fields);

    MediaInfo read = record;
    fields.ApplyTo(read);
    SetStreamRates(read, BitRateOf(file, *stream, packets.Position()), stream->identification.sampleRate);
    record = std::move(read);
    return true;
}

}  // namespace media
