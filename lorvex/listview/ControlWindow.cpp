#include "lorvex/listview/ControlWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>

#include "platform/text/FileName.h"

namespace lorvex {

namespace {

struct RegisteredWindow {
    ControlWindow* window;
    QThread* thread;
};

// Process-wide handle table; handles are looked up from any thread, windows live on theirs.
class WindowRegistry {
public:
    WindowHandle Add(ControlWindow* window) {
        std::lock_guard lock(mutex_);
        do {
            last_ = last_ == std::numeric_limits<WindowHandle>::max() ? 1 : last_ + 1;
        } while (windows_.count(last_) != 0);
        windows_.emplace(last_, RegisteredWindow{window, QThread::currentThread()});
        return last_;
    }
    void Remove(WindowHandle handle) {
        std::lock_guard lock(mutex_);
        windows_.erase(handle);
    }
    RegisteredWindow Find(WindowHandle handle) {
        std::lock_guard lock(mutex_);
        const auto it = windows_.find(handle);
        return it == windows_.end() ? RegisteredWindow{nullptr, nullptr} : it->second;
    }

private:
    std::mutex mutex_;
    std::unordered_map<WindowHandle, RegisteredWindow> windows_;
    WindowHandle last_ = 0;
};

WindowRegistry& Registry() {
    static WindowRegistry instance;
    return instance;
}

WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    return (buttons & Qt::LeftButton ? MK_LBUTTON : 0) | (buttons & Qt::RightButton ? MK_RBUTTON : 0) |
           (buttons & Qt::MiddleButton ? MK_MBUTTON : 0) | (modifiers & Qt::ShiftModifier ? MK_SHIFT : 0) |
           (modifiers & Qt::ControlModifier ? MK_CONTROL : 0);
}

int ButtonsOfKeyFlags(WPARAM flags) {
    return (flags & MK_LBUTTON ? kLeftButton : 0) | (flags & MK_RBUTTON ? kRightButton : 0) |
           (flags & MK_MBUTTON ? kMiddleButton : 0);
}

int ShiftOfKeyFlags(WPARAM flags) { return (flags & MK_SHIFT ? kShiftMask : 0) | (flags & MK_CONTROL ? kCtrlMask : 0); }

// Virtual-key code of the physical key, as a US keyboard reports it; 0 for keys without one.
int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + (key - Qt::Key_0);
        switch (key) {
            case Qt::Key_Asterisk: return VK_MULTIPLY;
            case Qt::Key_Plus: return VK_ADD;
            case Qt::Key_Minus: return VK_SUBTRACT;
            case Qt::Key_Period:
            case Qt::Key_Comma: return VK_DECIMAL;
            case Qt::Key_Slash: return VK_DIVIDE;
            default: break;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;  // Qt's codes for these are their ASCII codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Clear: return VK_CLEAR;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt:
        case Qt::Key_AltGr: return VK_MENU;
        case Qt::Key_Pause: return VK_PAUSE;
        case Qt::Key_CapsLock: return VK_CAPITAL;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Print: return VK_SNAPSHOT;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Meta:
        case Qt::Key_Super_L: return VK_LWIN;
        case Qt::Key_Menu: return VK_APPS;
        case Qt::Key_NumLock: return VK_NUMLOCK;
        case Qt::Key_ScrollLock: return VK_SCROLL;
        // Shifted digits report the digit key.
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_Asterisk: return '8';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        case Qt::Key_Semicolon:
        case Qt::Key_Colon: return VK_OEM_1;
        case Qt::Key_Equal:
        case Qt::Key_Plus: return VK_OEM_PLUS;
        case Qt::Key_Comma:
        case Qt::Key_Less: return VK_OEM_COMMA;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return VK_OEM_MINUS;
        case Qt::Key_Period:
        case Qt::Key_Greater: return VK_OEM_PERIOD;
        case Qt::Key_Slash:
        case Qt::Key_Question: return VK_OEM_2;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde: return VK_OEM_3;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft: return VK_OEM_4;
        case Qt::Key_Backslash:
        case Qt::Key_Bar: return VK_OEM_5;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight: return VK_OEM_6;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl: return VK_OEM_7;
        default: return 0;
    }
}

// Key-message lParam: repeat count 1; bit 30 = the key was already down; bit 31 = released.
LPARAM KeyData(bool repeated, bool released) {
    return static_cast<LPARAM>(1u | (repeated ? 1u << 30 : 0u) | (released ? 1u << 31 : 0u));
}

LPARAM PointParam(const QPointF& point) {
    const QPoint p = point.toPoint();
    return MAKELPARAM(p.x(), p.y());
}

int EffectsOf(Qt::DropActions actions) {
    return (actions & Qt::CopyAction ? kDropEffectCopy : 0) | (actions & Qt::MoveAction ? kDropEffectMove : 0);
}

// The drop action for the effect the client accepted. Always a copy, whatever the client or the source proposes:
// a host takes the dropped paths, never the files, and a source that honoured a move would delete them.
Qt::DropAction ActionFor(int effect, const QDropEvent& event) {
    if (effect == kDropEffectNone || !(event.possibleActions() & Qt::CopyAction)) return Qt::IgnoreAction;
    return Qt::CopyAction;
}

// The dropped files by their names on disk. QUrl::toLocalFile reads a path's bytes as UTF-8 and loses
// any that are not, so the path is taken from the address still percent-encoded and carried in the
// program's lossless form for file names.
QStringList LocalFilesOf(const QMimeData* data) {
    QStringList files;
    if (data == nullptr) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        QString path = QString::fromStdU16String(text::FromFileName(bytes.toStdString()));
        // A file on another host keeps the form Qt gives it.
        files << (url.host().isEmpty() || url.host() == QLatin1String("localhost") ? path : url.toLocalFile());
    }
    return files;
}

bool IsValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

}  // namespace

// Bottom of every chain. It finds its window by handle, so a stale copy of it called after the
// window is gone does nothing.
struct DefaultWindowProc {
    WindowHandle handle;
    LRESULT operator()(WindowHandle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) const {
        ControlWindow* window = ControlWindow::FromHandle(handle);
        return window != nullptr ? window->DefWindowProc(msg, wParam, lParam) : 0;
    }
};

// One of the window's standard bars. Qt's own reaction to the user (moving the value) is undone:
// every action becomes a WM_HSCROLL / WM_VSCROLL request, and the position follows only the
// window's scroll information. While the thumb is dragged it follows the pointer and snaps back
// on release unless the window takes the tracked position.
class MessageScrollBar final : public QScrollBar {
public:
    MessageScrollBar(ControlWindow* window, int bar)
        : QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, window), window_(window), bar_(bar) {
        setFocusPolicy(Qt::NoFocus);
        setContextMenuPolicy(Qt::PreventContextMenu);  // its menu would move the value directly
        setAttribute(Qt::WA_NoMousePropagation);
        setTracking(false);  // dragging moves only the thumb, never the value
        connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
        connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) {
            if (!mirroring_) window_->SendScrollRequest(bar_, SB_THUMBTRACK, position);
        });
        connect(this, &QAbstractSlider::sliderReleased, this,
                [this] { window_->SendScrollRequest(bar_, SB_THUMBPOSITION, sliderPosition()); });
        hide();
    }

    void Mirror(const ScrollInfo& info) {
        mirroring_ = true;
        setRange(info.min, info.max - std::max(info.page - 1, 0));
        setPageStep(std::max(info.page, 1));
        setValue(info.pos);
        mirroring_ = false;
    }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
            case QEvent::Wheel:  // the wheel over a bar scrolls the window, like the wheel over its client area
                window_->SendWheelMessage(*static_cast<QWheelEvent*>(event));
                event->accept();
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (!isEnabled()) {  // a disabled bar does nothing, but the window still hears of the click
                    const auto* mouse = static_cast<QMouseEvent*>(event);
                    window_->RecordKeyState(mouse->modifiers());
                    window_->SendNonClientPress(bar_, mouse->button(), mouse->globalPosition());
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                if (!isEnabled()) return true;  // kept from the client area below
                break;
            default: break;
        }
        return QScrollBar::event(event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        window_->RecordKeyState(event->modifiers());
        event->accept();
        if (event->button() != Qt::LeftButton) {  // only the left button drives a bar
            window_->SendNonClientPress(bar_, event->button(), event->globalPosition());
            return;
        }
        if (leftDown_) return;
        leftDown_ = true;
        pressPosition_ = event->globalPosition();
        tracking_ = minimum() != maximum();  // Qt ignores presses on a bar without a range
        QScrollBar::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() != Qt::LeftButton || !leftDown_) return;
        leftDown_ = false;
        QScrollBar::mouseReleaseEvent(event);
        if (tracking_) window_->SendScrollRequest(bar_, SB_ENDSCROLL, 0);
        // The press's own handling is the tracking that just ended; the button-down message follows it.
        window_->SendNonClientPress(bar_, Qt::LeftButton, pressPosition_);
    }

private:
    void OnAction(int action) {
        int request = -1;
        switch (action) {
            case SliderSingleStepSub: request = SB_LINEUP; break;
            case SliderSingleStepAdd: request = SB_LINEDOWN; break;
            case SliderPageStepSub: request = SB_PAGEUP; break;
            case SliderPageStepAdd: request = SB_PAGEDOWN; break;
            case SliderToMinimum: request = SB_TOP; break;
            case SliderToMaximum: request = SB_BOTTOM; break;
            default: break;  // SliderMove: the end of a drag, already reported by sliderReleased
        }
        if (request >= 0) window_->SendScrollRequest(bar_, request, 0);
        // Qt has already moved the slider for this action; put it back where the window keeps it.
        mirroring_ = true;
        setSliderPosition(window_->scroll_[bar_].pos);
        mirroring_ = false;
    }

    ControlWindow* window_;
    int bar_;
    bool mirroring_ = false;
    bool leftDown_ = false;
    bool tracking_ = false;
    QPointF pressPosition_;
};

ControlWindow::ControlWindow(QWidget* parent) : QWidget(parent) {
    handle_ = Registry().Add(this);
    windowProc_ = DefaultWindowProc{handle_};
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    for (int bar : {SB_HORZ, SB_VERT}) {
        bars_[bar] = new MessageScrollBar(this, bar);
        ApplyScrollInfo(bar);
    }
}

ControlWindow::~ControlWindow() {
    SendMessage(WM_DESTROY, 0, 0);
    Registry().Remove(handle_);
}

ControlWindow* ControlWindow::FromHandle(WindowHandle handle) {
    return handle == 0 ? nullptr : Registry().Find(handle).window;
}

QThread* ControlWindow::WindowThread(WindowHandle handle) {
    return handle == 0 ? nullptr : Registry().Find(handle).thread;
}

LRESULT ControlWindow::SendMessage(WindowHandle handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    ControlWindow* window = FromHandle(handle);
    return window != nullptr ? window->SendMessage(msg, wParam, lParam) : 0;
}

WindowProc ControlWindow::SetWindowProc(WindowProc proc) {
    if (!proc) return {};
    std::swap(windowProc_, proc);
    return proc;
}

LRESULT ControlWindow::SendMessage(std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    // A copy: the procedure may replace itself (or be replaced) while it runs.
    const WindowProc proc = windowProc_;
    return proc(handle_, msg, wParam, lParam);
}

LRESULT ControlWindow::DefWindowProc(std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        if (paintEvent_ != nullptr)
            PaintClient();
        else
            update();  // painting happens only inside a paint event; ask for one
        return 0;
    }
    if (client_ == nullptr) return 0;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const int mouseShift = ShiftOfKeyFlags(wParam) | (keyState_ & kAltMask);
    switch (msg) {
        case WM_SIZE:
            client_->Resized(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
            break;
        case WM_SETFOCUS: client_->FocusIn(); break;
        case WM_KILLFOCUS: client_->FocusOut(); break;
        case WM_KEYDOWN: client_->KeyDown(static_cast<int>(wParam), keyState_); break;
        case WM_KEYUP: client_->KeyUp(static_cast<int>(wParam), keyState_); break;
        case WM_CHAR: client_->KeyChar(static_cast<int>(wParam)); break;
        case WM_MOUSEMOVE: client_->MouseMove(ButtonsOfKeyFlags(wParam), mouseShift, x, y); break;
        case WM_LBUTTONDOWN: client_->MouseDown(kLeftButton, mouseShift, x, y); break;
        case WM_RBUTTONDOWN: client_->MouseDown(kRightButton, mouseShift, x, y); break;
        case WM_MBUTTONDOWN: client_->MouseDown(kMiddleButton, mouseShift, x, y); break;
        case WM_LBUTTONUP: client_->MouseUp(kLeftButton, mouseShift, x, y); break;
        case WM_RBUTTONUP: client_->MouseUp(kRightButton, mouseShift, x, y); break;
        case WM_MBUTTONUP: client_->MouseUp(kMiddleButton, mouseShift, x, y); break;
        case WM_LBUTTONDBLCLK: client_->MouseDoubleClick(kLeftButton, mouseShift, x, y); break;
        case WM_RBUTTONDBLCLK: client_->MouseDoubleClick(kRightButton, mouseShift, x, y); break;
        case WM_MBUTTONDBLCLK: client_->MouseDoubleClick(kMiddleButton, mouseShift, x, y); break;
        case WM_MOUSEWHEEL: {
            // The wheel message carries screen coordinates.
            const QPoint client = mapFromGlobal(QPoint(x, y));
            client_->MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), mouseShift, client.x(), client.y());
            break;
        }
        default: break;  // scroll and non-client messages have no default action
    }
    return 0;
}

void ControlWindow::PaintClient() {
    QPainter painter(this);
    const QRect dirty = paintEvent_->rect() & ClientRect();
    if (client_ == nullptr || dirty.isEmpty()) return;
    painter.setClipRect(dirty);
    client_->Paint(painter, dirty);
}

void ControlWindow::paintEvent(QPaintEvent* event) {
    paintEvent_ = event;
    SendMessage(WM_PAINT, 0, 0);
    paintEvent_ = nullptr;
}

void ControlWindow::resizeEvent(QResizeEvent*) {
    LayoutScrollBars();
    const QRect client = ClientRect();
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.width(), client.height()));
}

void ControlWindow::focusInEvent(QFocusEvent*) { SendMessage(WM_SETFOCUS, 0, 0); }

void ControlWindow::focusOutEvent(QFocusEvent*) { SendMessage(WM_KILLFOCUS, 0, 0); }

void ControlWindow::RecordKeyState(Qt::KeyboardModifiers modifiers) { keyState_ = automation::ShiftCode(modifiers); }

void ControlWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    RecordKeyState(event->modifiers());
    if (const int vk = VirtualKeyOf(*event); vk != 0)
        SendMessage(WM_KEYDOWN, static_cast<WPARAM>(vk), KeyData(event->isAutoRepeat(), false));
    const QString text = event->text();
    for (const QChar ch : text) SendMessage(WM_CHAR, ch.unicode(), KeyData(event->isAutoRepeat(), false));
}

void ControlWindow::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat())  // a held key repeats only its key-down message
        return;
    RecordKeyState(event->modifiers());
    if (const int vk = VirtualKeyOf(*event); vk != 0)
        SendMessage(WM_KEYUP, static_cast<WPARAM>(vk), KeyData(true, true));
}

void ControlWindow::SendMouseMessage(std::uint32_t msg, const QMouseEvent& event) {
    SendMessage(msg, MouseKeyFlags(event.buttons(), event.modifiers()), PointParam(event.position()));
}

namespace {

// The message of a button event, or WM_NULL for buttons the window does not report.
std::uint32_t ButtonMessage(Qt::MouseButton button, std::uint32_t left, std::uint32_t right, std::uint32_t middle) {
    switch (button) {
        case Qt::LeftButton: return left;
        case Qt::RightButton: return right;
        case Qt::MiddleButton: return middle;
        default: return WM_NULL;
    }
}

}  // namespace

void ControlWindow::mousePressEvent(QMouseEvent* event) {
    // The corner between the two bars lies outside the client area; presses there are not reported.
    SendButtonMessage(*event, ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), true);
}

void ControlWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    SendButtonMessage(*event, ButtonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK),
                      true);
}

void ControlWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A press inside keeps the pointer captured, so the release is reported wherever it happens.
    SendButtonMessage(*event, ButtonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), false);
}

void ControlWindow::SendButtonMessage(QMouseEvent& event, std::uint32_t msg, bool clientAreaOnly) {
    event.accept();
    RecordKeyState(event.modifiers());
    if (msg == WM_NULL || (clientAreaOnly && !ClientRect().contains(event.position().toPoint()))) return;
    SendMouseMessage(msg, event);
}

void ControlWindow::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    RecordKeyState(event->modifiers());
    if (event->buttons() == Qt::NoButton && !ClientRect().contains(event->position().toPoint())) return;
    SendMouseMessage(WM_MOUSEMOVE, *event);
}

void ControlWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    SendWheelMessage(*event);
}

void ControlWindow::SendWheelMessage(QWheelEvent& event) {
    RecordKeyState(event.modifiers());
    const int delta = std::clamp(event.angleDelta().y(), -32768, 32767);
    if (delta == 0)  // horizontal wheels are not reported
        return;
    SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeyFlags(event.buttons(), event.modifiers())), delta),
                PointParam(event.globalPosition()));
}

void ControlWindow::SendScrollRequest(int bar, int code, int position) {
    SendMessage(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, position), 0);
}

void ControlWindow::SendNonClientPress(int bar, Qt::MouseButton button, const QPointF& globalPosition) {
    const auto msg = ButtonMessage(button, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN);
    if (msg != WM_NULL) SendMessage(msg, bar == SB_HORZ ? HTHSCROLL : HTVSCROLL, PointParam(globalPosition));
}

int ControlWindow::SetScrollInfo(int bar, const ScrollInfo& info) {
    if (!IsValidBar(bar)) return 0;
    ScrollInfo& current = scroll_[bar];
    if (info.mask & SIF_RANGE) {
        // An inverted or over-wide range is refused as 0..0, as the platform does.
        const bool valid = info.min <= info.max && std::int64_t{info.max} - info.min < 0x80000000LL;
        current.min = valid ? info.min : 0;
        current.max = valid ? info.max : 0;
    }
    if (info.mask & SIF_PAGE) current.page = info.page;
    if (info.mask & SIF_POS) current.pos = info.pos;
    const std::int64_t span = std::int64_t{current.max} - current.min + 1;
    current.page = static_cast<int>(std::clamp<std::int64_t>(current.page, 0, span));
    current.pos = std::clamp(current.pos, current.min, current.max - std::max(current.page - 1, 0));
    ApplyScrollInfo(bar);
    return current.pos;
}

ScrollInfo ControlWindow::GetScrollInfo(int bar) const {
    if (!IsValidBar(bar)) return {};
    ScrollInfo info = scroll_[bar];
    info.mask = SIF_ALL;
    info.trackPos = bars_[bar]->isSliderDown() ? bars_[bar]->sliderPosition() : info.pos;
    return info;
}

void ControlWindow::ApplyScrollInfo(int bar) { bars_[bar]->Mirror(scroll_[bar]); }

void ControlWindow::ShowScrollBar(int bar, bool show) {
    const QRect before = ClientRect();
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == b || bar == SB_BOTH) barVisible_[b] = show;
    LayoutScrollBars();
    const QRect after = ClientRect();
    if (after != before) SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.width(), after.height()));
}

bool ControlWindow::IsScrollBarVisible(int bar) const { return IsValidBar(bar) && barVisible_[bar]; }

void ControlWindow::EnableScrollBar(int bar, bool enable) {
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == b || bar == SB_BOTH) bars_[b]->setEnabled(enable);
}

bool ControlWindow::IsScrollBarEnabled(int bar) const { return IsValidBar(bar) && bars_[bar]->isEnabled(); }

QRect ControlWindow::ClientRect() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int w = width() - (barVisible_[SB_VERT] ? extent : 0);
    const int h = height() - (barVisible_[SB_HORZ] ? extent : 0);
    return QRect(0, 0, std::max(w, 0), std::max(h, 0));
}

void ControlWindow::LayoutScrollBars() {
    const QRect client = ClientRect();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bars_[SB_VERT]->setGeometry(client.width(), 0, extent, client.height());
    bars_[SB_HORZ]->setGeometry(0, client.height(), client.width(), extent);
    for (int bar : {SB_HORZ, SB_VERT}) bars_[bar]->setVisible(barVisible_[bar]);
}

bool ControlWindow::DeliverDrag(QDropEvent& event, bool drop) {
    DropData data;
    data.files = LocalFilesOf(event.mimeData());
    data.effect = EffectsOf(event.possibleActions());
    data.button = automation::ButtonsCode(event.buttons());
    data.shift = automation::ShiftCode(event.modifiers());
    const QPoint position = event.position().toPoint();
    data.x = position.x();
    data.y = position.y();
    data.state = event.type() == QEvent::DragEnter ? DragState::Enter : DragState::Over;
    if (client_ == nullptr)
        data.effect = kDropEffectNone;
    else if (drop)
        client_->DragDrop(data);
    else
        client_->DragOver(data);
    const Qt::DropAction action = ActionFor(data.effect, event);
    event.setDropAction(action);
    event.setAccepted(action != Qt::IgnoreAction);
    return action != Qt::IgnoreAction;
}

void ControlWindow::dragEnterEvent(QDragEnterEvent* event) {
    DeliverDrag(*event, false);
    event->accept();  // stay a target for the moves that follow, even where this spot refuses
}

void ControlWindow::dragMoveEvent(QDragMoveEvent* event) { DeliverDrag(*event, false); }

void ControlWindow::dragLeaveEvent(QDragLeaveEvent*) {
    if (client_ == nullptr) return;
    DropData data;
    data.state = DragState::Leave;
    client_->DragOver(data);
}

void ControlWindow::dropEvent(QDropEvent* event) { DeliverDrag(*event, true); }

int WheelScrollLines() {
    const int lines =
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr ? QApplication::wheelScrollLines() : 0;
    return lines > 0 ? lines : 3;
}

}  // namespace lorvex
