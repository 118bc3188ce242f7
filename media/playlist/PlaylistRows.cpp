#include "media/playlist/PlaylistRows.h"

#include <QString>
#include <algorithm>
#include <cstdio>

#include "media/playlist/CueTracks.h"
#include "media/readers/MediaInfo.h"
#include "platform/text/FileName.h"

namespace media {

void SetUpColumns(GridProxy& grid) {
    grid.SetRedraw(false);
    grid.AddColumn(u"id", u"序号", 2, 35, true, false);
    grid.AddColumn(u"l1", u"", 2, 1, false, true);
    grid.AddColumn(u"title", u"歌名", 0, 130, true, true);
    grid.AddColumn(u"l2", u"", 2, 1, false, true);
    grid.AddColumn(u"artist", u"歌手", 0, 50, true, true);
    grid.AddColumn(u"l3", u"", 2, 1, false, true);
    grid.AddColumn(u"time", u"时间", 2, 55, true, true);
    grid.AddColumn(u"filaname", u"", 2, 0, true, false);
    grid.SetColumnsAutoSize(true);
    grid.SetRedraw(true);
}

bool AddRow(GridProxy& grid, std::int32_t number, const std::u16string& title, const std::u16string& artist,
            const std::u16string& time, const std::u16string& location) {
    const std::int32_t row = grid.AddItem();
    // A refused row must not send its texts to another row.
    if (row < 0) return false;
    grid.SetItemText(row, column::kNumber, QString::number(number).toStdU16String() + u".");
    grid.SetItemText(row, column::kTitle, title);
    grid.SetItemText(row, column::kArtist, artist);
    grid.SetItemText(row, column::kTime, time);
    grid.SetItemText(row, column::kLocation, location);
    return true;
}

std::u16string WithoutQuotes(std::u16string text) {
    std::erase(text, u'"');
    return text;
}

namespace {

// Appends the rows of a sheet's tracks; false when the grid refused one (it is full).
bool AddSheetRows(GridProxy& grid, const std::vector<SheetRow>& rows) {
    for (const SheetRow& row : rows)
        if (!AddRow(grid, grid.ItemCount() + 1, row.title, row.artist, u"00:00", row.location)) return false;
    return true;
}

// A sheet adds its tracks, never itself: it is no media, and would be retried as one for ever. One that adds
// nothing says why.
bool AddSheet(GridProxy& grid, const std::u16string& location) {
    const SheetRows sheet = ReadSheetRows(location);
    for (const std::u16string& name : sheet.missingAudio)
        std::fprintf(stderr, "media: %s: its audio file %s was not found\n", text::ToFileName(location).c_str(),
                     text::ToFileName(name).c_str());
    if (sheet.rows.empty() && sheet.missingAudio.empty())
        std::fprintf(stderr, "media: %s: no cue sheet with audio tracks could be read\n",
                     text::ToFileName(location).c_str());
    return AddSheetRows(grid, sheet.rows);
}

}  // namespace

bool AddFile(GridProxy& grid, const std::u16string& location) {
    if (location.empty()) return false;
    if (IsCueSheet(location)) return AddSheet(grid, location);
    if (const std::vector<SheetRow> tracks = EmbeddedSheetRows(location); !tracks.empty())
        return AddSheetRows(grid, tracks);
    std::u16string title, artist;
    MediaInfo info;
    info.FileName = location;
    if (ReadMediaInfo(info)) {
        title = info.Title;
        artist = info.Artist;
    } else {
        title = TitleFromPath(location);
    }
    title = WithoutQuotes(std::move(title));
    if (title.empty()) title = TitleFromPath(location);
    artist = WithoutQuotes(std::move(artist));
    return AddRow(grid, grid.ItemCount() + 1, title, artist, u"00:00", location);
}

std::u16string TitleFromPath(const std::u16string& location) {
    // Addresses use "/", and so do paths on this system.
    const QString path = QString::fromStdU16String(location);
    // A name left in another code page is shown as that code page reads it.
    const QString name = QString::fromStdU16String(
        text::ReadableFileName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toStdU16String()));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = (dot >= 0 ? name.mid(dot + 1) : name).toUpper();
    QString title = name.toUpper();
    title.remove(QLatin1Char('.') + extension);
    return title.toStdU16String();
}

}  // namespace media
