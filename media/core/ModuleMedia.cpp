#include "media/core/ModuleMedia.h"

namespace media {

SharedValues& Shared() {
    static SharedValues values;
    return values;
}

}  // namespace media
