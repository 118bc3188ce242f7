#include "media/lyrics/LyricTable.h"

namespace media {

LyricTable& Lyrics() {
    static LyricTable table;
    return table;
}

}  // namespace media
