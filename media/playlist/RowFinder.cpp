#include "media/playlist/RowFinder.h"

#include <QString>

#include <algorithm>
#include <array>
#include <memory>

#include "platform/text/AnsiText.h"

namespace media {

namespace {

// Between the texts of a row, so that no word is found across two of them.
constexpr char16_t kSeparator = u'\u0001';

// GB2312 level 1 lists its characters in pinyin order: the GBK code of the first character of each initial.
struct InitialStart {
    std::uint16_t code;
    char16_t initial;
};
constexpr std::array<InitialStart, 23> kInitialStarts{{
    {0xB0A1, u'a'}, {0xB0C5, u'b'}, {0xB2C1, u'c'}, {0xB4EE, u'd'}, {0xB6EA, u'e'}, {0xB7A2, u'f'},
    {0xB8C1, u'g'}, {0xB9FE, u'h'}, {0xBBF7, u'j'}, {0xBFA6, u'k'}, {0xC0AC, u'l'}, {0xC2E8, u'm'},
    {0xC4C3, u'n'}, {0xC5B6, u'o'}, {0xC5BE, u'p'}, {0xC6DA, u'q'}, {0xC8BB, u'r'}, {0xC8F6, u's'},
    {0xCBFA, u't'}, {0xCDDA, u'w'}, {0xCEF4, u'x'}, {0xD1B9, u'y'}, {0xD4D1, u'z'},
}};
constexpr std::uint16_t kLevelOneEnd = 0xD7F9;  // its last character

// The unified ideographs, where every level-1 character lies.
constexpr char16_t kIdeographsFirst = 0x4E00;
constexpr char16_t kIdeographsLast = 0x9FFF;

using InitialTable = std::array<char16_t, kIdeographsLast - kIdeographsFirst + 1>;

// Each level-1 character decoded once from its GBK code, with the initial of the range it lies in.
std::unique_ptr<InitialTable> BuildInitialTable() {
    auto table = std::make_unique<InitialTable>();
    table->fill(0);
    std::size_t range = 0;
    for (std::uint16_t code = kInitialStarts.front().code; code <= kLevelOneEnd; ++code) {
        const auto low = static_cast<unsigned char>(code & 0xFF);
        if (low < 0xA1 || low > 0xFE) continue;  // not a character's second byte
        while (range + 1 < kInitialStarts.size() && code >= kInitialStarts[range + 1].code) ++range;
        const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(low)};
        const std::u16string decoded = text::FromAnsi(std::string_view(bytes, 2));
        if (decoded.size() == 1 && decoded[0] >= kIdeographsFirst && decoded[0] <= kIdeographsLast)
            (*table)[decoded[0] - kIdeographsFirst] = kInitialStarts[range].initial;
    }
    return table;
}

std::u16string Folded(std::u16string_view text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()))
        .toCaseFolded()
        .toStdU16String();
}

std::u16string_view FileNameOf(std::u16string_view location) {
    const std::size_t slash = location.find_last_of(u"/\\");
    return slash == std::u16string_view::npos ? location : location.substr(slash + 1);
}

// The text with each common Chinese character replaced by its initial; empty when it has none of them.
std::u16string Initials(std::u16string_view folded) {
    std::u16string initials(folded);
    bool any = false;
    for (char16_t& c : initials) {
        if (const char16_t initial = PinyinInitial(c)) {
            c = initial;
            any = true;
        }
    }
    return any ? initials : std::u16string();
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

std::vector<std::u16string_view> WordsOf(std::u16string_view query) {
    std::vector<std::u16string_view> words;
    std::size_t i = 0;
    while (i < query.size()) {
        while (i < query.size() && IsSpace(query[i])) ++i;
        const std::size_t start = i;
        while (i < query.size() && !IsSpace(query[i])) ++i;
        if (i > start) words.push_back(query.substr(start, i - start));
    }
    return words;
}

}  // namespace

char16_t PinyinInitial(char16_t c) {
    if (c < kIdeographsFirst || c > kIdeographsLast) return 0;
    static const std::unique_ptr<InitialTable> kTable = BuildInitialTable();
    return (*kTable)[c - kIdeographsFirst];
}

void RowFinder::Index(std::size_t count, const std::function<FindableRow(std::size_t)>& rowAt) {
    rows_.clear();
    rows_.reserve(count);
    for (std::size_t r = 0; r < count; ++r) {
        const FindableRow row = rowAt(r);
        std::u16string texts = Folded(row.title);
        texts += kSeparator;
        texts += Folded(row.artist);
        texts += kSeparator;
        texts += Folded(FileNameOf(row.location));
        const std::u16string initials = Initials(texts);
        if (!initials.empty()) {
            texts += kSeparator;
            texts += initials;
        }
        rows_.push_back(std::move(texts));
    }
    ResetResults();
}

void RowFinder::ResetResults() {
    lastQuery_.clear();
    results_.resize(rows_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r) results_[r] = static_cast<std::int32_t>(r);
}

const std::vector<std::int32_t>& RowFinder::Find(std::u16string_view query) {
    const std::u16string folded = Folded(query);
    // Only what the last results hold can match a longer query; anything else starts from every row.
    if (folded.size() < lastQuery_.size() || folded.compare(0, lastQuery_.size(), lastQuery_) != 0) ResetResults();
    const std::vector<std::u16string_view> words = WordsOf(folded);
    if (!words.empty()) {
        std::erase_if(results_, [&](std::int32_t r) {
            const std::u16string_view texts = rows_[static_cast<std::size_t>(r)];
            return !std::all_of(words.begin(), words.end(),
                                [&](std::u16string_view word) { return texts.find(word) != texts.npos; });
        });
    }
    lastQuery_ = folded;
    return results_;
}

}  // namespace media
