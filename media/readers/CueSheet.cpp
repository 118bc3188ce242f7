#include "media/readers/CueSheet.h"

#include "media/readers/ByteCursor.h"
#include "media/readers/ByteSource.h"
#include "media/readers/FlacBlocks.h"
#include "media/readers/Id3Tags.h"
#include "media/readers/SlicedSource.h"
#include "media/readers/TagFields.h"
#include "media/readers/VorbisComment.h"
#include "platform/text/TextCodePage.h"

#include <array>

namespace media {
namespace {

constexpr std::uint8_t kFlacCueSheet = 5;
// Encoders write a handful of blocks; padding and pictures included, real files stay far below.
constexpr int kMaxFlacBlocks = 256;
// The CUESHEET block: catalog number (128), lead-in samples (8), a flag byte and 258 reserved bytes, then the
// track count; each track is 36 bytes and its index points 12 bytes each.
constexpr std::size_t kFlacCueTracksAt = 396;
constexpr std::size_t kFlacCueTrackSize = 36;
constexpr std::size_t kFlacCueIndexSize = 12;
// The lead-out, the last track of every CUESHEET block, starts where the audio ends; it is not played.
constexpr int kFlacLeadOutCd = 170;
constexpr int kFlacLeadOutOther = 255;
// More digits than any real time; they would only overflow.
constexpr std::size_t kMaxDigits = 9;

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::u16string Upper(std::u16string_view word) {
    std::u16string out(word);
    for (char16_t& c : out) c = UpperAscii(c);
    return out;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

// The words of a line: a quoted value is one word without its quotes (to the end of the line when the closing
// quote is missing); at most `most` words are taken.
std::vector<std::u16string_view> Words(std::u16string_view line, std::size_t most) {
    std::vector<std::u16string_view> words;
    std::size_t i = 0;
    while (words.size() < most) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i == line.size()) break;
        if (line[i] == u'"') {
            const std::size_t close = line.find(u'"', i + 1);
            const std::size_t end = close == std::u16string_view::npos ? line.size() : close;
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end == line.size() ? end : end + 1;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsSpace(line[i])) ++i;
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<std::uint64_t> Number(std::u16string_view digits) {
    if (digits.empty() || digits.size() > kMaxDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// "mm:ss:ff", minutes unbounded as sheets of long files write them.
std::optional<std::uint64_t> Frames(std::u16string_view time) {
    const std::size_t first = time.find(u':');
    const std::size_t second = first == std::u16string_view::npos ? first : time.find(u':', first + 1);
    if (second == std::u16string_view::npos) return std::nullopt;
    const auto minutes = Number(time.substr(0, first));
    const auto seconds = Number(time.substr(first + 1, second - first - 1));
    const auto frames = Number(time.substr(second + 1));
    if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= kCueFramesPerSecond) return std::nullopt;
    return (*minutes * 60 + *seconds) * kCueFramesPerSecond + *frames;
}

// Builds a sheet line by line, each track taken once it is complete.
class SheetBuilder {
public:
    void Take(std::u16string_view line) {
        const std::vector<std::u16string_view> words = Words(line, 3);
        if (words.empty()) return;
        const std::u16string keyword = Upper(words[0]);
        const std::u16string_view value = words.size() > 1 ? words[1] : std::u16string_view();
        if (keyword == u"FILE") {
            EndTrack();
            inTrack_ = false;
            sheet_.files.push_back(CueFile{std::u16string(value), {}});
        } else if (keyword == u"TRACK") {
            EndTrack();
            inTrack_ = true;
            const bool audio = words.size() > 2 && Upper(words[2]) == u"AUDIO";
            if (audio && !sheet_.files.empty())
                track_ = CueTrack{static_cast<int>(Number(value).value_or(0)), {}, {}, 0};
        } else if (keyword == u"TITLE" || keyword == u"PERFORMER") {
            const bool title = keyword == u"TITLE";
            if (track_)
                (title ? track_->title : track_->performer) = value;
            else if (!inTrack_)
                (title ? sheet_.title : sheet_.performer) = value;
        } else if (keyword == u"INDEX" && track_ && words.size() > 2 && Number(value) == 1u) {
            start_ = Frames(words[2]);
        } else if (keyword == u"REM" && !inTrack_ && words.size() > 2) {
            const std::u16string name = Upper(value);
            if (name == u"DATE") sheet_.date = words[2];
            if (name == u"GENRE") sheet_.genre = words[2];
        }
    }

    std::optional<CueSheet> Finish() {
        EndTrack();
        std::erase_if(sheet_.files, [](const CueFile& file) { return file.tracks.empty(); });
        if (sheet_.files.empty()) return std::nullopt;
        for (CueFile& file : sheet_.files)
            for (CueTrack& track : file.tracks)
                if (track.performer.empty()) track.performer = sheet_.performer;
        return std::move(sheet_);
    }

private:
    void EndTrack() {
        if (track_ && start_) {
            std::vector<CueTrack>& tracks = sheet_.files.back().tracks;
            // A track that starts before the one before it would play backwards: the sheet is wrong there.
            if (tracks.size() < kMaxCueTracksPerFile && (tracks.empty() || *start_ >= tracks.back().startFrame)) {
                track_->startFrame = *start_;
                tracks.push_back(std::move(*track_));
            }
        }
        track_.reset();
        start_.reset();
    }

    CueSheet sheet_;
    std::optional<CueTrack> track_;  // the audio track being read
    std::optional<std::uint64_t> start_;
    bool inTrack_ = false;  // after a TRACK line of any type, until the next FILE
};

// The CUESHEET block's audio tracks, their starts in frames at the stream's sample rate.
std::optional<CueSheet> ParseFlacCueBlock(ByteSource& block, std::uint32_t sampleRate) {
    const std::string_view countByte = block.Read(kFlacCueTracksAt - 1, 1);
    if (countByte.empty() || sampleRate == 0) return std::nullopt;
    CueFile file;
    std::uint64_t pos = kFlacCueTracksAt;
    for (int i = 0; i < ByteAt(countByte, 0); ++i) {
        const std::string_view track = block.Read(pos, kFlacCueTrackSize);
        if (track.size() < kFlacCueTrackSize) break;
        const std::uint64_t offset = (std::uint64_t{BigEndian(track, 0, 4)} << 32) | BigEndian(track, 4, 4);
        const int number = ByteAt(track, 8);
        const bool audio = (ByteAt(track, 21) & 0x80) == 0;
        const int indexes = ByteAt(track, 35);
        pos += kFlacCueTrackSize;
        std::optional<std::uint64_t> start;
        for (int k = 0; k < indexes; ++k, pos += kFlacCueIndexSize) {
            const std::string_view index = block.Read(pos, kFlacCueIndexSize);
            if (index.size() < kFlacCueIndexSize) break;
            const std::uint64_t at = (std::uint64_t{BigEndian(index, 0, 4)} << 32) | BigEndian(index, 4, 4);
            if (ByteAt(index, 8) == 1) start = offset + at;
        }
        if (number == kFlacLeadOutCd || number == kFlacLeadOutOther || !audio || !start) continue;
        // Sample counts past any real stream would overflow the product; such a block is no sheet.
        if (*start > (std::uint64_t{1} << 48)) return std::nullopt;
        const std::uint64_t frame = (*start * kCueFramesPerSecond + sampleRate / 2) / sampleRate;
        if (file.tracks.size() >= kMaxCueTracksPerFile) break;
        if (file.tracks.empty() || frame >= file.tracks.back().startFrame)
            file.tracks.push_back(CueTrack{number, {}, {}, frame});
    }
    if (file.tracks.empty()) return std::nullopt;
    CueSheet sheet;
    sheet.files.push_back(std::move(file));
    return sheet;
}

}  // namespace

std::optional<CueSheet> ParseCueSheet(std::u16string_view text) {
    SheetBuilder builder;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        builder.Take(line);
        start = end + 1;
    }
    return builder.Finish();
}

std::optional<CueSheet> ReadCueSheet(std::string_view bytes) {
    if (bytes.size() > kMaxCueSheetBytes) return std::nullopt;
    return ParseCueSheet(text::DecodeFoundCodePage(bytes).text);
}

std::optional<CueSheet> ReadFlacCueSheet(const std::string& utf8Path) {
    FileRegionReader file;
    if (!file.Open(utf8Path)) return std::nullopt;
    // Some taggers put an ID3v2 tag before the stream.
    const std::uint64_t start = StreamStartAfterId3v2(file);
    if (start > file.Size() || file.Read(start, 4) != "fLaC") return std::nullopt;
    std::uint32_t sampleRate = 0;
    std::optional<std::pair<std::uint64_t, std::uint32_t>> cueBlock;  // its body's offset and length
    std::uint64_t pos = start + 4;
    for (int blocks = 0; blocks < kMaxFlacBlocks; ++blocks) {
        const std::string_view header = file.Read(pos, kFlacBlockHeaderSize);
        if (header.size() < kFlacBlockHeaderSize) break;
        const FlacBlockHeader block = ParseFlacBlockHeader(header);
        const std::uint64_t body = pos + kFlacBlockHeaderSize;
        if (block.type == kFlacStreamInfo && sampleRate == 0) {
            const auto stream = ParseFlacStreamInfo(file.Read(body, kFlacStreamInfoSize));
            if (stream) sampleRate = stream->sampleRate;
        } else if (block.type == kFlacVorbisComment) {
            SlicedSource comment(file, body, block.length);
            TagFields unused;
            std::string sheetText;
            ReadVorbisComment(comment, unused, &sheetText);
            if (!sheetText.empty()) return ReadCueSheet(sheetText);
        } else if (block.type == kFlacCueSheet && !cueBlock) {
            cueBlock = {body, block.length};
        }
        if (block.last) break;
        pos = body + block.length;
    }
    if (!cueBlock) return std::nullopt;
    SlicedSource cue(file, cueBlock->first, cueBlock->second);
    return ParseFlacCueBlock(cue, sampleRate);
}

std::u16string CueSeconds(std::uint64_t frames) {
    std::u16string out;
    for (char c : std::to_string(frames / kCueFramesPerSecond)) out += static_cast<char16_t>(c);
    // Six decimals tell every frame apart and bring it back exactly (a frame is 13.3 ms).
    std::uint64_t micro = ((frames % kCueFramesPerSecond) * 1000000 + kCueFramesPerSecond / 2) / kCueFramesPerSecond;
    if (micro == 0) return out;
    std::array<char16_t, 6> digits{};
    for (int i = 5; i >= 0; --i, micro /= 10)
        digits[static_cast<std::size_t>(i)] = static_cast<char16_t>(u'0' + micro % 10);
    std::size_t used = digits.size();
    while (digits[used - 1] == u'0') --used;
    out += u'.';
    out.append(digits.data(), used);
    return out;
}

}  // namespace media
