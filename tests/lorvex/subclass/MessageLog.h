#pragma once
// Test helpers: a procedure on top of a window's chain that records what passes, and a client
// that records what reaches the default handling.

#include "lorvex/listview/ControlWindow.h"

#include <QPainter>

#include <algorithm>
#include <string>
#include <vector>

namespace lorvex::test {

struct Message {
    std::uint32_t msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

class MessageLog {
public:
    explicit MessageLog(ControlWindow& window) : window_(window) {
        previous_ = window.SetWindowProc([this](WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) {
            messages_.push_back({msg, w, l});
            return previous_(h, msg, w, l);
        });
    }
    ~MessageLog() { window_.SetWindowProc(previous_); }  // the window may outlive the log
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // The recorded messages of the given kinds, in order.
    std::vector<Message> Of(std::initializer_list<std::uint32_t> kinds) const {
        std::vector<Message> result;
        std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(result),
                     [&](const Message& m) { return std::find(kinds.begin(), kinds.end(), m.msg) != kinds.end(); });
        return result;
    }
    void Clear() { messages_.clear(); }

private:
    ControlWindow& window_;
    WindowProc previous_;
    std::vector<Message> messages_;
};

class RecordingClient : public ControlWindowClient {
public:
    std::vector<std::string> calls;
    QColor fill = Qt::red;
    DropData lastDrop;
    int acceptEffect = kDropEffectCopy;

    void Paint(QPainter& painter, const QRect& dirty) override {
        painter.fillRect(dirty.adjusted(-50, -50, 50, 50), fill);  // more than asked: the clip must hold
        Add("paint");
    }
    void Resized(int w, int h) override { Add("resized", w, h); }
    void FocusIn() override { Add("focusIn"); }
    void FocusOut() override { Add("focusOut"); }
    void KeyDown(int vk, int shift) override { Add("keyDown", vk, shift); }
    void KeyUp(int vk, int shift) override { Add("keyUp", vk, shift); }
    void KeyChar(int ch) override { Add("char", ch); }
    void MouseDown(int b, int s, int x, int y) override { Add("down", b, s, x, y); }
    void MouseUp(int b, int s, int x, int y) override { Add("up", b, s, x, y); }
    void MouseDoubleClick(int b, int s, int x, int y) override { Add("dblclick", b, s, x, y); }
    void MouseMove(int b, int s, int x, int y) override { Add("move", b, s, x, y); }
    void MouseWheel(int d, int s, int x, int y) override { Add("wheel", d, s, x, y); }
    void DragOver(DropData& data) override {
        lastDrop = data;
        Add("dragOver", static_cast<int>(data.state));
        data.effect &= acceptEffect;
    }
    void DragDrop(DropData& data) override {
        lastDrop = data;
        Add("drop");
        data.effect &= acceptEffect;
    }

private:
    template <typename... Args>
    void Add(const char* name, Args... args) {
        std::string text = name;
        ((text += " " + std::to_string(args)), ...);
        calls.push_back(text);
    }
};

}  // namespace lorvex::test
