#include "media/core/OpenLocations.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>

#include "media/core/Transport.h"
#include "media/playlist/AddMedia.h"
#include "media/playlist/ForeignLists.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/UriLocation.h"
#include "platform/forms/Application.h"
#include "platform/forms/InstanceChannel.h"
#include "platform/text/FileName.h"

namespace media {

namespace {

// The single-instance guard's name, which the running copy's socket shares.
const QString kInstanceName = QStringLiteral("media");
// Long enough for a copy busy starting up or loading a list to answer, or for a crowd of starts at once (each taking
// its share of a busy machine) to be served, or for a copy that is ending to let the guard go.
constexpr int kHandOverMilliseconds = 20000;
// A request to show the windows is worth less waiting: nothing is lost when it goes unanswered.
constexpr int kShowMilliseconds = 5000;

// `folder` and `path` joined, without the "." and empty segments a typed name may hold.
std::string Joined(std::string_view folder, std::string_view path) {
    std::string joined;
    const std::string whole = std::string(folder) + '/' + std::string(path);
    std::size_t at = 0;
    while (at <= whole.size()) {
        const std::size_t end = std::min(whole.find('/', at), whole.size());
        const std::string_view segment = std::string_view(whole).substr(at, end - at);
        if (!segment.empty() && segment != ".") joined.append("/").append(segment);
        at = end + 1;
    }
    return joined.empty() ? "/" : joined;
}

std::string WorkingFolder() {
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE || folder.size() > (1u << 20)) return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder;
}

}  // namespace

std::u16string LocationFromArgument(std::string_view argument, std::string_view workingFolder) {
    if (std::optional<std::u16string> location = LocationFromUri(argument)) return *location;
    if (argument.empty()) return {};
    if (argument.starts_with('/')) return text::FromFileName(Joined("", argument));
    if (workingFolder.empty()) return {};  // no folder to take it from
    return text::FromFileName(Joined(workingFolder, argument));
}

bool MissingFile(const std::u16string& location) {
    if (LocationFromUri(text::ToFileName(location))) return false;  // an address
    struct stat info {};
    return location.empty() || ::stat(text::ToFileName(location).c_str(), &info) != 0;
}

std::vector<std::u16string> LocationsFromArguments(int argc, char** argv) {
    std::vector<std::u16string> locations;
    const std::string workingFolder = argc > 1 ? WorkingFolder() : std::string();
    for (int i = 1; i < argc; ++i) {
        const std::u16string location = LocationFromArgument(argv[i], workingFolder);
        if (MissingFile(location)) {
            std::fprintf(stderr, "media: %s: no such file; it is left out\n", argv[i]);
            continue;
        }
        locations.push_back(location);
    }
    return locations;
}

std::int32_t AddAndPlay(Transport& transport, MediaAdder& adder, const std::vector<std::u16string>& locations) {
    GridProxy& grid = transport.Grid();
    std::int32_t added = 0;
    for (const std::u16string& location : locations) {
        const std::int32_t row = grid.ItemCount();
        if (!adder.Add(location)) break;  // the grid is full: every later location would be refused as well
        if (grid.ItemCount() > row && added++ == 0) transport.StartChosenRow(row);
        if (!adder.TakeTurn()) break;
    }
    return added;
}

std::optional<int> ExitStatusOfLaterStart(LocationOpener& opener) {
    if (!forms::AnotherInstanceRunning(kInstanceName)) return std::nullopt;
    std::vector<std::u16string> locations = opener.TakeWaiting();
    if (locations.empty()) {
        // Started without files, as from the desktop's menu: the running copy (perhaps hidden in the tray) is asked
        // to show its windows, and this start ends as before, whatever the answer.
        forms::HandOverToRunningInstance(kInstanceName, {}, kShowMilliseconds,
                                         [] { return forms::AnotherInstanceRunning(kInstanceName); });
        return 0;
    }
    std::vector<std::string> names;
    names.reserve(locations.size());
    for (const std::u16string& location : locations) names.push_back(text::ToFileName(location));
    if (!forms::EncodeLocations(names)) {
        std::fprintf(stderr, "media: too many or too long names to hand to the running player\n");
        return 1;
    }
    switch (forms::HandOverOrTakeOver(kInstanceName, names, kHandOverMilliseconds)) {
        case forms::HandOver::Taken: return 0;
        case forms::HandOver::Refused:
            std::fprintf(stderr, "media: the running player's list is full (%d rows); nothing was opened\n", kMaxRows);
            return 1;
        case forms::HandOver::TookOver:
            // The copy that ran has ended: this one runs and opens them itself.
            opener.Open(std::move(locations));
            return std::nullopt;
        case forms::HandOver::Unanswered: break;
    }
    std::fprintf(stderr, "media: the running player did not answer within %d seconds; nothing was opened\n",
                 kHandOverMilliseconds / 1000);
    return 1;
}

LocationOpener::LocationOpener(Transport& transport, std::function<bool()> ending, std::function<void()> rowsAdded)
    : transport_(transport), ending_(std::move(ending)), rowsAdded_(std::move(rowsAdded)) {}

bool LocationOpener::Open(std::vector<std::u16string> locations) {
    // A list's songs take its place; read now, so that the room the request needs is known while its sender waits.
    locations = WithListsOpened(locations);
    if (locations.empty()) return true;
    if (listLoaded_) {
        // Rows a request cannot get are refused now, while its sender can still be told, not dropped later.
        if (ending_ && ending_()) return false;
        std::size_t rows = static_cast<std::size_t>(std::max(transport_.Grid().ItemCount(), 0)) + locations.size();
        for (const std::vector<std::u16string>& request : waiting_) rows += request.size();
        if (rows > static_cast<std::size_t>(kMaxRows)) return false;
    }
    waiting_.push_back(std::move(locations));
    if (listLoaded_) QTimer::singleShot(0, &runs_, [this] { Run(); });
    return true;
}

void LocationOpener::ListLoaded() {
    listLoaded_ = true;
    if (!waiting_.empty()) QTimer::singleShot(0, &runs_, [this] { Run(); });
}

std::vector<std::u16string> LocationOpener::TakeWaiting() {
    std::vector<std::u16string> all;
    for (std::vector<std::u16string>& request : waiting_) all.insert(all.end(), request.begin(), request.end());
    waiting_.clear();
    return all;
}

void LocationOpener::Run() {
    // A request that comes in while rows are added (events get their turns) waits for this run to reach it.
    if (running_ || !listLoaded_) return;
    running_ = true;
    while (!waiting_.empty() && !(ending_ && ending_())) {
        const std::vector<std::u16string> locations = std::move(waiting_.front());
        waiting_.pop_front();
        MediaAdder adder(transport_.Grid(), ending_);
        if (AddAndPlay(transport_, adder, locations) > 0 && rowsAdded_) rowsAdded_();
    }
    running_ = false;
}

}  // namespace media
