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
    WindowHandle add(ControlWindow* window) {
        std::lock_guard lock(m_mutex);
        do {
            m_last = m_last == std::numeric_limits<WindowHandle>::max() ? 1 : m_last + 1;
        } while (m_windows.count(m_last) != 0);
        m_windows.emplace(m_last, RegisteredWindow{window, QThread::currentThread()});
        return m_last;
    }
    void remove(WindowHandle handle) {
        std::lock_guard lock(m_mutex);
        m_windows.erase(handle);
    }
    RegisteredWindow find(WindowHandle handle) {
        std::lock_guard lock(m_mutex);
        const auto it = m_windows.find(handle);
        return it == m_windows.end() ? RegisteredWindow{nullptr, nullptr} : it->second;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<WindowHandle, RegisteredWindow> m_windows;
    WindowHandle m_last = 0;
};

WindowRegistry& registry() {
    static WindowRegistry instance;
    return instance;
}

WPARAM mouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    return (buttons & Qt::LeftButton ? MK_LBUTTON : 0) | (buttons & Qt::RightButton ? MK_RBUTTON : 0) |
           (buttons & Qt::MiddleButton ? MK_MBUTTON : 0) | (modifiers & Qt::ShiftModifier ? MK_SHIFT : 0) |
           (modifiers & Qt::ControlModifier ? MK_CONTROL : 0);
}

int buttonsOfKeyFlags(WPARAM flags) {
    return (flags & MK_LBUTTON ? LeftButton : 0) | (flags & MK_RBUTTON ? RightButton : 0) |
           (flags & MK_MBUTTON ? MiddleButton : 0);
}

int shiftOfKeyFlags(WPARAM flags) { return (flags & MK_SHIFT ? ShiftMask : 0) | (flags & MK_CONTROL ? CtrlMask : 0); }

// Virtual-key code of the physical key, as a US keyboard reports it; 0 for keys without one.
int virtualKeyOf(const QKeyEvent& event) {
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
LPARAM keyData(bool repeated, bool released) {
    return static_cast<LPARAM>(1u | (repeated ? 1u << 30 : 0u) | (released ? 1u << 31 : 0u));
}

LPARAM pointParam(const QPointF& point) {
    const QPoint p = point.toPoint();
    return MAKELPARAM(p.x(), p.y());
}

int effectsOf(Qt::DropActions actions) {
    return (actions & Qt::CopyAction ? DropEffectCopy : 0) | (actions & Qt::MoveAction ? DropEffectMove : 0);
}

// The drop action for the effect the client accepted. Always a copy, whatever the client or the source proposes:
// a host takes the dropped paths, never the files, and a source that honoured a move would delete them.
Qt::DropAction actionFor(int effect, const QDropEvent& event) {
    if (effect == DropEffectNone || !(event.possibleActions() & Qt::CopyAction)) return Qt::IgnoreAction;
    return Qt::CopyAction;
}

// The dropped files by their names on disk. QUrl::toLocalFile reads a path's bytes as UTF-8 and loses
// any that are not, so the path is taken from the address still percent-encoded and carried in the
// program's lossless form for file names.
QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (data == nullptr) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        QString path = QString::fromStdU16String(text::fromFileName(bytes.toStdString()));
        // A file on another host keeps the form Qt gives it.
        files << (url.host().isEmpty() || url.host() == QLatin1String("localhost") ? path : url.toLocalFile());
    }
    return files;
}

bool isValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

}  // namespace

// Bottom of every chain. It finds its window by handle, so a stale copy of it called after the
// window is gone does nothing.
struct DefaultWindowProc {
    WindowHandle handle;
    LRESULT operator()(WindowHandle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) const {
        ControlWindow* window = ControlWindow::fromHandle(handle);
        return window != nullptr ? window->defaultWindowProc(msg, wParam, lParam) : 0;
    }
};

// One of the window's standard bars. Qt's own reaction to the user (moving the value) is undone:
// every action becomes a WM_HSCROLL / WM_VSCROLL request, and the position follows only the
// window's scroll information. While the thumb is dragged it follows the pointer and snaps back
// on release unless the window takes the tracked position.
class MessageScrollBar final : public QScrollBar {
public:
    MessageScrollBar(ControlWindow* window, int bar)
        : QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, window), m_window(window), m_bar(bar) {
        setFocusPolicy(Qt::NoFocus);
        setContextMenuPolicy(Qt::PreventContextMenu);  // its menu would move the value directly
        setAttribute(Qt::WA_NoMousePropagation);
        setTracking(false);  // dragging moves only the thumb, never the value
        connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { onAction(action); });
        connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) {
            if (!m_mirroring) m_window->sendScrollRequest(m_bar, SB_THUMBTRACK, position);
        });
        connect(this, &QAbstractSlider::sliderReleased, this,
                [this] { m_window->sendScrollRequest(m_bar, SB_THUMBPOSITION, sliderPosition()); });
        hide();
    }

    void mirror(const ScrollInfo& info) {
        m_mirroring = true;
        setRange(info.min, info.max - std::max(info.page - 1, 0));
        setPageStep(std::max(info.page, 1));
        setValue(info.pos);
        m_mirroring = false;
    }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
            case QEvent::Wheel:  // the wheel over a bar scrolls the window, like the wheel over its client area
                m_window->sendWheelMessage(*static_cast<QWheelEvent*>(event));
                event->accept();
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (!isEnabled()) {  // a disabled bar does nothing, but the window still hears of the click
                    const auto* mouse = static_cast<QMouseEvent*>(event);
                    m_window->recordKeyState(mouse->modifiers());
                    m_window->sendNonClientPress(m_bar, mouse->button(), mouse->globalPosition());
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
        m_window->recordKeyState(event->modifiers());
        event->accept();
        if (event->button() != Qt::LeftButton) {  // only the left button drives a bar
            m_window->sendNonClientPress(m_bar, event->button(), event->globalPosition());
            return;
        }
        if (m_leftDown) return;
        m_leftDown = true;
        m_pressPosition = event->globalPosition();
        m_tracking = minimum() != maximum();  // Qt ignores presses on a bar without a range
        QScrollBar::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() != Qt::LeftButton || !m_leftDown) return;
        m_leftDown = false;
        QScrollBar::mouseReleaseEvent(event);
        if (m_tracking) m_window->sendScrollRequest(m_bar, SB_ENDSCROLL, 0);
        // The press's own handling is the tracking that just ended; the button-down message follows it.
        m_window->sendNonClientPress(m_bar, Qt::LeftButton, m_pressPosition);
    }

private:
    void onAction(int action) {
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
        if (request >= 0) m_window->sendScrollRequest(m_bar, request, 0);
        // Qt has already moved the slider for this action; put it back where the window keeps it.
        m_mirroring = true;
        setSliderPosition(m_window->m_scroll[m_bar].pos);
        m_mirroring = false;
    }

    ControlWindow* m_window;
    int m_bar;
    bool m_mirroring = false;
    bool m_leftDown = false;
    bool m_tracking = false;
    QPointF m_pressPosition;
};

ControlWindow::ControlWindow(QWidget* parent) : QWidget(parent) {
    m_handle = registry().add(this);
    m_windowProc = DefaultWindowProc{m_handle};
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    for (int bar : {SB_HORZ, SB_VERT}) {
        m_bars[bar] = new MessageScrollBar(this, bar);
        applyScrollInfo(bar);
    }
}

ControlWindow::~ControlWindow() {
    sendMessage(WM_DESTROY, 0, 0);
    registry().remove(m_handle);
}

ControlWindow* ControlWindow::fromHandle(WindowHandle handle) {
    return handle == 0 ? nullptr : registry().find(handle).window;
}

QThread* ControlWindow::windowThread(WindowHandle handle) {
    return handle == 0 ? nullptr : registry().find(handle).thread;
}

LRESULT ControlWindow::sendMessage(WindowHandle handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    ControlWindow* window = fromHandle(handle);
    return window != nullptr ? window->sendMessage(msg, wParam, lParam) : 0;
}

WindowProc ControlWindow::setWindowProc(WindowProc proc) {
    if (!proc) return {};
    std::swap(m_windowProc, proc);
    return proc;
}

LRESULT ControlWindow::sendMessage(std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    // A copy: the procedure may replace itself (or be replaced) while it runs.
    const WindowProc proc = m_windowProc;
    return proc(m_handle, msg, wParam, lParam);
}

LRESULT ControlWindow::defaultWindowProc(std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        if (m_paintEvent != nullptr)
            paintClient();
        else
            update();  // painting happens only inside a paint event; ask for one
        return 0;
    }
    if (m_client == nullptr) return 0;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const int mouseShift = shiftOfKeyFlags(wParam) | (m_keyState & AltMask);
    switch (msg) {
        case WM_SIZE:
            m_client->resized(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
            break;
        case WM_SETFOCUS: m_client->focusIn(); break;
        case WM_KILLFOCUS: m_client->focusOut(); break;
        case WM_KEYDOWN: m_client->keyDown(static_cast<int>(wParam), m_keyState); break;
        case WM_KEYUP: m_client->keyUp(static_cast<int>(wParam), m_keyState); break;
        case WM_CHAR: m_client->keyChar(static_cast<int>(wParam)); break;
        case WM_MOUSEMOVE: m_client->mouseMove(buttonsOfKeyFlags(wParam), mouseShift, x, y); break;
        case WM_LBUTTONDOWN: m_client->mouseDown(LeftButton, mouseShift, x, y); break;
        case WM_RBUTTONDOWN: m_client->mouseDown(RightButton, mouseShift, x, y); break;
        case WM_MBUTTONDOWN: m_client->mouseDown(MiddleButton, mouseShift, x, y); break;
        case WM_LBUTTONUP: m_client->mouseUp(LeftButton, mouseShift, x, y); break;
        case WM_RBUTTONUP: m_client->mouseUp(RightButton, mouseShift, x, y); break;
        case WM_MBUTTONUP: m_client->mouseUp(MiddleButton, mouseShift, x, y); break;
        case WM_LBUTTONDBLCLK: m_client->mouseDoubleClick(LeftButton, mouseShift, x, y); break;
        case WM_RBUTTONDBLCLK: m_client->mouseDoubleClick(RightButton, mouseShift, x, y); break;
        case WM_MBUTTONDBLCLK: m_client->mouseDoubleClick(MiddleButton, mouseShift, x, y); break;
        case WM_MOUSEWHEEL: {
            // The wheel message carries screen coordinates.
            const QPoint client = mapFromGlobal(QPoint(x, y));
            m_client->mouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), mouseShift, client.x(), client.y());
            break;
        }
        default: break;  // scroll and non-client messages have no default action
    }
    return 0;
}

void ControlWindow::paintClient() {
    QPainter painter(this);
    const QRect dirty = m_paintEvent->rect() & clientRect();
    if (m_client == nullptr || dirty.isEmpty()) return;
    painter.setClipRect(dirty);
    m_client->paint(painter, dirty);
}

void ControlWindow::paintEvent(QPaintEvent* event) {
    m_paintEvent = event;
    sendMessage(WM_PAINT, 0, 0);
    m_paintEvent = nullptr;
}

void ControlWindow::resizeEvent(QResizeEvent*) {
    layoutScrollBars();
    const QRect client = clientRect();
    sendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.width(), client.height()));
}

void ControlWindow::focusInEvent(QFocusEvent*) { sendMessage(WM_SETFOCUS, 0, 0); }

void ControlWindow::focusOutEvent(QFocusEvent*) { sendMessage(WM_KILLFOCUS, 0, 0); }

void ControlWindow::recordKeyState(Qt::KeyboardModifiers modifiers) { m_keyState = automation::ShiftCode(modifiers); }

void ControlWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    recordKeyState(event->modifiers());
    if (const int vk = virtualKeyOf(*event); vk != 0)
        sendMessage(WM_KEYDOWN, static_cast<WPARAM>(vk), keyData(event->isAutoRepeat(), false));
    const QString text = event->text();
    for (const QChar ch : text) sendMessage(WM_CHAR, ch.unicode(), keyData(event->isAutoRepeat(), false));
}

void ControlWindow::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat())  // a held key repeats only its key-down message
        return;
    recordKeyState(event->modifiers());
    if (const int vk = virtualKeyOf(*event); vk != 0)
        sendMessage(WM_KEYUP, static_cast<WPARAM>(vk), keyData(true, true));
}

void ControlWindow::sendMouseMessage(std::uint32_t msg, const QMouseEvent& event) {
    sendMessage(msg, mouseKeyFlags(event.buttons(), event.modifiers()), pointParam(event.position()));
}

namespace {

// The message of a button event, or WM_NULL for buttons the window does not report.
std::uint32_t buttonMessage(Qt::MouseButton button, std::uint32_t left, std::uint32_t right, std::uint32_t middle) {
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
    sendButtonMessage(*event, buttonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), true);
}

void ControlWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    sendButtonMessage(*event, buttonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK),
                      true);
}

void ControlWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A press inside keeps the pointer captured, so the release is reported wherever it happens.
    sendButtonMessage(*event, buttonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), false);
}

void ControlWindow::sendButtonMessage(QMouseEvent& event, std::uint32_t msg, bool clientAreaOnly) {
    event.accept();
    recordKeyState(event.modifiers());
    if (msg == WM_NULL || (clientAreaOnly && !clientRect().contains(event.position().toPoint()))) return;
    sendMouseMessage(msg, event);
}

void ControlWindow::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    recordKeyState(event->modifiers());
    if (event->buttons() == Qt::NoButton && !clientRect().contains(event->position().toPoint())) return;
    sendMouseMessage(WM_MOUSEMOVE, *event);
}

void ControlWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    sendWheelMessage(*event);
}

void ControlWindow::sendWheelMessage(QWheelEvent& event) {
    recordKeyState(event.modifiers());
    const int delta = std::clamp(event.angleDelta().y(), -32768, 32767);
    if (delta == 0)  // horizontal wheels are not reported
        return;
    sendMessage(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(mouseKeyFlags(event.buttons(), event.modifiers())), delta),
                pointParam(event.globalPosition()));
}

void ControlWindow::sendScrollRequest(int bar, int code, int position) {
    sendMessage(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, position), 0);
}

void ControlWindow::sendNonClientPress(int bar, Qt::MouseButton button, const QPointF& globalPosition) {
    const auto msg = buttonMessage(button, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN);
    if (msg != WM_NULL) sendMessage(msg, bar == SB_HORZ ? HTHSCROLL : HTVSCROLL, pointParam(globalPosition));
}

int ControlWindow::setScrollInfo(int bar, const ScrollInfo& info) {
    if (!isValidBar(bar)) return 0;
    ScrollInfo& current = m_scroll[bar];
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
    applyScrollInfo(bar);
    return current.pos;
}

ScrollInfo ControlWindow::scrollInfo(int bar) const {
    if (!isValidBar(bar)) return {};
    ScrollInfo info = m_scroll[bar];
    info.mask = SIF_ALL;
    info.trackPos = m_bars[bar]->isSliderDown() ? m_bars[bar]->sliderPosition() : info.pos;
    return info;
}

void ControlWindow::applyScrollInfo(int bar) { m_bars[bar]->mirror(m_scroll[bar]); }

void ControlWindow::showScrollBar(int bar, bool show) {
    const QRect before = clientRect();
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == b || bar == SB_BOTH) m_barVisible[b] = show;
    layoutScrollBars();
    const QRect after = clientRect();
    if (after != before) sendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.width(), after.height()));
}

bool ControlWindow::isScrollBarVisible(int bar) const { return isValidBar(bar) && m_barVisible[bar]; }

void ControlWindow::enableScrollBar(int bar, bool enable) {
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == b || bar == SB_BOTH) m_bars[b]->setEnabled(enable);
}

bool ControlWindow::isScrollBarEnabled(int bar) const { return isValidBar(bar) && m_bars[bar]->isEnabled(); }

QRect ControlWindow::clientRect() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int w = width() - (m_barVisible[SB_VERT] ? extent : 0);
    const int h = height() - (m_barVisible[SB_HORZ] ? extent : 0);
    return QRect(0, 0, std::max(w, 0), std::max(h, 0));
}

void ControlWindow::layoutScrollBars() {
    const QRect client = clientRect();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_bars[SB_VERT]->setGeometry(client.width(), 0, extent, client.height());
    m_bars[SB_HORZ]->setGeometry(0, client.height(), client.width(), extent);
    for (int bar : {SB_HORZ, SB_VERT}) m_bars[bar]->setVisible(m_barVisible[bar]);
}

bool ControlWindow::deliverDrag(QDropEvent& event, bool drop) {
    DropData data;
    data.files = localFilesOf(event.mimeData());
    data.effect = effectsOf(event.possibleActions());
    data.button = automation::ButtonsCode(event.buttons());
    data.shift = automation::ShiftCode(event.modifiers());
    const QPoint position = event.position().toPoint();
    data.x = position.x();
    data.y = position.y();
    data.state = event.type() == QEvent::DragEnter ? DragState::Enter : DragState::Over;
    if (m_client == nullptr)
        data.effect = DropEffectNone;
    else if (drop)
        m_client->dragDrop(data);
    else
        m_client->dragOver(data);
    const Qt::DropAction action = actionFor(data.effect, event);
    event.setDropAction(action);
    event.setAccepted(action != Qt::IgnoreAction);
    return action != Qt::IgnoreAction;
}

void ControlWindow::dragEnterEvent(QDragEnterEvent* event) {
    deliverDrag(*event, false);
    event->accept();  // stay a target for the moves that follow, even where this spot refuses
}

void ControlWindow::dragMoveEvent(QDragMoveEvent* event) { deliverDrag(*event, false); }

void ControlWindow::dragLeaveEvent(QDragLeaveEvent*) {
    if (m_client == nullptr) return;
    DropData data;
    data.state = DragState::Leave;
    m_client->dragOver(data);
}

void ControlWindow::dropEvent(QDropEvent* event) { deliverDrag(*event, true); }

int wheelScrollLines() {
    const int lines =
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr ? QApplication::wheelScrollLines() : 0;
    return lines > 0 ? lines : 3;
}

}  // namespace lorvex
