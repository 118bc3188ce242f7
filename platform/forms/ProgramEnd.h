#pragma once
// The ways a desktop ends a program besides its own close button: a signal (SIGTERM, SIGINT, SIGHUP), the session's
// save and end at logout, and the loss of the display. Each is handed to the program on its window thread, so it can
// save what it must before it goes.
#include <chrono>
#include <functional>

namespace forms {

// Calls `end` on the window thread for every SIGTERM, SIGINT or SIGHUP the process receives.
//
// A window thread blocked in code that never returns (a library waiting on a lock) cannot answer a signal, and the
// desktop then kills the program with what it had not saved. So when `end` has not run to its end within `patience`
// of a signal, `stranded` runs on a thread of its own, to save what must not be lost without the window thread, and
// the process then ends by that signal. `stranded` must not touch windows or anything the window thread may hold.
void OnEndSignals(std::function<void()> end, std::function<void()> stranded = {},
                  std::chrono::milliseconds patience = std::chrono::milliseconds(2000));

// Calls `save(mayAsk)` when the session manager asks the program to save its data (at logout). `mayAsk` tells
// whether the program may show a dialog for it.
void OnSessionSave(std::function<void(bool mayAsk)> save);

// Calls `quit` when the application is told to quit, before Qt closes the windows for it: the session manager's
// "die" at logout arrives that way, and the program's own quit after its main window has unloaded too.
void OnQuitRequest(std::function<void()> quit);

// Calls `lost` once, synchronously, when the connection to the X server breaks: Qt ends the process right after
// reporting it, so this is the last moment at which the program's windows and data still exist.
void OnDisplayLost(std::function<void()> lost);

}  // namespace forms
