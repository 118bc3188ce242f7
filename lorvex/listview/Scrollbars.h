#pragma once
// The two standard scroll bars of the grid's window as the list scrolls with them. Range, page and position live
// in the window's scroll information (Min = range minimum, LargeChange = page, Max = range maximum - page, Value =
// position, so the highest reachable Value is Max + 1); line steps and the enabled and visible state are kept
// here. Scroll requests, wheel turns and clicks on the bars reach this object through the subclasser, after the
// window's own handling, and come out as events.
#include "lorvex/listview/Subclasser.h"

namespace lorvex {

class ControlWindow;

// eBar values.
inline constexpr int kBarHorizontal = 0;
inline constexpr int kBarVertical = 1;

// Orientation values.
inline constexpr int kOrientationHorizontal = 0;
inline constexpr int kOrientationVertical = 1;
inline constexpr int kOrientationBoth = 2;

// What the bars report; every argument is by reference.
class ScrollbarsEvents {
public:
    virtual ~ScrollbarsEvents() = default;
    virtual void ScrollClick(int& bar, int& button) {}  // button 1 left, 2 right
    virtual void Scroll(int& bar) {}                    // the position moved by other means while tracking
    virtual void Change(int& bar) {}                    // the position moved
    virtual void MouseWheel(int& bar, int& amount) {}   // before the wheel moves the bar by amount
};

class Scrollbars final : private ISubclass {
public:
    explicit Scrollbars(ScrollbarsEvents* events = nullptr) : events_(events) {}
    ~Scrollbars() override { Terminate(); }
    Scrollbars(const Scrollbars&) = delete;
    Scrollbars& operator=(const Scrollbars&) = delete;

    // Manages the bars of this window. Ignored for handle 0 or while a window is subclassed.
    void Create(WindowHandle hWnd);
    // Lets go of the window.
    void Terminate();
    bool Attached() const { return attached_; }

    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation);
    // Only the plain bars exist here, so only the regular style 0 is taken.
    int Style() const { return style_; }
    void SetStyle(int style);
    bool CanBeFlat() const { return false; }

    bool Visible(int bar) const { return IsBar(bar) && visible_[bar]; }
    void SetVisible(int bar, bool visible);
    bool Enabled(int bar) const { return IsBar(bar) && enabled_[bar]; }
    void SetEnabled(int bar, bool enabled);
    int SmallChange(int bar) const { return IsBar(bar) ? smallChange_[bar] : 0; }
    void SetSmallChange(int bar, int step);

    int Min(int bar) const;
    void SetMin(int bar, int value);
    int Max(int bar) const;
    void SetMax(int bar, int value);
    int Value(int bar) const;
    void SetValue(int bar, int value);
    int LargeChange(int bar) const;
    void SetLargeChange(int bar, int page);

private:
    static bool IsBar(int bar) { return bar == kBarHorizontal || bar == kBarVertical; }
    ControlWindow* Window() const;
    void WriteRange(int bar, int min, int max);
    // Reports a position that differs from the last one reported.
    void Notify(int bar, bool tracking);
    void ScrollRequest(int bar, int code);
    void Wheel(int delta, bool& handled, LRESULT& result);

    void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, WindowHandle lng_hWnd, std::uint32_t uMsg,
                 WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;

    ScrollbarsEvents* events_;
    Subclasser subclasser_;
    WindowHandle hWnd_ = 0;
    bool attached_ = false;
    bool subclassed_ = false;
    int orientation_ = kOrientationBoth;
    int style_ = 0;
    int smallChange_[2] = {1, 1};
    bool enabled_[2] = {false, false};
    bool visible_[2] = {false, false};
    int wheelLines_ = 3;
    int lastNotified_[2] = {0, 0};
    int wheelRest_ = 0;  // part of a notch turned by a fine-grained wheel, kept for the next turn
};

}  // namespace lorvex
