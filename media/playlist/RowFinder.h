#pragma once
// Finding playlist rows by what the user types: a row is found when every word typed occurs in its title, artist
// or file name, without regard to case; Chinese text matches as typed, and also by the pinyin initials of its
// characters ("zjl" finds 周杰伦). Kept apart from any window, so that it is measured and tested on its own.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// What a row is found by.
struct FindableRow {
    std::u16string title;
    std::u16string artist;
    std::u16string location;  // only its last part, the file name, is searched
};

class RowFinder {
public:
    // Takes rows 0..count-1 as `rowAt` gives them; the results start out as every row.
    void Index(std::size_t count, const std::function<FindableRow(std::size_t)>& rowAt);
    // The rows `query` finds, in list order; every row for a blank query. A query that only adds to the last one
    // (another letter typed) looks only among the last one's results.
    const std::vector<std::int32_t>& Find(std::u16string_view query);
    const std::vector<std::int32_t>& Results() const { return results_; }
    std::size_t RowCount() const { return rows_.size(); }

private:
    void ResetResults();

    std::vector<std::u16string> rows_;  // per row: its folded texts and initials, one after another
    std::u16string lastQuery_;
    std::vector<std::int32_t> results_;
};

// The first letter of the pinyin of one of the 3,755 common Chinese characters (GB2312 level 1, which is ordered
// by pinyin), in lower case; 0 for any other character.
char16_t PinyinInitial(char16_t c);

}  // namespace media
