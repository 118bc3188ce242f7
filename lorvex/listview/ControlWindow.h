#pragma once
// The grid control's window. Every input reaching it becomes a window message that runs through a
// replaceable message procedure chain, so an object can watch or take over the window's messages
// (see Subclasser) exactly as callers of the control expect; the bottom of the chain hands each
// message to the control's ControlWindowClient.

#include "lorvex/listview/WindowMessages.h"
#include "platform/automation/MouseCodes.h"

#include <QRect>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;
class QPaintEvent;
class QThread;

namespace lorvex {

using WindowProc = std::function<LRESULT(WindowHandle, std::uint32_t msg, WPARAM, LPARAM)>;

using automation::AltMask;
using automation::CtrlMask;
using automation::LeftButton;
using automation::MiddleButton;
using automation::RightButton;
using automation::ShiftMask;

// Drop effects a drop target answers with (combinable).
inline constexpr int DropEffectNone = 0;
inline constexpr int DropEffectCopy = 1;
inline constexpr int DropEffectMove = 2;

enum class DragState { Enter = 0, Leave = 1, Over = 2 };

// One drag-and-drop notification. `effect` comes in as the effects the source allows; the client
// leaves in it the effect it accepts (DropEffectNone refuses the drop at this position).
struct DropData {
    QStringList files;  // local paths of the dragged URI list, in order
    int effect = DropEffectNone;
    int button = 0;  // LeftButton | RightButton | MiddleButton held
    int shift = 0;   // ShiftMask | CtrlMask | AltMask
    int x = 0;       // client pixels
    int y = 0;
    DragState state = DragState::Over;
};

// Scroll information of one of the window's two standard bars. The position is always kept within
// min .. max - max(page - 1, 0), so with a page of at least 1 the highest position is max - page + 1.
struct ScrollInfo {
    std::uint32_t mask = SIF_ALL;  // which fields setScrollInfo writes (SIF_RANGE, SIF_PAGE, SIF_POS)
    int min = 0;
    int max = 0;
    int page = 0;  // 0 .. max - min + 1
    int pos = 0;
    int trackPos = 0;  // while the thumb is dragged: where it is; otherwise equal to pos
};

// What the control implements to receive its window's messages once they have passed the whole
// chain (the window's default handling). Every method has an empty default. Positions are client
// pixels; `button` is one of LeftButton/RightButton/MiddleButton; `buttons` a combination of them;
// `shift` a combination of ShiftMask/CtrlMask/AltMask at the time of the message.
class ControlWindowClient {
public:
    virtual ~ControlWindowClient() = default;

    // WM_PAINT from a real paint: draw with `painter` (clipped to the client area) into `dirty`.
    virtual void paint(QPainter& painter, const QRect& dirty) {}
    // WM_SIZE: the client area (the window less its visible scroll bars) has this size now.
    virtual void resized(int clientWidth, int clientHeight) {}
    virtual void focusIn() {}   // WM_SETFOCUS
    virtual void focusOut() {}  // WM_KILLFOCUS
    // WM_KEYDOWN / WM_KEYUP with the virtual-key code (VK_*, letters and digits as ASCII).
    virtual void keyDown(int vkCode, int shift) {}
    virtual void keyUp(int vkCode, int shift) {}
    // WM_CHAR: one UTF-16 code unit typed (control characters included, e.g. 13 for Enter).
    virtual void keyChar(int charCode) {}
    virtual void mouseDown(int button, int shift, int x, int y) {}
    virtual void mouseUp(int button, int shift, int x, int y) {}
    // Second press of a double click (WM_xBUTTONDBLCLK); the first press came as mouseDown.
    virtual void mouseDoubleClick(int button, int shift, int x, int y) {}
    virtual void mouseMove(int buttons, int shift, int x, int y) {}
    // WM_MOUSEWHEEL: `delta` is positive away from the user, WHEEL_DELTA per notch.
    virtual void mouseWheel(int delta, int shift, int x, int y) {}
    // Drags while drops are enabled (setDropMode): Enter, Over (repeatedly), then Leave (which carries
    // no data) or dragDrop.
    virtual void dragOver(DropData& data) {}
    virtual void dragDrop(DropData& data) {}
};

class MessageScrollBar;

class ControlWindow : public QWidget {
    Q_OBJECT
public:
    explicit ControlWindow(QWidget* parent = nullptr);
    ~ControlWindow() override;  // sends WM_DESTROY through the chain, then leaves the registry

    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    // Non-zero, unique among live windows.
    WindowHandle handle() const { return m_handle; }
    // The live window of a handle, or nullptr. Only use the result on the window's own thread.
    static ControlWindow* fromHandle(WindowHandle handle);
    // The thread that owns the window of a handle, or nullptr for an unknown handle.
    static QThread* windowThread(WindowHandle handle);
    // Runs a message through a window's chain; 0 for an unknown handle.
    static LRESULT sendMessage(WindowHandle handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam);

    // The object that receives the default handling of messages; may be null. The client must
    // outlive the window or be reset to null before it goes.
    void setClient(ControlWindowClient* client) { m_client = client; }
    ControlWindowClient* client() const { return m_client; }

    // The current top of the chain. A replacement receives every message first and decides whether
    // and when to pass it to the procedure it replaced (the value setWindowProc returns).
    WindowProc windowProc() const { return m_windowProc; }
    // Installs `proc` and returns the previous procedure; an empty `proc` is refused (nothing changes
    // and an empty function is returned).
    WindowProc setWindowProc(WindowProc proc);
    LRESULT sendMessage(std::uint32_t msg, WPARAM wParam, LPARAM lParam);

    // Shift state (ShiftMask | CtrlMask | AltMask) of the input being delivered.
    int keyState() const { return m_keyState; }

    // Standard scroll bars, addressed by SB_HORZ / SB_VERT (SB_BOTH for show and enable). Their
    // position changes only through setScrollInfo; the user's actions on them arrive as
    // WM_HSCROLL / WM_VSCROLL requests.
    int setScrollInfo(int bar, const ScrollInfo& info);  // returns the resulting position
    ScrollInfo scrollInfo(int bar) const;
    void showScrollBar(int bar, bool show);  // sends WM_SIZE when the client area changes
    bool isScrollBarVisible(int bar) const;
    void enableScrollBar(int bar, bool enable);
    bool isScrollBarEnabled(int bar) const;
    QRect clientRect() const;  // the window less its visible scroll bars

    // Manual drop mode: dragged URI lists reach the client's dragOver/dragDrop.
    void setDropMode(bool manual) { setAcceptDrops(manual); }
    bool dropMode() const { return acceptDrops(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class MessageScrollBar;
    friend struct DefaultWindowProc;

    LRESULT defaultWindowProc(std::uint32_t msg, WPARAM wParam, LPARAM lParam);
    void paintClient();
    void sendMouseMessage(std::uint32_t msg, const QMouseEvent& event);
    void sendButtonMessage(QMouseEvent& event, std::uint32_t msg, bool clientAreaOnly);
    void sendWheelMessage(QWheelEvent& event);
    void sendScrollRequest(int bar, int code, int position);
    void sendNonClientPress(int bar, Qt::MouseButton button, const QPointF& globalPosition);
    void recordKeyState(Qt::KeyboardModifiers modifiers);
    void layoutScrollBars();
    void applyScrollInfo(int bar);
    bool deliverDrag(QDropEvent& event, bool drop);

    WindowHandle m_handle = 0;
    WindowProc m_windowProc;
    ControlWindowClient* m_client = nullptr;
    int m_keyState = 0;
    QPaintEvent* m_paintEvent = nullptr;  // set while a real paint runs through the chain
    MessageScrollBar* m_bars[2] = {nullptr, nullptr};
    ScrollInfo m_scroll[2];
    bool m_barVisible[2] = {false, false};
};

// The system's number of lines per wheel notch; 3 when the system reports 0 or less.
int wheelScrollLines();

}  // namespace lorvex
