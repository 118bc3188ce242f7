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

void defaultReporter(const std::string& title, const std::string& text) {
    // The event-log line: "Subclasser.<routine>: <message>".
    const std::string source = title.substr(std::min(title.size(), kTitlePrefix.size()));
    const std::string message = !text.empty() && text.back() == '.' ? text.substr(0, text.size() - 1) : text;
    std::cerr << source << ": " << message << std::endl;
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app != nullptr && QThread::currentThread() == app->thread())
        QMessageBox::warning(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}

std::mutex& reporterMutex() {
    static std::mutex mutex;
    return mutex;
}

SubclassReporter& currentReporter() {
    static SubclassReporter reporter = defaultReporter;
    return reporter;
}

void report(const std::string& routine, const std::string& message) {
    SubclassReporter reporter;
    {
        std::lock_guard lock(reporterMutex());
        reporter = currentReporter();
    }
    reporter(kTitlePrefix + kClassName + "." + routine, message + ".");
}

const char* const kNotSubclassed = "Window handle isn't subclassed";

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

// ---- Routing ----

void callOwner(SubclassRecord& record, bool before, bool& handled, LRESULT& result, std::uint32_t msg, WPARAM wParam,
               LPARAM lParam) {
    // Held for the call: the owner may end its own life inside it.
    const auto alive = record.ownerLifetime.lock();
    if (alive && record.owner != nullptr)
        record.owner->WndProc(before, handled, result, record.hWnd, msg, wParam, lParam, record.lParamUser);
}

LRESULT callPrevious(const SubclassRecord& record, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    // A window destroyed from inside the owner's call has no procedure left to run.
    if (ControlWindow::fromHandle(record.hWnd) == nullptr || !record.previous) return 0;
    const WindowProc previous = record.previous;
    return previous(record.hWnd, msg, wParam, lParam);
}

struct RoutingProc;

bool isRoutingOf(const WindowProc& proc, const SubclassRecord* record);

// Gives the window its previous procedure back. Only when this record's routing is still the top
// of the chain: a procedure installed above it later would otherwise be dropped too, so the record
// then stays in the chain passing messages through.
void restore(const SubclassRecord& record) {
    ControlWindow* window = ControlWindow::fromHandle(record.hWnd);
    if (window != nullptr && isRoutingOf(window->windowProc(), &record)) window->setWindowProc(record.previous);
}

LRESULT route(std::shared_ptr<SubclassRecord> record, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = 0;
    if (record->before.holds(msg)) callOwner(*record, true, handled, result, msg, wParam, lParam);
    if (!handled) {
        ++record->nesting;
        result = callPrevious(*record, msg, wParam, lParam);
        --record->nesting;
        if (record->nesting == 0 && record->endRequested) {
            restore(*record);
            return result;
        }
    }
    if (record->after.holds(msg)) callOwner(*record, false, handled, result, msg, wParam, lParam);
    return result;
}

struct RoutingProc {
    std::shared_ptr<SubclassRecord> record;
    LRESULT operator()(WindowHandle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) const {
        // By value: restoring the window's procedure destroys this object while it runs.
        return route(record, msg, wParam, lParam);
    }
};

bool isRoutingOf(const WindowProc& proc, const SubclassRecord* record) {
    const auto* routing = proc.target<RoutingProc>();
    return routing != nullptr && routing->record.get() == record;
}

// The table(s) a When value names: before first.
template <typename Action>
void forTables(SubclassRecord& record, When when, Action action) {
    if (static_cast<int>(when) & static_cast<int>(When::Before)) action(record.before);
    if (static_cast<int>(when) & static_cast<int>(When::After)) action(record.after);
}

}  // namespace

// ---- MessageTable ----

bool MessageTable::add(std::int32_t uMsg) {
    if (uMsg == ALL_MESSAGES) {
        m_count = ALL_MESSAGES;
        return true;
    }
    // 0 marks a free entry, so it cannot be listed; an all-messages table already covers uMsg.
    if (uMsg == 0 || m_count == ALL_MESSAGES) return true;
    const auto used = m_entries.begin() + m_count;
    if (std::find(m_entries.begin(), used, uMsg) != used) return true;
    if (const auto freeEntry = std::find(m_entries.begin(), used, 0); freeEntry != used) {
        *freeEntry = uMsg;
        return true;
    }
    if (m_count >= MSG_ENTRIES) return false;
    m_entries[static_cast<std::size_t>(m_count++)] = uMsg;
    return true;
}

bool MessageTable::remove(std::int32_t uMsg) {
    if (uMsg == ALL_MESSAGES) {
        m_count = 0;
        return true;
    }
    if (m_count == ALL_MESSAGES || uMsg == 0) return false;
    const auto used = m_entries.begin() + m_count;
    const auto entry = std::find(m_entries.begin(), used, uMsg);
    if (entry == used) return false;
    *entry = 0;
    return true;
}

bool MessageTable::holds(std::uint32_t uMsg) const {
    if (m_count == ALL_MESSAGES) return true;
    const auto wanted = static_cast<std::int32_t>(uMsg);
    if (wanted == 0) return false;
    return std::find(m_entries.begin(), m_entries.begin() + m_count, wanted) != m_entries.begin() + m_count;
}

// ---- Subclasser ----

bool Subclasser::Subclass(WindowHandle lng_hWnd, ISubclass* oCallback, LPARAM lParamUser) {
    ControlWindow* window = ControlWindow::fromHandle(lng_hWnd);
    if (window == nullptr) {
        report("sc_Subclass", "Invalid window handle");
        return false;
    }
    if (ControlWindow::windowThread(lng_hWnd) != QThread::currentThread()) {
        report("sc_Subclass", "Window handle belongs to another process");
        return false;
    }
    m_started = true;
    if (find(lng_hWnd)) {
        report("sc_Subclass", "Window handle is already subclassed");
        return false;
    }
    auto record = std::make_shared<SubclassRecord>();
    record->hWnd = lng_hWnd;
    record->owner = oCallback;
    if (oCallback != nullptr) record->ownerLifetime = oCallback->m_lifetime;
    record->lParamUser = lParamUser;
    record->previous = window->setWindowProc(RoutingProc{record});
    m_map.emplace_back(lng_hWnd, std::move(record));
    return true;
}

bool Subclasser::UnSubclass(WindowHandle lng_hWnd) {
    if (!m_started) {
        report("UnSubclass", kNotSubclassed);
        return false;
    }
    SubclassRecord* record = zMap_hWnd(lng_hWnd);
    if (record == nullptr) return false;
    record->endRequested = true;
    record->before.clear();
    record->after.clear();
    std::erase_if(m_map, [lng_hWnd](const auto& entry) { return entry.first == lng_hWnd; });
    return true;
}

void Subclasser::AddMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd))
        forTables(*record, when, [&](MessageTable& table) { zAddMsg(table, uMsg); });
}

void Subclasser::DelMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd))
        forTables(*record, when, [&](MessageTable& table) { zDelMsg(table, uMsg); });
}

LRESULT Subclasser::CallOrigWndProc(WindowHandle lng_hWnd, std::uint32_t uMsg, WPARAM wParam, LPARAM lParam) {
    if (zMap_hWnd(lng_hWnd) == nullptr) return 0;
    // Keeps the record alive should the previous procedure unsubclass the window.
    const std::shared_ptr<SubclassRecord> record = find(lng_hWnd);
    return callPrevious(*record, uMsg, wParam, lParam);
}

LPARAM Subclasser::lParamUser(WindowHandle lng_hWnd) {
    const SubclassRecord* record = zMap_hWnd(lng_hWnd);
    return record != nullptr ? record->lParamUser : 0;
}

void Subclasser::setLParamUser(WindowHandle lng_hWnd, LPARAM value) {
    if (SubclassRecord* record = zMap_hWnd(lng_hWnd)) record->lParamUser = value;
}

void Subclasser::Terminate() {
    // Detached first: an owner called back from here may use this object again.
    auto records = std::move(m_map);
    m_map.clear();
    m_started = false;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        it->second->endRequested = true;
        it->second->before.clear();
        it->second->after.clear();
    }
}

std::shared_ptr<SubclassRecord> Subclasser::find(WindowHandle lng_hWnd) const {
    const auto it =
        std::find_if(m_map.begin(), m_map.end(), [lng_hWnd](const auto& entry) { return entry.first == lng_hWnd; });
    return it == m_map.end() ? nullptr : it->second;
}

SubclassRecord* Subclasser::zMap_hWnd(WindowHandle lng_hWnd) {
    if (!m_started) {
        report("zMap_hWnd", "Subclassing hasn't been started");
        return nullptr;
    }
    SubclassRecord* record = find(lng_hWnd).get();
    if (record == nullptr) report("zMap_hWnd", kNotSubclassed);
    return record;
}

void Subclasser::zAddMsg(MessageTable& table, std::int32_t uMsg) {
    if (!table.add(uMsg))
        report("zAddMsg",
               "Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
               "ALL_MESSAGES instead of specific message values");
}

void Subclasser::zDelMsg(MessageTable& table, std::int32_t uMsg) {
    if (!table.remove(uMsg)) report("zDelMsg", "Message &H" + hex(uMsg) + " not found in table");
}

SubclassReporter setSubclassReporter(SubclassReporter reporter) {
    std::lock_guard lock(reporterMutex());
    if (!reporter) reporter = defaultReporter;
    std::swap(currentReporter(), reporter);
    return reporter;
}

}  // namespace lorvex
