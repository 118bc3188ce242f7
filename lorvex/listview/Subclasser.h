#pragma once
// Lets an object receive the messages of a control window it does not own, before and/or after the
// window's own procedure, for the messages it lists, and suppress the window's own handling.

#include "lorvex/listview/WindowMessages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lorvex {

inline constexpr int MSG_ENTRIES = 32;
inline constexpr std::int32_t ALL_MESSAGES = -1;

// Which table(s) AddMsg / DelMsg work on.
enum class When : int { Before = 1, After = 2, Both = 3 };

// Receives the messages of a subclassed window. bBefore is true for the call before the window's own
// procedure; setting bHandled there skips the window's procedure (lReturn is then the result). The
// call after the window's procedure sees its result in lReturn and may change it.
class ISubclass {
public:
    ISubclass() = default;
    ISubclass(const ISubclass&) {}  // a copy is a different owner
    ISubclass& operator=(const ISubclass&) { return *this; }
    virtual ~ISubclass() = default;

    virtual void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, WindowHandle lng_hWnd, std::uint32_t uMsg,
                         WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) = 0;

private:
    friend class Subclasser;
    // Expires with the owner, so a window whose owner is gone without unsubclassing only passes
    // its messages on.
    std::shared_ptr<const char> lifetime_ = std::make_shared<const char>();
};

// A table of up to MSG_ENTRIES message numbers, or every message. Removed entries hold 0 and are
// reused by the next addition.
class MessageTable {
public:
    // False when the table is full (the message is neither listed nor has a free entry).
    bool Add(std::int32_t uMsg);
    // False when the message is not listed. ALL_MESSAGES empties the table.
    bool Remove(std::int32_t uMsg);
    bool Holds(std::uint32_t uMsg) const;
    void Clear() { count_ = 0; }
    // -1 for every message, else the entries in use including removed ones.
    int Count() const { return count_; }

private:
    int count_ = 0;
    std::array<std::int32_t, MSG_ENTRIES> entries_{};
};

struct SubclassRecord;

class Subclasser {
public:
    Subclasser() = default;
    ~Subclasser() { Terminate(); }
    Subclasser(const Subclasser&) = delete;
    Subclasser& operator=(const Subclasser&) = delete;

    // Starts routing the window's messages to oCallback; both tables start empty. The window must
    // belong to the calling thread.
    bool Subclass(WindowHandle lng_hWnd, ISubclass* oCallback, LPARAM lParamUser = 0);
    // Ends routing. The window gets its previous procedure back once its next message has passed
    // through that procedure; until then its messages pass unchanged. False when it was not subclassed.
    bool UnSubclass(WindowHandle lng_hWnd);
    void AddMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when = When::After);
    void DelMsg(WindowHandle lng_hWnd, std::int32_t uMsg, When when = When::After);
    // The window's previous procedure's answer; 0 when the window is not subclassed.
    LRESULT CallOrigWndProc(WindowHandle lng_hWnd, std::uint32_t uMsg, WPARAM wParam, LPARAM lParam);
    LPARAM lParamUser(WindowHandle lng_hWnd);
    void SetLParamUser(WindowHandle lng_hWnd, LPARAM value);
    // Ends routing for every window, last subclassed first, and forgets them all.
    void Terminate();

private:
    std::shared_ptr<SubclassRecord> Find(WindowHandle lng_hWnd) const;
    SubclassRecord* zMap_hWnd(WindowHandle lng_hWnd);
    void zAddMsg(MessageTable& table, std::int32_t uMsg);
    void zDelMsg(MessageTable& table, std::int32_t uMsg);

    bool started_ = false;  // the map exists: from the first Subclass that got past its checks
    std::vector<std::pair<WindowHandle, std::shared_ptr<SubclassRecord>>> map_;  // in subclassing order
};

// Where subclassing errors go: the title and prompt of the warning the user sees.
using SubclassReporter = std::function<void(const std::string& title, const std::string& text)>;

// Replaces the reporter and returns the previous one; an empty reporter restores the default,
// which writes "Subclasser.<routine>: <message>" to stderr and shows a warning message box.
SubclassReporter SetSubclassReporter(SubclassReporter reporter);

}  // namespace lorvex
