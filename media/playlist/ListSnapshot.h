#pragma once
// The list as the ending would write it, kept where a thread other than the window thread can write it. A window
// thread blocked in code that never returns cannot save as the program is ended; the thread that watches the end
// signals then writes this copy instead, so a freeze costs at most the changes of its last moment.
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "media/playlist/ListWriteBack.h"

namespace media {

struct ListCopy {
    std::u16string file;           // the list's own file; empty when the list has no name
    std::u16string unnamedFolder;  // where a list without a name is kept
    std::string content;           // the rows as the list file holds them
    bool hasRows = false;
    bool mayWriteBack = false;  // false: the file was not read whole and keeps its version
    SeenVersion seen;
};

class ListSnapshot {
public:
    // Any thread. A copy stored after Retire is written again.
    void Store(ListCopy copy);
    // No write until the next copy: the ending has saved the list itself.
    void Retire();
    // Writes the copy stored last as the ending would have: over the list's own file, or, for a list without a
    // name, to a new file of the unnamed folder; tells on stderr what it did. False when nothing was written.
    bool WriteStranded();

private:
    std::mutex mutex_;
    ListCopy copy_;
    bool stored_ = false;
    bool retired_ = false;
};

// The program's own: what its end signals write when the window thread does not answer them.
ListSnapshot& EndingListSnapshot();

// Keeps a snapshot current from the window thread: it looks at a count of the list's changes a few times a
// second, and copies the list once the changes have rested a moment, or every few seconds while they go on (a long
// folder search), never on every row.
class ListSnapshotKeeper {
public:
    using Clock = std::chrono::steady_clock;
    ListSnapshotKeeper(ListSnapshot& snapshot, std::function<std::uint64_t()> changes, std::function<ListCopy()> copy);
    // Looks at the count as the timer does; `now` is the time of the look.
    void Look(Clock::time_point now);

    static constexpr std::chrono::milliseconds kLookEvery{250};
    static constexpr std::chrono::milliseconds kRest{500};
    static constexpr std::chrono::milliseconds kLongest{3000};

private:
    ListSnapshot& snapshot_;
    std::function<std::uint64_t()> changes_;
    std::function<ListCopy()> copy_;
    std::uint64_t copiedAt_ = ~std::uint64_t{0};  // the count the stored copy reflects; none yet
    std::uint64_t lastSeen_ = ~std::uint64_t{0};
    Clock::time_point lastChange_{};
    Clock::time_point firstUncopied_{};
    QTimer timer_;
};

}  // namespace media
