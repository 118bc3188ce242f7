#include "lorvex/listview/Subclasser.h"

#include "lorvex/listview/ControlWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <mutex>

namespace lorvex {

// What the subclasser keeps per window. The routing procedure installed in the window holds it too,
// so it outlives UnSubclass (and the Subclasser) until the window's previous procedure is back.
struct SubclassRecord {
    WindowHandle hWnd = 0;
    ISubclass* owner = nullptr;
    std::weak_ptr<const char> ownerLifetime;
    WindowProc previous;
    LPARAM lParamUser = 0;
    int nesting = 0;  // calls of the previous procedure in progress
    bool endRequested = false;
    MessageTable before;
    MessageTable after;
};

namespace {

// ---- Reports ----

const std::string kClassName = "Subclasser";
const std::string kTitlePrefix = "Error in ";

void DefaultReporter(const std::string& title, const std::string& text) {
    // The event-log line: "Subclasser.<routine>: <message>".
    const std::string source = title.substr(std::min(title.size(), kTitlePrefix.size()));
    const std::string message = !text.empty() && text.back() == '.' ? text.substr(0, text.size() - 1) : text;
    std::cerr << source << ": " << message << std::endl;
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app != nullptr && QThread::currentThread() == app->thread())
        QMessageBox::warning(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}

std::mutex& ReporterMutex() {
    static std::mutex mutex;
    return mutex;
}

SubclassReporter& CurrentReporter() {
    static SubclassReporter reporter = DefaultReporter;
    return reporter;
}

void Report(const std::string& routine, const std::string& message) {
    SubclassReporter reporter;
    {
        std::lock_guard lock(ReporterMutex());
        reporter = CurrentReporter();
    }
    reporter(kTitlePrefix + kClassName + "." + routine, message + ".");
}

const char* const kNotSubclassed = "Window handle isn't subclassed";

std::string Hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

// ---- Routing ----

void CallOwner(SubclassRecord& record, bool before, bool& handled, LRESULT& result, std::uint32_t msg, WPARAM wParam,
               LPARAM lParam) {
    // Held for the call: the owner may end its own life inside it.
    const auto alive = record.ownerLifetime.lock();
    if (alive && record.owner != nullptr)
        record.owner->WndProc(before, handled, result, record.hWnd, msg, wParam, lParam, record.lParamUser);
}

LRESULT CallPrevious(const SubclassRecord& record, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    // A window destroyed from inside the owner's call has no procedure left to run.
    if (ControlWindow::FromHandle(record.hWnd) == nullptr || !record.previous) return 0;
    const WindowProc previous = record.previous;
    return previous(record.hWnd, msg, wParam, lParam);
}

struct RoutingProc;

bool IsRoutingOf(const WindowProc& proc, const SubclassRecord* record);

// Gives the window its previous procedure back. Only when this record's routing is still the top
// of the chain: a procedure installed above it later would otherwise be dropped too, so the record
// then stays in the chain passing messages through.
void Restore(const SubclassRecord& record) {
    ControlWindow* window = ControlWindow::FromHandle(record.hWnd);
    if (window != nullptr && IsRoutingOf(window->GetWindowProc(), &record)) window->SetWindowProc(record.previous);
}

LRESULT Route(std::shared_ptr<SubclassRecord> record, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = 0;
    if (record->before.Holds(msg)) CallOwner(*record, true, handled, result, msg, wParam, lParam);
    if (!handled) {
        ++record->nesting;
        result = CallPrevious(*record, msg, wParam, lParam);
        --record->nesting;
        if (record->nesting == 0 && record->endRequested) {
            Restore(*record);
            return result;
        }
    }
    if (record->after.Holds(msg)) CallOwner(*record, false, handled, result, msg, wParam, lParam);
    return result;
}

struct RoutingProc {
    std::shared_ptr<SubclassRecord> record;
    LRESULT operator()(WindowHandle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) const {
        // By value: restoring the window's procedure destroys this object while it runs.
        return Route(record, msg, wParam, lParam);
    }
};

bool IsRoutingOf(const WindowProc& proc, const SubclassRecord* record) {
    const auto* routing = proc.target<RoutingProc>();
    return routing != nullptr && routing->record.get() == record;
}

// The table(s) a When value names: before first.
template <typename Action>
void ForTables(SubclassRecord& record, When when, Action action) {
    if (static_cast<int>(when) & static_cast<int>(When::Before)) action(record.before);
    if (static_cast<int>(when) & static_cast<int>(When::After)) action(record.after);
}

}  // namespace

// ---- MessageTable ----

bool MessageTable::Add(std::int32_t uMsg) {
    if (uMsg == ALL_MESSAGES) {
        count_ = ALL_MESSAGES;
        return true;
    }
    // 0 marks a free entry, so it cannot be listed; an all-messages table already covers uMsg.
    if (uMsg == 0 || count_ == ALL_MESSAGES) return true;
    const auto used = entries_.begin() + count_;
    if (std::find(entries_.begin(), used, uMsg) != used) return true;
    if (const auto freeEntry = std::find(entries_.begin(), used, 0); freeEntry != used) {
        *freeEntry = uMsg;
        return true;
    }
    if (count_ >= MSG_ENTRIES) return false;
    entries_[static_cast<std::size_t>(count_++)] = uMsg;
    return true;
}

bool MessageTable::Remove(std::int32_t uMsg) {
    if (uMsg == ALL_MESSAGES) {
        count_ = 0;
        return true;
    }
    if (count_ == ALL_MESSAGES || uMsg == 0) return false;
    const auto used = entries_.begin() + count_;
    const auto entry = std::find(entries_.begin(), used, uMsg);
    if (entry == used) return false;
    *entry = 0;
    return true;
}

bool MessageTable::Holds(std::uint32_t uMsg) const {
    if (count_ == ALL_MESSAGES) return true;
    const auto wanted = static_cast<std::int32_t>(uMsg);
    if (wanted == 0) return false;
    return std::find(entries_.begin(), entries_.begin() + count_, wanted) != entries_.begin() + count_;
}

// ---- Subclasser ----

bool Subclasser::Subclass(WindowHandle lng_hWnd, ISubclass* oCallback, LPARAM lParamUser) {
    ControlWindow* window = ControlWindow::FromHandle(lng_hWnd);
    if (window == nullptr) {
        Report("sc_Subclass", "Invalid window handle");
        return false;
    }
    if (ControlWindow::WindowThread(lng_hWnd) != QThread::currentThread()) {
        Report("sc_Subclass", "Window handle belongs to another process");
        return false;
    }
    started_ = true;
    if (Find(lng_hWnd)) {
        Report("sc_Subclass", "Window handle is already subclassed");
        return false;
    }
    auto record = std::make_shared<SubclassRecord>();
    record->hWnd = lng_hWnd;
    record->owner = oCallback;
    if (oCallback != nullptr) record->ownerLifetime = oCallback->lifetime_;
    record->lParamUser = lParamUser;
    record->previous = window->SetWindowProc(RoutingProc{record});
    map_.emplace_back(lng_hWnd, std::move(record));
    return true;
}

bool Subclasser::UnSubclass(WindowHandle lng_hWnd) {
    if (!started_) {
        Report("UnSubclass", kNotSubclassed);
        return false;
    }
    SubclassRecord* record = zMap_hWnd(lng_hWnd);
    if (record == nullptr) return false;
    record->endRequested = true;
    record->before.Clear();
    record->after.Clear();
    std::erase_if(map_, [lng_hWnd](const auto& entry) { return entry.first == lng_hWnd; });
    return true;
}

void Subclasser::AddMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd))
        ForTables(*record, when, [&](MessageTable& table) { zAddMsg(table, uMsg); });
}

void Subclasser::DelMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd))
        ForTables(*record, when, [&](MessageTable& table) { zDelMsg(table, uMsg); });
}

LRESULT Subclasser::CallOrigWndProc(WindowHandle lng_hWnd, std::uint32_t uMsg, WPARAM wParam, LPARAM lParam) {
    if (zMap_hWnd(lng_hWnd) == nullptr) return 0;
    // Keeps the record alive should the previous procedure unsubclass the window.
    const std::shared_ptr<SubclassRecord> record = Find(lng_hWnd);
    return CallPrevious(*record, uMsg, wParam, lParam);
}

LPARAM Subclasser::lParamUser(WindowHandle lng_hWnd) {
    const SubclassRecord* record = zMap_hWnd(lng_hWnd);
    return record != nullptr ? record->lParamUser : 0;
}

void Subclasser::SetLParamUser(WindowHandle lng_hWnd, LPARAM value) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd)) record->lParamUser = value;
}

void Subclasser::Terminate() {
    // Detached first: an owner called back from here may use this object again.
    auto records = std::move(map_);
    map_.clear();
    started_ = false;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        it->second->endRequested = true;
        it->second->before.Clear();
        it->second->after.Clear();
    }
}

std::shared_ptr<SubclassRecord> Subclasser::Find(WindowHandle lng_hWnd) const {
    const auto it =
        std::find_if(map_.begin(), map_.end(), [lng_hWnd](const auto& entry) { return entry.first == lng_hWnd; });
    return it == map_.end() ? nullptr : it->second;
}

SubclassRecord* Subclasser::zMap_hWnd(WindowHandle lng_hWnd) {
    if (!started_) {
        Report("zMap_hWnd", "Subclassing hasn't been started");
        return nullptr;
    }
    SubclassRecord* record = Find(lng_hWnd).get();
    if (record == nullptr) Report("zMap_hWnd", kNotSubclassed);
    return record;
}

void Subclasser::zAddMsg(MessageTable& table, std::int32_t uMsg) {
    if (!table.Add(uMsg))
        Report("zAddMsg",
               "Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
               "ALL_MESSAGES instead of specific message values");
}

void Subclasser::zDelMsg(MessageTable& table, std::int32_t uMsg) {
    if (!table.Remove(uMsg)) Report("zDelMsg", "Message &H" + Hex(uMsg) + " not found in table");
}

SubclassReporter SetSubclassReporter(SubclassReporter reporter) {
    std::lock_guard lock(ReporterMutex());
    if (!reporter) reporter = DefaultReporter;
    std::swap(CurrentReporter(), reporter);
    return reporter;
}

}  // namespace lorvex
