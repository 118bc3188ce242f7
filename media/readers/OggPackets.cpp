#include "media/readers/OggPackets.h"

#include "media/readers/ByteCursor.h"

#include <algorithm>
#include <numeric>

namespace media {
namespace {

constexpr std::size_t kPageHeaderSize = 27;
// The last page lies within this many bytes of the end: a page holds at most 27 + 255 + 255 * 255.
constexpr std::uint64_t kTail = 65'307;
// A granule position of all ones: no packet ends on the page.
constexpr std::uint64_t kNoGranule = ~std::uint64_t{0};

}  // namespace

std::optional<OggPage> ReadOggPage(ByteSource& file, std::uint64_t offset) {
    const std::string_view header = file.Read(offset, kPageHeaderSize);
    if (header.size() < kPageHeaderSize || header.substr(0, 4) != "OggS" || ByteAt(header, 4) != 0) return std::nullopt;
    OggPage page;
    page.offset = offset;
    page.type = ByteAt(header, 5);
    page.granule = LittleEndian(header, 6, 8);
    page.serial = static_cast<std::uint32_t>(LittleEndian(header, 14, 4));
    page.sequence = static_cast<std::uint32_t>(LittleEndian(header, 18, 4));
    const std::size_t segments = ByteAt(header, 26);
    page.lacing = std::string(file.Read(offset + kPageHeaderSize, segments));
    if (page.lacing.size() < segments) return std::nullopt;
    page.bodyOffset = offset + kPageHeaderSize + segments;
    page.bodySize = std::accumulate(page.lacing.begin(), page.lacing.end(), std::uint64_t{0},
                                    [](std::uint64_t sum, char c) { return sum + static_cast<std::uint8_t>(c); });
    return page;
}

bool OggPacketReader::LoadNextPage() {
    while (pagesRead_ < kMaxPages) {
        std::optional<OggPage> page = ReadOggPage(file_, nextPageOffset_);
        if (!page) return false;
        ++pagesRead_;
        nextPageOffset_ = page->end();
        if (page->serial != serial_) continue;
        pageFollowsGap_ = page_ && page->sequence != page_->sequence + 1;
        page_ = std::move(page);
        segment_ = 0;
        segmentOffset_ = page_->bodyOffset;
        return true;
    }
    return false;
}

void OggPacketReader::SkipContinuedPacket() {
    while (segment_ < page_->lacing.size()) {
        const std::uint8_t length = static_cast<std::uint8_t>(page_->lacing[segment_++]);
        segmentOffset_ += length;
        if (length < 255) return;
    }
}

std::optional<OggPacket> OggPacketReader::Next() {
    OggPacket packet{SlicedSource(file_)};
    bool started = false;
    for (;;) {
        if (!page_ || segment_ == page_->lacing.size()) {
            if (!LoadNextPage()) {
                if (!started) return std::nullopt;
                packet.complete = false;
                return packet;
            }
            const bool continues = page_->type & OggPage::kContinued;
            if (started && (!continues || pageFollowsGap_)) {
                // The rest of this packet was lost; the page belongs to the packets after it.
                if (continues) SkipContinuedPacket();
                packet.complete = false;
                return packet;
            }
            if (!started && continues) SkipContinuedPacket();
            continue;
        }
        started = true;
        std::uint64_t length = 0;
        bool ends = false;
        while (segment_ < page_->lacing.size() && !ends) {
            const std::uint8_t piece = static_cast<std::uint8_t>(page_->lacing[segment_++]);
            length += piece;
            ends = piece < 255;
        }
        packet.bytes.Append(segmentOffset_, length);
        segmentOffset_ += length;
        if (ends) return packet;
    }
}

std::optional<std::uint64_t> LastGranule(ByteSource& file, std::uint32_t serial) {
    const std::uint64_t tailStart = file.Size() - std::min(file.Size(), kTail);
    const std::string tail(file.Read(tailStart, static_cast<std::size_t>(file.Size() - tailStart)));
    MemorySource memory(tail);
    for (std::size_t at = tail.size(); at > 0;) {
        at = tail.rfind("OggS", at - 1);
        if (at == std::string::npos) break;
        const std::optional<OggPage> page = ReadOggPage(memory, at);
        if (page && page->serial == serial && page->granule != kNoGranule && page->end() <= tail.size())
            return page->granule;
    }
    return std::nullopt;
}

}  // namespace media
