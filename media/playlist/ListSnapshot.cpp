#include "media/playlist/ListSnapshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "media/core/PlaylistPlace.h"
#include "platform/forms/Application.h"
#include "platform/text/FileName.h"

namespace media {

ListSnapshot& EndingListSnapshot() {
    static ListSnapshot snapshot;
    return snapshot;
}

void ListSnapshot::Store(ListCopy copy) {
    const std::lock_guard<std::mutex> lock(mutex_);
    copy_ = std::move(copy);
    stored_ = true;
    retired_ = false;
}

void ListSnapshot::Retire() {
    const std::lock_guard<std::mutex> lock(mutex_);
    retired_ = true;
}

bool ListSnapshot::WriteStranded() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!stored_ || retired_) return false;
    retired_ = true;  // one write, however many signals follow
    std::string localPath;
    if (!copy_.file.empty()) {
        localPath = text::ToFileName(copy_.file);
        if (!copy_.mayWriteBack) {
            std::fprintf(stderr, "media: the playlist %s was not read whole, so it is not written over\n",
                         localPath.c_str());
            return false;
        }
    } else {
        // An empty list without a name holds nothing to keep.
        if (!copy_.hasRows) return false;
        forms::MakeUserFolder(text::ToFileName(copy_.unnamedFolder));
        localPath = text::ToFileName(NewUnnamedListFile(copy_.unnamedFolder, std::time(nullptr)));
    }
    const SeenVersion seen = copy_.file.empty() ? SeenVersion{} : copy_.seen;
    if (!WriteListOverSeenVersion(localPath, copy_.content, seen)) {
        std::fprintf(stderr, "media: the playlist could not be saved to %s: %s\n", localPath.c_str(),
                     std::strerror(errno));
        return false;
    }
    std::fprintf(stderr, "media: the window did not answer the end signal; the playlist was saved to %s\n",
                 localPath.c_str());
    return true;
}

ListSnapshotKeeper::ListSnapshotKeeper(ListSnapshot& snapshot, std::function<std::uint64_t()> changes,
                                       std::function<ListCopy()> copy)
    : snapshot_(snapshot), changes_(std::move(changes)), copy_(std::move(copy)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(Clock::now()); });
    timer_.start(kLookEvery);
    Look(Clock::now());
}

void ListSnapshotKeeper::Look(Clock::time_point now) {
    const std::uint64_t count = changes_();
    if (count != lastSeen_) {
        if (lastSeen_ == copiedAt_) firstUncopied_ = now;
        lastSeen_ = count;
        lastChange_ = now;
    }
    if (count == copiedAt_) return;
    const bool rested = now - lastChange_ >= kRest;
    const bool waitedLongest = now - firstUncopied_ >= kLongest;
    // The first copy is taken at once: a freeze just after the start must not lose the list read.
    if (!rested && !waitedLongest && copiedAt_ != ~std::uint64_t{0}) return;
    snapshot_.Store(copy_());
    copiedAt_ = count;
}

}  // namespace media
