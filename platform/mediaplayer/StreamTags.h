#pragma once

#include <string>

typedef struct _GstTagList GstTagList;

namespace mediaplayer {

// Title and artist of the current media, gathered from the tag lists its elements announce.
// Later non-empty values win, so a radio stream's title follows the song on air.
class StreamTags {
public:
    void Add(const GstTagList* tags);
    void Clear();

    const std::u16string& Title() const { return title_; }
    const std::u16string& Artist() const { return artist_; }

private:
    std::u16string title_;
    std::u16string artist_;
};

}  // namespace mediaplayer
