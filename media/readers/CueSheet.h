#pragma once
// Cue sheets: the text file rippers write beside an album kept as one audio file, naming the file and where each
// track starts in it. Also found inside FLAC files (a CUESHEET block or a CUESHEET Vorbis comment).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// A sheet is a few kilobytes; anything far larger is no sheet, and is not read.
inline constexpr std::size_t kMaxCueSheetBytes = 1024 * 1024;
// A CD holds at most 99 tracks; a file's tracks beyond that are not taken.
inline constexpr std::size_t kMaxCueTracksPerFile = 99;
// Sheets count time in CD frames: 75 to a second.
inline constexpr std::uint32_t kCueFramesPerSecond = 75;

struct CueTrack {
    int number = 0;
    std::u16string title;          // empty when the sheet gives none
    std::u16string performer;      // the track's, else the sheet's; empty when neither is given
    std::uint64_t startFrame = 0;  // INDEX 01, in frames from the file's start
};

struct CueFile {
    std::u16string name;           // as the sheet names it, relative to the sheet's folder (or a full path)
    std::vector<CueTrack> tracks;  // in the sheet's order, each starting no earlier than the one before
};

struct CueSheet {
    std::u16string title;
    std::u16string performer;
    std::u16string date;         // REM DATE
    std::u16string genre;        // REM GENRE
    std::vector<CueFile> files;  // only files with at least one audio track
};

// The sheet in decoded text. Lines end in CRLF or LF; values are quoted or a single word. Tracks other than AUDIO,
// tracks without an INDEX 01 and tracks starting before the one before them are left out; INDEX 00 (the pregap)
// is not played. Nothing when the text holds no audio track.
std::optional<CueSheet> ParseCueSheet(std::u16string_view text);

// The sheet in a file's bytes, whatever code page it was written in; nothing beyond kMaxCueSheetBytes.
std::optional<CueSheet> ReadCueSheet(std::string_view bytes);

// The sheet inside the FLAC file at `utf8Path`: a CUESHEET Vorbis comment (which names titles) first, else the
// CUESHEET metadata block, whose tracks are given as a sheet naming no file. Nothing when there is neither.
std::optional<CueSheet> ReadFlacCueSheet(const std::string& utf8Path);

// A time in frames as seconds, exact to the frame, without trailing zeros: 18402 gives "245.36", 75 gives "1".
std::u16string CueSeconds(std::uint64_t frames);

}  // namespace media
