#pragma once
// Media named from outside the window: the files of this start's command line or of a later start's, and an
// address the desktop's media-player interface asks for. One command opens them all: their rows are appended and
// the first of them plays. A list file among them (the program's own or another player's) stands for its songs.
#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/playlist/UriLocation.h"

namespace media {

class MediaAdder;
class Transport;

// The location a command-line argument names: a URI as above, any other text a path; a relative path is taken
// from `workingFolder` (bytes, absolute).
std::u16string LocationFromArgument(std::string_view argument, std::string_view workingFolder);

// Whether the location is a path that names nothing on disk; addresses are not looked up.
bool MissingFile(const std::u16string& location);

// The locations of this start's arguments, in order. Names of files that are not there are told on stderr and left
// out.
std::vector<std::u16string> LocationsFromArguments(int argc, char** argv);

// Appends a row for each location in order (a location the grid refuses is skipped) and starts the first row that
// was added as a double-click on it does. Pending events get their turns meanwhile. The number of rows added.
std::int32_t AddAndPlay(Transport& transport, MediaAdder& adder, const std::vector<std::u16string>& locations);

class LocationOpener;

// Whether this start runs, or hands the locations waiting in `opener` (its command line's) to the copy of the program
// that runs already and ends. Nothing when this copy is to run: it holds the single-instance guard, taken at once or
// from a copy that was ending while this one tried to hand its locations over (they then wait in `opener` again).
// Otherwise this copy's exit status: 0 without locations (the running copy is asked to show its windows) or once the
// running copy has them; 1 after one line on
// stderr when that copy refused them (its list is full) or did not answer.
std::optional<int> ExitStatusOfLaterStart(LocationOpener& opener);

// Carries out the requests to open locations one after another, once the list has loaded: a request that arrives
// while the list loads, or while an earlier one is still being added, waits its turn. Each runs from the event loop,
// never inside the caller (a socket's or the bus's handler).
class LocationOpener {
public:
    // `ending` tells that the program is ending, and nothing more is to be added; `rowsAdded` follows every request
    // that added rows.
    LocationOpener(Transport& transport, std::function<bool()> ending, std::function<void()> rowsAdded);
    // Queues a request, each list file in it (".lst", ".m3u", ".m3u8", ".pls", ".xspf") replaced by the songs it
    // names; false, and nothing queued, when the program is ending or the loaded list has no room for all
    // of its locations besides those already waiting, so that whoever asked can be told that nothing was opened.
    bool Open(std::vector<std::u16string> locations);
    // From now on requests are carried out.
    void ListLoaded();
    // Every location still waiting, in order, taken out of the queue.
    std::vector<std::u16string> TakeWaiting();

private:
    void Run();

    Transport& transport_;
    std::function<bool()> ending_;
    std::function<void()> rowsAdded_;
    std::deque<std::vector<std::u16string>> waiting_;
    bool listLoaded_ = false;
    bool running_ = false;
    QObject runs_;  // the context of the queued runs, which end with the opener
};

}  // namespace media
