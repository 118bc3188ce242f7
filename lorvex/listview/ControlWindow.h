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

using automation::kAltMask;
using automation::kCtrlMask;
using automation::kLeftButton;
using automation::kMiddleButton;
using automation::kRightButton;
using automation::kShiftMask;

// Drop effects a drop target answers with (combinable).
inline constexpr int kDropEffectNone = 0;
inline constexpr int kDropEffectCopy = 1;
inline constexpr int kDropEffectMove = 2;

enum class DragState { Enter = 0, Leave = 1, Over = 2 };

// One drag-and-drop notification. `effect` comes in as the effects the source allows; the client
// leaves in it the effect it accepts (DropEffectNone refuses the drop at this position).
struct DropData {
    QStringList files;  // local paths of the dragged URI list, in order
    int effect = kDropEffectNone;
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
    virtual void Paint(QPainter& painter, const QRect& dirty) {}
    // WM_SIZE: the client area (the window less its visible scroll bars) has this size now.
    virtual void Resized(int clientWidth, int clientHeight) {}
    virtual void FocusIn() {}   // WM_SETFOCUS
    virtual void FocusOut() {}  // WM_KILLFOCUS
    // WM_KEYDOWN / WM_KEYUP with the virtual-key code (VK_*, letters and digits as ASCII).
    virtual void KeyDown(int vkCode, int shift) {}
    virtual void KeyUp(int vkCode, int shift) {}
    // WM_CHAR: one UTF-16 code unit typed (control characters included, e.g. 13 for Enter).
    virtual void KeyChar(int charCode) {}
    virtual void MouseDown(int button, int shift, int x, int y) {}
    virtual void MouseUp(int button, int shift, int x, int y) {}
    // Second press of a double click (WM_xBUTTONDBLCLK); the first press came as mouseDown.
    virtual void MouseDoubleClick(int button, int shift, int x, int y) {}
    virtual void MouseMove(int buttons, int shift, int x, int y) {}
    // WM_MOUSEWHEEL: `delta` is positive away from the user, WHEEL_DELTA per notch.
    virtual void MouseWheel(int delta, int shift, int x, int y) {}
    // Drags while drops are enabled (setDropMode): Enter, Over (repeatedly), then Leave (which carries
    // no data) or dragDrop.
    virtual void DragOver(DropData& data) {}
    virtual void DragDrop(DropData& data) {}
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
    WindowHandle Handle() const { return handle_; }
    // The live window of a handle, or nullptr. Only use the result on the window's own thread.
    static ControlWindow* FromHandle(WindowHandle handle);
    // The thread that owns the window of a handle, or nullptr for an unknown handle.
    static QThread* WindowThread(WindowHandle handle);
    // Runs a message through a window's chain; 0 for an unknown handle.
    static LRESULT SendMessage(WindowHandle handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam);

    // The object that receives the default handling of messages; may be null. The client must
    // outlive the window or be reset to null before it goes.
    void SetClient(ControlWindowClient* client) { client_ = client; }
    ControlWindowClient* Client() const { return client_; }

    // The current top of the chain. A replacement receives every message first and decides whether
    // and when to pass it to the procedure it replaced (the value setWindowProc returns).
    WindowProc GetWindowProc() const { return windowProc_; }
    // Installs `proc` and returns the previous procedure; an empty `proc` is refused (nothing changes
    // and an empty function is returned).
    WindowProc SetWindowProc(WindowProc proc);
    LRESULT SendMessage(std::uint32_t msg, WPARAM wParam, LPARAM lParam);

    // Shift state (ShiftMask | CtrlMask | AltMask) of the input being delivered.
    int KeyState() const { return keyState_; }

    // Standard scroll bars, addressed by SB_HORZ / SB_VERT (SB_BOTH for show and enable). Their
    // position changes only through setScrollInfo; the user's actions on them arrive as
    // WM_HSCROLL / WM_VSCROLL requests.
    int SetScrollInfo(int bar, const ScrollInfo& info);  // returns the resulting position
    ScrollInfo GetScrollInfo(int bar) const;
    void ShowScrollBar(int bar, bool show);  // sends WM_SIZE when the client area changes
    bool IsScrollBarVisible(int bar) const;
    void EnableScrollBar(int bar, bool enable);
    bool IsScrollBarEnabled(int bar) const;
    QRect ClientRect() const;  // the window less its visible scroll bars

    // Manual drop mode: dragged URI lists reach the client's dragOver/dragDrop.
    void SetDropMode(bool manual) { setAcceptDrops(manual); }
    bool DropMode() const { return acceptDrops(); }

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

    LRESULT DefWindowProc(std::uint32_t msg, WPARAM wParam, LPARAM lParam);
    void PaintClient();
    void SendMouseMessage(std::uint32_t msg, const QMouseEvent& event);
    void SendButtonMessage(QMouseEvent& event, std::uint32_t msg, bool clientAreaOnly);
    void SendWheelMessage(QWheelEvent& event);
    void SendScrollRequest(int bar, int code, int position);
    void SendNonClientPress(int bar, Qt::MouseButton button, const QPointF& globalPosition);
    void RecordKeyState(Qt::KeyboardModifiers modifiers);
    void LayoutScrollBars();
    void ApplyScrollInfo(int bar);
    bool DeliverDrag(QDropEvent& event, bool drop);

    WindowHandle handle_ = 0;
    WindowProc windowProc_;
    ControlWindowClient* client_ = nullptr;
    int keyState_ = 0;
    QPaintEvent* paintEvent_ = nullptr;  // set while a real paint runs through the chain
    MessageScrollBar* bars_[2] = {nullptr, nullptr};
    ScrollInfo scroll_[2];
    bool barVisible_[2] = {false, false};
};

// The system's number of lines per wheel notch; 3 when the system reports 0 or less.
int WheelScrollLines();

}  // namespace lorvex
