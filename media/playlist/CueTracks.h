#pragma once
// Albums kept as one audio file with a cue sheet: each track of the sheet becomes a row whose location names the
// audio file and the track's span of it, "<audio path>#t=<start>,<end>" in seconds (the last track without an end),
// so a saved list plays the track again.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "media/readers/CueSheet.h"

namespace media {

struct SheetRow {
    std::u16string title;
    std::u16string artist;
    std::u16string location;
};

struct SheetRows {
    std::vector<SheetRow> rows;
    std::vector<std::u16string> missingAudio;  // the names of the files the sheet names and that were not found
};

// Whether a location is a cue sheet (".cue", case ignored).
bool IsCueSheet(const std::u16string& location);

// "<audio path>#t=<start>,<end>", the seconds exact to the frame; without an end, "<audio path>#t=<start>".
std::u16string TrackSpanLocation(const std::u16string& audioPath, std::uint64_t startFrame,
                                 std::optional<std::uint64_t> endFrame);

// Whether a location names a span of a file: it ends in a "#t=" fragment and is not itself the path of a file
// (a path that exists as written, "#" and all, is that file).
bool IsTrackSpanLocation(const std::u16string& location);

// The audio file a sheet in `folder` names: the name as written (relative to the folder, or a full path); else a
// file of the folder with the same name in another case; else one with the same stem and an audio extension the
// player takes, as rips name "CDImage.wav" beside a CDImage.ape or .flac. Nothing when none is there.
std::optional<std::u16string> FindSheetAudio(const std::u16string& folder, const std::u16string& name);

// The rows of the sheet at `sheetPath`, every file it names in the sheet's order. Titles and artists are the
// sheet's; the audio file's own tags fill what the sheet lacks.
SheetRows ReadSheetRows(const std::u16string& sheetPath);

// The rows of the sheet inside an audio file (a FLAC CUESHEET block or comment, an APE or WavPack file's APEv2
// Cuesheet item), spans of that file; none when it carries no sheet.
std::vector<SheetRow> EmbeddedSheetRows(const std::u16string& audioPath);

// Knows, folder by folder, which audio files the sheets in a folder name, so a folder search that adds a sheet's
// tracks does not add the album file again as a whole. Each folder's sheets are read once.
class SheetAudioIndex {
public:
    bool NamedBySheet(const std::u16string& path);

private:
    std::map<std::u16string, std::set<std::u16string>> namedByFolder_;
};

}  // namespace media
