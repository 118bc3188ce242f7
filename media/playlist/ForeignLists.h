#pragma once
// Lists written by other players, read for the locations they name, and the M3U8 list the program offers besides
// its own ".lst".
//
// - M3U and M3U8: one entry a line; blank lines and lines that begin with "#" (#EXTM3U, #EXTINF and the like) are
//   left out, so a title is read from the file itself as any added file's is.
// - PLS: the File<n>= keys, in the order of their numbers.
// - XSPF: the first <location> of each <track>, a URI (relative ones are percent-encoded as well).
// An entry is a path (relative ones are taken from the list's folder), a file URI (its %XX as the bytes they stand
// for) or a web address, used as it stands; anything else (another host's file, a scheme the player does not
// stream) is left out. M3U8 is UTF-8 by its name; the code page of an M3U or PLS list is found from its bytes (a
// byte-order mark, valid UTF-8, else GBK, Big5 and the like); XSPF is XML and says its own. Lists are read whole,
// so only regular files up to kMaxListBytes are read, and no more than kMaxListEntries entries are taken.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/playlist/PlaylistFile.h"

namespace media {

enum class ListFormat { NotAList, Lst, M3u, M3u8, Pls, Xspf };

// The list format a file's name says (".lst", ".m3u", ".m3u8", ".pls", ".xspf", in any case).
ListFormat ListFormatOf(std::u16string_view path);

// Whether a list of this format is one of another player's, which the program reads but does not write back.
inline bool IsForeignList(ListFormat format) { return format != ListFormat::NotAList && format != ListFormat::Lst; }

inline constexpr std::size_t kMaxListBytes = 16 << 20;
// As many as the grid holds.
inline constexpr std::size_t kMaxListEntries = 32767;

// The locations `bytes` name as a list of `format` whose file lies in `listFolder` (bytes on disk, absolute).
std::vector<std::u16string> ForeignListEntries(std::string_view bytes, ListFormat format, std::string_view listFolder);

// The locations the list at `localPath` names, by the format its name says (a ".lst" list's rows' locations);
// nothing when it is no list or cannot be read (missing, not a regular file, larger than kMaxListBytes).
std::optional<std::vector<std::u16string>> ReadListEntries(const std::string& localPath);

// The locations with each list among them (by its name) replaced by the locations it names, up to kMaxListEntries in
// all, so that a list dropped, given on the command line or asked for from the desktop adds its songs. A list that
// cannot be read is left out, with a line on stderr; the entries of a list are not opened as lists again.
std::vector<std::u16string> WithListsOpened(const std::vector<std::u16string>& locations);

// The rows as an M3U8 list: #EXTM3U, then for each row an #EXTINF line (its time in seconds, -1 when unknown, and
// "artist - title") and its location, a path as it stands, or a file URI where the name is not UTF-8 or holds a
// line end, so that it reads back as the same name.
std::string EncodeM3u8(std::size_t rowCount, const std::function<PlaylistRecord(std::size_t)>& rowAt);

}  // namespace media
