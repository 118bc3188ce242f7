#pragma once
// FLAC, Ogg (Vorbis, Opus, FLAC) and MP4 files built byte by byte, laid out as encoders and taggers
// write them, for the reader tests and the fuzz seeds.

#include "tests/media/readers/TagFileBuilder.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tagfile {

// --- Vorbis comment ------------------------------------------------------------------------------

// Vendor text, field count, then each "NAME=value" field, every length 32-bit little-endian.
inline std::string VorbisComment(const std::vector<std::string>& fields, std::string_view vendor = "test encoder") {
    std::string out = LittleEndian(vendor.size(), 4) + std::string(vendor) + LittleEndian(fields.size(), 4);
    for (const std::string& field : fields) out += LittleEndian(field.size(), 4) + field;
    return out;
}

// --- FLAC ----------------------------------------------------------------------------------------

inline constexpr int kStreamInfoBlock = 0;
inline constexpr int kPaddingBlock = 1;
inline constexpr int kVorbisCommentBlock = 4;
inline constexpr int kPictureBlock = 6;

inline std::string FlacBlock(int type, std::string_view body, bool last = false) {
    return static_cast<char>((last ? 0x80 : 0) | type) + BigEndian(static_cast<std::uint32_t>(body.size()), 3) +
           std::string(body);
}

// STREAMINFO body: 4096-sample blocks, unknown frame sizes, 16-bit stereo unless told, no MD5.
inline std::string FlacStreamInfo(std::uint32_t sampleRate, std::uint64_t totalSamples, int channels = 2,
                                  int bits = 16) {
    std::string out = BigEndian(4096, 2) + BigEndian(4096, 2) + BigEndian(0, 3) + BigEndian(0, 3);
    const std::uint64_t packed = (std::uint64_t{sampleRate} << 44) | (std::uint64_t(channels - 1) << 41) |
                                 (std::uint64_t(bits - 1) << 36) | (totalSamples & 0xFFFFFFFFFull);
    out += BigEndian(static_cast<std::uint32_t>(packed >> 32), 4) + BigEndian(static_cast<std::uint32_t>(packed), 4);
    return out + std::string(16, '\0');
}

// "fLaC", the blocks with the last one marked last, then `audioBytes` of frames.
inline std::string FlacFile(const std::vector<std::string>& blocks, std::size_t audioBytes = 4000) {
    std::string out = "fLaC";
    std::size_t lastBlock = 0;
    for (const std::string& block : blocks) {
        lastBlock = out.size();
        out += block;
    }
    if (!blocks.empty()) out[lastBlock] = static_cast<char>(out[lastBlock] | 0x80);
    return out + std::string(audioBytes, '\x55');
}

// --- Ogg -----------------------------------------------------------------------------------------

inline std::uint32_t OggCrc(std::string_view bytes) {
    std::uint32_t crc = 0;
    for (char c : bytes) {
        crc ^= std::uint32_t{static_cast<std::uint8_t>(c)} << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

inline constexpr std::uint8_t kOggContinued = 1;
inline constexpr std::uint8_t kOggFirst = 2;
inline constexpr std::uint8_t kOggLast = 4;

// One page with a correct CRC; `lacing` holds the segment lengths of `body`.
inline std::string OggPage(std::uint8_t type, std::uint64_t granule, std::uint32_t serial, std::uint32_t sequence,
                           const std::vector<std::uint8_t>& lacing, std::string_view body) {
    std::string page = "OggS" + std::string(1, '\0') + static_cast<char>(type) + LittleEndian(granule, 8) +
                       LittleEndian(serial, 4) + LittleEndian(sequence, 4) + std::string(4, '\0') +
                       static_cast<char>(lacing.size());
    for (std::uint8_t length : lacing) page += static_cast<char>(length);
    page += body;
    const std::string crc = LittleEndian(OggCrc(page), 4);
    page.replace(22, 4, crc);
    return page;
}

// Lays packets on the pages of one stream as a muxer does: the first packet alone on the first
// page, the others back to back on pages of at most `pageBody` bytes, a packet that does not fit
// going on over the next pages. Sequence numbers count from 0; header pages have granule 0.
inline std::vector<std::string> OggHeaderPages(std::uint32_t serial, const std::vector<std::string>& packets,
                                               std::size_t pageBody = 4096) {
    struct Segment {
        std::uint8_t length;
        std::size_t packet, offset;
    };
    const auto segmentsOf = [](const std::string& packet, std::size_t index) {
        std::vector<Segment> out;
        std::size_t offset = 0;
        for (; packet.size() - offset >= 255; offset += 255) out.push_back({255, index, offset});
        out.push_back({static_cast<std::uint8_t>(packet.size() - offset), index, offset});
        return out;
    };
    std::vector<std::string> pages;
    std::uint32_t sequence = 0;
    const auto emit = [&](std::uint8_t type, const std::vector<Segment>& segments) {
        std::vector<std::uint8_t> lacing;
        std::string body;
        for (const Segment& s : segments) {
            lacing.push_back(s.length);
            body += packets[s.packet].substr(s.offset, s.length);
        }
        pages.push_back(OggPage(type, 0, serial, sequence++, lacing, body));
    };
    emit(kOggFirst, segmentsOf(packets[0], 0));

    std::vector<Segment> rest;
    for (std::size_t i = 1; i < packets.size(); ++i)
        for (const Segment& s : segmentsOf(packets[i], i)) rest.push_back(s);
    std::vector<Segment> page;
    std::size_t bodySize = 0;
    bool continued = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (page.size() == 255 || bodySize + rest[i].length > pageBody) {
            emit(continued ? kOggContinued : 0, page);
            continued = page.back().length == 255;
            page.clear();
            bodySize = 0;
        }
        page.push_back(rest[i]);
        bodySize += rest[i].length;
    }
    if (!page.empty()) emit(continued ? kOggContinued : 0, page);
    return pages;
}

// Audio pages: packets of 1000 bytes (the last one shorter), 16 a page, the pages' granule
// positions rising to `granule` on the last page, which ends the stream.
inline std::string OggAudioPages(std::uint32_t serial, std::uint32_t firstSequence, std::uint64_t granule,
                                 std::size_t bytes) {
    constexpr std::size_t kPacketBytes = 1000, kPacketsPerPage = 16;
    std::string out;
    std::uint32_t sequence = firstSequence;
    for (std::size_t done = 0; done < bytes;) {
        std::vector<std::uint8_t> lacing;
        std::size_t body = 0;
        for (std::size_t packet = 0; packet < kPacketsPerPage && done + body < bytes; ++packet) {
            const std::size_t size = std::min(kPacketBytes, bytes - done - body);
            lacing.insert(lacing.end(), size / 255, 255);
            lacing.push_back(static_cast<std::uint8_t>(size % 255));
            body += size;
        }
        done += body;
        const bool last = done == bytes;
        out += OggPage(last ? kOggLast : 0, last ? granule : granule * done / bytes, serial, sequence++, lacing,
                       std::string(body, '\x33'));
    }
    return out;
}

inline std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts) out += part;
    return out;
}

inline std::string VorbisIdentification(std::uint32_t sampleRate, std::int32_t nominalBitRate, int channels = 2) {
    return "\x01vorbis" + LittleEndian(0, 4) + static_cast<char>(channels) + LittleEndian(sampleRate, 4) +
           LittleEndian(0, 4) + LittleEndian(static_cast<std::uint32_t>(nominalBitRate), 4) + LittleEndian(0, 4) +
           "\xB8\x01";
}

inline std::string VorbisCommentPacket(const std::vector<std::string>& fields) {
    return "\x03vorbis" + VorbisComment(fields) + "\x01";
}

inline std::string VorbisSetupPacket() { return "\x05vorbis" + std::string(300, '\x42'); }

inline std::string OpusHead(std::uint32_t inputRate, std::uint16_t preSkip = 312, int channels = 2) {
    return "OpusHead" + std::string(1, '\x01') + static_cast<char>(channels) + LittleEndian(preSkip, 2) +
           LittleEndian(inputRate, 4) + LittleEndian(0, 2) + std::string(1, '\0');
}

inline std::string OpusTags(const std::vector<std::string>& fields) { return "OpusTags" + VorbisComment(fields); }

// An Ogg Vorbis file: three header packets, then audio pages ending at `samples`.
inline std::string OggVorbisFile(const std::vector<std::string>& fields, std::uint32_t sampleRate = 44100,
                                 std::int32_t nominalBitRate = 128000, std::uint64_t samples = 441000,
                                 std::uint32_t serial = 0x1234) {
    auto pages = OggHeaderPages(
        serial, {VorbisIdentification(sampleRate, nominalBitRate), VorbisCommentPacket(fields), VorbisSetupPacket()});
    pages.push_back(OggAudioPages(serial, static_cast<std::uint32_t>(pages.size()), samples, 2000));
    return Joined(pages);
}

// An Ogg Opus file: OpusHead, OpusTags, then audio pages of `audioBytes` ending at `granule`.
inline std::string OggOpusFile(const std::vector<std::string>& fields, std::uint32_t inputRate = 44100,
                               std::uint64_t granule = 480312, std::size_t audioBytes = 2000,
                               std::uint32_t serial = 77) {
    auto pages = OggHeaderPages(serial, {OpusHead(inputRate), OpusTags(fields)});
    pages.push_back(OggAudioPages(serial, static_cast<std::uint32_t>(pages.size()), granule, audioBytes));
    return Joined(pages);
}

// FLAC in Ogg: 0x7F "FLAC" 1.0, the count of header packets after it, "fLaC" and STREAMINFO; then
// one metadata block a packet.
inline std::string OggFlacFile(const std::vector<std::string>& fields, std::uint32_t sampleRate = 48000,
                               std::uint64_t totalSamples = 480000, std::uint32_t serial = 5) {
    const std::string first =
        "\x7F"
        "FLAC\x01" +
        std::string(1, '\0') + BigEndian(1, 2) + "fLaC" +
        FlacBlock(kStreamInfoBlock, FlacStreamInfo(sampleRate, totalSamples));
    auto pages = OggHeaderPages(serial, {first, FlacBlock(kVorbisCommentBlock, VorbisComment(fields), true)});
    pages.push_back(OggAudioPages(serial, static_cast<std::uint32_t>(pages.size()), totalSamples, 3000));
    return Joined(pages);
}

// --- MP4 -----------------------------------------------------------------------------------------

inline std::string Mp4Box(std::string_view type, std::string_view content) {
    return BigEndian(static_cast<std::uint32_t>(8 + content.size()), 4) + std::string(type) + std::string(content);
}

// The same box with a 64-bit size after its type.
inline std::string Mp4LargeBox(std::string_view type, std::string_view content) {
    return BigEndian(1, 4) + std::string(type) + BigEndian(0, 4) +
           BigEndian(static_cast<std::uint32_t>(16 + content.size()), 4) + std::string(content);
}

inline std::string Mp4FullBox(std::string_view type, std::string_view content, std::uint8_t version = 0) {
    return Mp4Box(type, static_cast<char>(version) + std::string(3, '\0') + std::string(content));
}

inline constexpr std::uint32_t kMp4Utf8 = 1;
inline constexpr std::uint32_t kMp4Utf16 = 2;
inline constexpr std::uint32_t kMp4Integer = 21;

inline std::string Mp4Data(std::string_view value, std::uint32_t type = kMp4Utf8) {
    return Mp4Box("data", BigEndian(type, 4) + BigEndian(0, 4) + std::string(value));
}

// An item of the iTunes list: "\xA9nam" and its kin, with one data box a value.
inline std::string Mp4Item(std::string_view type, const std::vector<std::string>& values) {
    std::string content;
    for (const std::string& value : values) content += Mp4Data(value);
    return Mp4Box(type, content);
}

// A free-form item: "----" with mean, name and data.
inline std::string Mp4FreeForm(std::string_view name, std::string_view value) {
    return Mp4Box("----", Mp4FullBox("mean", "com.apple.iTunes") + Mp4FullBox("name", name) + Mp4Data(value));
}

// udta/meta/ilst; ISO's meta is a full box, QuickTime's carries no version and flags.
inline std::string Mp4UserData(std::string_view items, bool isoMeta = true) {
    const std::string handler = Mp4FullBox("hdlr", BigEndian(0, 4) + "mdir" + "appl" + std::string(9, '\0'));
    const std::string children = handler + Mp4Box("ilst", items) + Mp4Box("free", std::string(64, '\0'));
    return Mp4Box("udta", isoMeta ? Mp4FullBox("meta", children) : Mp4Box("meta", children));
}

// An esds box whose decoder configuration names `averageBitRate`; descriptor lengths in the
// 4-byte form most encoders write.
inline std::string Mp4Esds(std::uint32_t averageBitRate) {
    const auto descriptor = [](int tag, const std::string& body) {
        return static_cast<char>(tag) + std::string("\x80\x80\x80") + static_cast<char>(body.size()) + body;
    };
    const std::string decoderConfig = std::string("\x40\x15") + BigEndian(0, 3) + BigEndian(averageBitRate + 8000, 4) +
                                      BigEndian(averageBitRate, 4) + descriptor(5, "\x12\x10");
    const std::string es =
        BigEndian(1, 2) + std::string(1, '\0') + descriptor(4, decoderConfig) + descriptor(6, "\x02");
    return Mp4FullBox("esds", descriptor(3, es));
}

inline std::string Mp4AudioEntry(std::uint32_t sampleRate, std::uint32_t averageBitRate) {
    return Mp4Box("mp4a", std::string(6, '\0') + BigEndian(1, 2) + std::string(8, '\0') + BigEndian(2, 2) +
                              BigEndian(16, 2) + std::string(4, '\0') + BigEndian(sampleRate << 16, 4) +
                              Mp4Esds(averageBitRate));
}

// QuickTime's sound descriptions: version 1 adds 16 bytes after the rate, version 2 keeps the rate
// as a 64-bit float and its children after 64 bytes.
inline std::string Mp4QuickTimeAudioEntry(int version, std::uint32_t sampleRate, std::uint32_t averageBitRate) {
    std::string fields = std::string(6, '\0') + BigEndian(1, 2) + BigEndian(static_cast<std::uint32_t>(version), 2) +
                         std::string(6, '\0');
    if (version == 1) {
        fields += BigEndian(2, 2) + BigEndian(16, 2) + std::string(4, '\0') + BigEndian(sampleRate << 16, 4) +
                  std::string(16, '\0');
    } else {
        const double rate = sampleRate;
        std::uint64_t bits = 0;
        std::memcpy(&bits, &rate, sizeof bits);
        fields += BigEndian(3, 2) + BigEndian(16, 2) + BigEndian(0xFFFE, 2) + BigEndian(0, 2) + BigEndian(65536, 4) +
                  BigEndian(72, 4) + BigEndian(static_cast<std::uint32_t>(bits >> 32), 4) +
                  BigEndian(static_cast<std::uint32_t>(bits), 4) + BigEndian(2, 4) + BigEndian(0x7F000000, 4) +
                  BigEndian(16, 4) + std::string(12, '\0');
    }
    return Mp4Box("mp4a", fields + Mp4Esds(averageBitRate));
}

// A sound track: mdhd counts in samples at `sampleRate`; the sample entry is an MPEG-4 audio one
// unless given.
inline std::string Mp4SoundTrack(std::uint32_t sampleRate, std::uint32_t averageBitRate, std::uint32_t duration,
                                 std::string_view handler = "soun", std::string entry = {}) {
    if (entry.empty()) entry = Mp4AudioEntry(sampleRate, averageBitRate);
    const std::string mdhd = Mp4FullBox("mdhd", BigEndian(0, 4) + BigEndian(0, 4) + BigEndian(sampleRate, 4) +
                                                    BigEndian(duration, 4) + BigEndian(0x55C4, 2) + BigEndian(0, 2));
    const std::string hdlr =
        Mp4FullBox("hdlr", BigEndian(0, 4) + std::string(handler) + std::string(12, '\0') + std::string("Sound", 6));
    const std::string stsd = Mp4FullBox("stsd", BigEndian(1, 4) + entry);
    return Mp4Box(
        "trak",
        Mp4Box("tkhd", std::string(84, '\0')) +
            Mp4Box("mdia", mdhd + hdlr + Mp4Box("minf", Mp4Box("stbl", stsd + Mp4FullBox("stts", BigEndian(0, 4))))));
}

inline std::string Mp4FileType() { return Mp4Box("ftyp", "M4A " + BigEndian(0, 4) + "M4A mp42isom"); }

// ftyp, moov holding the tracks and user data, then mdat of `mediaBytes`.
inline std::string M4aFile(std::string_view moovContent, std::size_t mediaBytes = 16000) {
    return Mp4FileType() + Mp4Box("moov", moovContent) + Mp4Box("mdat", std::string(mediaBytes, '\x21'));
}

}  // namespace tagfile
