#pragma once

#include "media/readers/ByteSource.h"
#include "media/readers/SlicedSource.h"

#include <cstdint>
#include <optional>
#include <string>

namespace media {

// One Ogg page header: "OggS", version 0, header type, granule position, stream serial number,
// page sequence number, CRC, and the lacing table that splits the body into packet pieces.
struct OggPage {
    static constexpr std::uint8_t kContinued = 1;  // the body begins with the rest of a packet
    static constexpr std::uint8_t kFirst = 2;      // the first page of its stream

    std::uint64_t offset = 0;
    std::uint8_t type = 0;
    std::uint64_t granule = 0;
    std::uint32_t serial = 0;
    std::uint32_t sequence = 0;
    std::string lacing;
    std::uint64_t bodyOffset = 0;
    std::uint64_t bodySize = 0;

    std::uint64_t end() const { return bodyOffset + bodySize; }
};

// The page at `offset` when its header and lacing table are there and well-formed. The body may
// run past the end of a file cut short. The CRC is not checked: it guards the audio, and a page
// whose structure holds gives its texts even when a byte of it was damaged.
std::optional<OggPage> ReadOggPage(ByteSource& file, std::uint64_t offset);

struct OggPacket {
    SlicedSource bytes;
    bool complete = true;  // false when damage or a bound cut it short: only its start is there
};

// The packets of one logical stream, in order, each gathered from its pieces on successive pages;
// pages of other streams are passed over. At most kMaxPages pages are looked at, so a damaged or
// hostile file costs a bounded number of reads.
class OggPacketReader {
public:
    static constexpr int kMaxPages = 1024;

    OggPacketReader(ByteSource& file, std::uint32_t serial) : file_(file), serial_(serial) {}

    // The next packet; none at the end of the stream, at damage, or past the page bound. A packet
    // that a lost page (a gap in the sequence numbers) or a page that does not continue it cuts
    // short comes with what arrived.
    std::optional<OggPacket> Next();
    // Where the last page read ends: the packets read so far lie before it.
    std::uint64_t Position() const { return nextPageOffset_; }

private:
    bool LoadNextPage();
    // Passes over the pieces, at the start of the page, of a packet that began on a page not read.
    void SkipContinuedPacket();

    ByteSource& file_;
    std::uint32_t serial_;
    std::optional<OggPage> page_;
    std::size_t segment_ = 0;          // next entry of the lacing table
    std::uint64_t segmentOffset_ = 0;  // where its piece starts
    std::uint64_t nextPageOffset_ = 0;
    int pagesRead_ = 0;
    bool pageFollowsGap_ = false;
};

// The granule position of the stream's last page that ends a packet, found among the whole pages
// in the last 64 KiB of the file (a page is never longer); none when there is no such page there.
std::optional<std::uint64_t> LastGranule(ByteSource& file, std::uint32_t serial);

}  // namespace media
