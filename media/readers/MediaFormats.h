#pragma once
// The one table of the file formats the player takes. Every list of formats the program shows or acts on is made
// from it: the media type of an extension (and so the tag reader it runs), the add-folder passes, the add-file
// dialog's entries, and the MIME types the desktop entry and the MPRIS service claim (a test holds the desktop
// entry to the table). Sheets and other players' lists are rows too, with no media type. A new format is a row here.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// The add-folder passes, in the order they run: a whole pass finds every file of its formats in the tree before
// the next pass begins, so an album of WMA files is added before the MP3 files beside it, as it always was.
enum class FolderPass : std::uint8_t {
    None,  // never searched for by the folder search
    Wma,
    Sheets,  // .cue sheets, whose tracks come before the audio files of the formats their audio is in
    Mp3,
    Flac,
    Ogg,
    Opus,
    Mp4,
    Ape,
    WavPack,
};

// The dialog entry that offers a format: the add-file dialog's two, or the open-list dialog's second.
enum class DialogEntry : std::uint8_t {
    None,
    Classic,     // "所有音频格式*.mp3;*.wav;*.wma;*.mdi", as it always read
    More,        // the formats the player took on later
    OtherLists,  // other players' lists, after the program's own "播放列表 (*.lst)"
};

struct MediaFormat {
    std::u16string_view extension;  // ".mp3", lower case with its dot
    std::int32_t mediaType;         // the kMedia* bits; 0 for a format no tag reader reads
    std::string_view mimeTypes;     // ";"-separated, as in a desktop entry; empty when none is claimed
    FolderPass folderPass;
    DialogEntry dialogEntry;
};

std::span<const MediaFormat> MediaFormats();

// The row of an extension (".FLAC" finds ".flac"); nullptr for one the player does not know.
const MediaFormat* FormatOfExtension(std::u16string_view extension);

// The patterns of one dialog entry in table order: "*.mp3;*.wav;*.wma;*.mdi".
std::u16string DialogPatterns(DialogEntry entry);

// The patterns of each pass of the folder search, the passes in their order, each pass's patterns in table order.
struct FolderPassPatterns {
    FolderPass pass;
    std::vector<std::u16string> patterns;  // "*.ogg", "*.oga"
};
const std::vector<FolderPassPatterns>& FolderPasses();

// Every MIME type of the table once, in table order.
std::vector<std::string> MimeTypes();

}  // namespace media
