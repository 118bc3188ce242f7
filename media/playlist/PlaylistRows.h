#pragma once
// Playlist rows: the grid's eight columns, how a media file or address becomes a row, and its fallback title.
#include <cstdint>
#include <string>

#include "media/playlist/GridProxy.h"

namespace media {

// Cell columns of a playlist row.
namespace column {
inline constexpr std::int32_t kNumber = 0;
inline constexpr std::int32_t kTitle = 2;
inline constexpr std::int32_t kArtist = 4;
inline constexpr std::int32_t kTime = 6;
inline constexpr std::int32_t kLocation = 7;
}  // namespace column

// Row tags.
inline constexpr std::int32_t kTagOrdinary = 0;
inline constexpr std::int32_t kTagCurrent = 1;
inline constexpr std::int32_t kTagFailed = 2;

// The grid holds at most this many rows: row numbers are 16-bit.
inline constexpr std::int32_t kMaxRows = 32767;

// Adds the eight columns (number, title, artist, time, location and the separators between them).
void SetUpColumns(GridProxy& grid);

// Appends a row: "<number>." and the four texts. False when the grid refused the row (it is full).
bool AddRow(GridProxy& grid, std::int32_t number, const std::u16string& title, const std::u16string& artist,
            const std::u16string& time, const std::u16string& location);

// Reads the file's tags and appends its row; an empty location adds nothing. A cue sheet (".cue") adds a row for
// each of its tracks, and so does an audio file carrying a sheet inside; a sheet whose audio is missing adds nothing
// and says why on stderr. False only when the grid refused a row (it is full).
bool AddFile(GridProxy& grid, const std::u16string& location);

// The upper-cased last path segment less its extension: "My Song.mp3" gives "MY SONG".
std::u16string TitleFromPath(const std::u16string& location);

// Removes every double quote: list files keep each cell between quotes.
std::u16string WithoutQuotes(std::u16string text);

}  // namespace media
