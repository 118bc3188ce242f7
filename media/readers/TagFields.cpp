#include "media/readers/TagFields.h"

#include "media/readers/TagText.h"

#include <algorithm>

namespace media {
namespace {

// A joined value stops growing here: a hostile tag may repeat a name thousands of times.
constexpr std::size_t kMaxJoinedLength = 64 * 1024;

bool TakesFirstValueOnly(TagField field) { return field == TagField::Year || field == TagField::Lyrics; }

// "2008-05-01" and "2008-05-01T07:00:00Z" give 2008; any other text is kept as written.
std::u16string YearOf(std::u16string value) {
    const bool leadingYear = value.size() >= 4 && std::all_of(value.begin(), value.begin() + 4,
                                                              [](char16_t c) { return c >= u'0' && c <= u'9'; });
    if (leadingYear && (value.size() == 4 || value[4] < u'0' || value[4] > u'9')) value.resize(4);
    return value;
}

}  // namespace

bool TagFields::TakeReadAllowance(std::uint64_t bytes) {
    if (bytes > readAllowance_) return false;
    readAllowance_ -= bytes;
    return true;
}

void TagFields::Add(TagField field, std::u16string_view value) {
    std::u16string text = tagtext::Clean(value);
    if (text.empty()) return;
    std::u16string& stored = values_[static_cast<std::size_t>(field)];
    if (stored.empty()) {
        // Lyrics lose doubled spaces as in the other formats' tags.
        stored = field == TagField::Year     ? YearOf(std::move(text))
                 : field == TagField::Lyrics ? tagtext::CollapseSpacePairs(text)
                                             : std::move(text);
    } else if (!TakesFirstValueOnly(field) && stored.size() + 1 + text.size() <= kMaxJoinedLength) {
        stored += u'/';
        stored += text;
    }
}

void TagFields::Apply(MediaInfo& info, bool onlyEmpty) const {
    std::u16string* const targets[kFieldCount] = {&info.Title,  &info.Artist, &info.Album,   &info.Year,
                                                  &info.Lyrics, &info.Writer, &info.Composer};
    for (std::size_t i = 0; i < kFieldCount; ++i)
        if (!values_[i].empty() && (!onlyEmpty || targets[i]->empty())) *targets[i] = values_[i];
}

}  // namespace media
