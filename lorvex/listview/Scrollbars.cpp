#include "lorvex/listview/Scrollbars.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "lorvex/listview/ControlWindow.h"

namespace lorvex {

namespace {

int Saturate(std::int64_t value) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

ScrollInfo Only(std::uint32_t mask) {
    ScrollInfo info;
    info.mask = mask;
    return info;
}

}  // namespace

void Scrollbars::Create(WindowHandle hWnd) {
    if (hWnd == 0 || subclassed_) return;
    Terminate();
    hWnd_ = hWnd;
    // Flat bars do not exist on this platform; the plain ones serve on every system.
    if (subclasser_.Subclass(hWnd, this, 0)) {
        subclassed_ = true;
        for (std::uint32_t msg :
             {WM_HSCROLL, WM_VSCROLL, WM_MOUSEWHEEL, WM_NCLBUTTONDOWN, WM_NCMBUTTONDOWN, WM_NCRBUTTONDOWN})
            subclasser_.AddMsg(hWnd, static_cast<std::int32_t>(msg), When::After);
    }
    wheelLines_ = WheelScrollLines();
    attached_ = true;
}

void Scrollbars::Terminate() {
    if (!attached_) return;
    if (subclassed_) subclasser_.UnSubclass(hWnd_);
    subclassed_ = false;
    hWnd_ = 0;
    attached_ = false;
}

ControlWindow* Scrollbars::Window() const { return ControlWindow::FromHandle(hWnd_); }

void Scrollbars::SetOrientation(int orientation) {
    orientation_ = orientation;
    if (ControlWindow* window = Window()) {
        window->ShowScrollBar(SB_HORZ, orientation == kOrientationHorizontal || orientation == kOrientationBoth);
        window->ShowScrollBar(SB_VERT, orientation == kOrientationVertical || orientation == kOrientationBoth);
    }
}

void Scrollbars::SetStyle(int style) {
    if (style != 0) return;  // a flat style needs flat bars
    style_ = style;
}

void Scrollbars::SetVisible(int bar, bool visible) {
    if (!IsBar(bar)) return;
    visible_[bar] = visible;
    if (ControlWindow* window = Window()) window->ShowScrollBar(bar, visible);
}

void Scrollbars::SetEnabled(int bar, bool enabled) {
    if (!IsBar(bar)) return;
    enabled_[bar] = enabled;
    if (ControlWindow* window = Window()) window->EnableScrollBar(bar, enabled);
}

void Scrollbars::SetSmallChange(int bar, int step) {
    if (IsBar(bar)) smallChange_[bar] = step;
}

int Scrollbars::Min(int bar) const {
    const ControlWindow* window = Window();
    return window && IsBar(bar) ? window->GetScrollInfo(bar).min : 0;
}

int Scrollbars::Max(int bar) const {
    const ControlWindow* window = Window();
    if (!window || !IsBar(bar)) return 0;
    const ScrollInfo info = window->GetScrollInfo(bar);
    return Saturate(std::int64_t{info.max} - info.page);
}

int Scrollbars::Value(int bar) const {
    const ControlWindow* window = Window();
    return window && IsBar(bar) ? window->GetScrollInfo(bar).pos : 0;
}

int Scrollbars::LargeChange(int bar) const {
    const ControlWindow* window = Window();
    return window && IsBar(bar) ? window->GetScrollInfo(bar).page : 0;
}

void Scrollbars::WriteRange(int bar, int min, int max) {
    ScrollInfo info = Only(SIF_RANGE);
    info.min = min;
    info.max = max;
    Window()->SetScrollInfo(bar, info);
}

void Scrollbars::SetMin(int bar, int value) {
    if (!Window() || !IsBar(bar)) return;
    WriteRange(bar, value, Saturate(std::int64_t{Max(bar)} + LargeChange(bar)));
}

void Scrollbars::SetMax(int bar, int value) {
    if (!Window() || !IsBar(bar)) return;
    WriteRange(bar, Min(bar), Saturate(std::int64_t{value} + LargeChange(bar)));
    Notify(bar, false);
}

void Scrollbars::SetValue(int bar, int value) {
    ControlWindow* window = Window();
    if (!window || !IsBar(bar) || value == Value(bar)) return;
    ScrollInfo info = Only(SIF_POS);
    info.pos = value;
    window->SetScrollInfo(bar, info);
    Notify(bar, false);
}

void Scrollbars::SetLargeChange(int bar, int page) {
    ControlWindow* window = Window();
    if (!window || !IsBar(bar)) return;
    ScrollInfo info = window->GetScrollInfo(bar);
    info.mask = SIF_RANGE | SIF_PAGE;
    info.max = Saturate(std::int64_t{info.max} + page - info.page);
    info.page = page;
    window->SetScrollInfo(bar, info);
}

void Scrollbars::Notify(int bar, bool tracking) {
    if (Value(bar) == lastNotified_[bar]) return;
    int reported = bar;
    if (events_) {
        if (tracking)
            events_->Scroll(reported);
        else
            events_->Change(reported);
    }
    lastNotified_[bar] = Value(bar);
}

void Scrollbars::ScrollRequest(int bar, int code) {
    const std::int64_t value = Value(bar);
    switch (code) {
        case SB_LINEUP: SetValue(bar, Saturate(std::max<std::int64_t>(value - SmallChange(bar), Min(bar)))); break;
        case SB_LINEDOWN:
            SetValue(bar, Saturate(std::min<std::int64_t>(value + SmallChange(bar), std::int64_t{Max(bar)} + 1)));
            break;
        case SB_PAGEUP: SetValue(bar, Saturate(value - LargeChange(bar))); break;
        case SB_PAGEDOWN: SetValue(bar, Saturate(value + LargeChange(bar))); break;
        case SB_THUMBTRACK:
            if (const ControlWindow* window = Window()) SetValue(bar, window->GetScrollInfo(bar).trackPos);
            Notify(bar, true);
            return;
        case SB_TOP: SetValue(bar, Min(bar)); break;
        case SB_BOTTOM: SetValue(bar, Max(bar)); break;
        case SB_ENDSCROLL: Notify(bar, false); return;
        default: return;  // the thumb's final position was already taken while tracking
    }
    Notify(bar, false);
}

void Scrollbars::Wheel(int delta, bool& handled, LRESULT& result) {
    // Whole notches move the list; a fine-grained wheel's parts of a notch add up until they make one.
    if ((delta > 0 && wheelRest_ < 0) || (delta < 0 && wheelRest_ > 0)) wheelRest_ = 0;
    const std::int64_t turned = std::int64_t{wheelRest_} + delta;
    const std::int64_t notches = turned / WHEEL_DELTA;
    wheelRest_ = static_cast<int>(turned - notches * WHEEL_DELTA);
    int bar = kBarVertical;
    int amount = Saturate(-notches * wheelLines_ * SmallChange(kBarVertical));
    if (events_) events_->MouseWheel(bar, amount);
    if (amount != 0 && Visible(bar) && Enabled(bar)) {
        SetValue(bar, Saturate(std::int64_t{Value(bar)} + amount));
        result = 1;
        handled = true;
    }
}

void Scrollbars::WndProc(bool, bool& bHandled, LRESULT& lReturn, WindowHandle, std::uint32_t uMsg, WPARAM wParam,
                         LPARAM, LPARAM&) {
    switch (uMsg) {
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN: {
            int bar = wParam == HTHSCROLL ? kBarHorizontal : wParam == HTVSCROLL ? kBarVertical : -1;
            if (bar < 0) return;
            int button = uMsg == WM_NCLBUTTONDOWN ? 1 : 2;
            if (events_) events_->ScrollClick(bar, button);
            return;
        }
        case WM_HSCROLL: ScrollRequest(kBarHorizontal, LOWORD(wParam)); return;
        case WM_VSCROLL: ScrollRequest(kBarVertical, LOWORD(wParam)); return;
        case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam), bHandled, lReturn); return;
        default: return;  // the middle button on a bar does nothing
    }
}

}  // namespace lorvex
