#pragma once

#include <string>
#include <string_view>

namespace media {

// Replaces the file at `utf8Path` with `content` through a temporary file in the same folder that
// is flushed to disk and then renamed over the target, so the old file survives any failure. A
// symbolic link is written through to its target and stays a link; the file keeps its permissions.
bool writeFileAtomically(const std::string& utf8Path, std::string_view content);

}  // namespace media
