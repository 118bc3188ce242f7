#pragma once
// Window-manager hints that Qt offers no property for.
class QWidget;

namespace forms {

// Asks the panel and the pager to leave the window out (EWMH skip-taskbar and skip-pager states), so that a
// program's tool windows share its one taskbar entry. Takes effect when the window is next mapped; call it
// before each showing, since the window manager forgets a window's states when it is hidden. Only on X11.
void KeepOffTaskbar(QWidget& window);

}  // namespace forms
