#pragma once

#include <string>
#include <string_view>

namespace media {

// Replaces the file at `localPath` with `content` through a temporary file in the same folder that
// is flushed to disk and then renamed over the target, so the old file survives any failure. A
// symbolic link is written through to its target and stays a link; the file keeps its permissions.
// False, with errno telling why, when anything failed: then the old file is as it was.
bool WriteFileAtomically(const std::string& localPath, std::string_view content);

// Writes what the file `from` holds now to `to` as WriteFileAtomically does; false, with errno, when `from` could
// not be read whole or `to` not written.
bool CopyFileAtomically(const std::string& from, const std::string& to);

// Removes the temporary files that earlier saves of `localPath` left when they were killed half way: the writer of
// earlier versions named them "<file>.tmp-<process>-<number>" beside the file. A file of a process that still runs
// is its save under way and stays.
void RemoveLeftoverTemporaries(const std::string& localPath);

}  // namespace media
