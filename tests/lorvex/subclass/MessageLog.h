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
    explicit MessageLog(ControlWindow& window) : m_window(window) {
        m_previous = window.setWindowProc([this](WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) {
            m_messages.push_back({msg, w, l});
            return m_previous(h, msg, w, l);
        });
    }
    ~MessageLog() { m_window.setWindowProc(m_previous); }  // the window may outlive the log
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // The recorded messages of the given kinds, in order.
    std::vector<Message> of(std::initializer_list<std::uint32_t> kinds) const {
        std::vector<Message> result;
        std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(result),
                     [&](const Message& m) { return std::find(kinds.begin(), kinds.end(), m.msg) != kinds.end(); });
        return result;
    }
    void clear() { m_messages.clear(); }

private:
    ControlWindow& m_window;
    WindowProc m_previous;
    std::vector<Message> m_messages;
};

class RecordingClient : public ControlWindowClient {
public:
    std::vector<std::string> calls;
    QColor fill = Qt::red;
    DropData lastDrop;
    int acceptEffect = DropEffectCopy;

    void paint(QPainter& painter, const QRect& dirty) override {
        painter.fillRect(dirty.adjusted(-50, -50, 50, 50), fill);  // more than asked: the clip must hold
        add("paint");
    }
    void resized(int w, int h) override { add("resized", w, h); }
    void focusIn() override { add("focusIn"); }
    void focusOut() override { add("focusOut"); }
    void keyDown(int vk, int shift) override { add("keyDown", vk, shift); }
    void keyUp(int vk, int shift) override { add("keyUp", vk, shift); }
    void keyChar(int ch) override { add("char", ch); }
    void mouseDown(int b, int s, int x, int y) override { add("down", b, s, x, y); }
    void mouseUp(int b, int s, int x, int y) override { add("up", b, s, x, y); }
    void mouseDoubleClick(int b, int s, int x, int y) override { add("dblclick", b, s, x, y); }
    void mouseMove(int b, int s, int x, int y) override { add("move", b, s, x, y); }
    void mouseWheel(int d, int s, int x, int y) override { add("wheel", d, s, x, y); }
    void dragOver(DropData& data) override {
        lastDrop = data;
        add("dragOver", static_cast<int>(data.state));
        data.effect &= acceptEffect;
    }
    void dragDrop(DropData& data) override {
        lastDrop = data;
        add("drop");
        data.effect &= acceptEffect;
    }

private:
    template <typename... Args>
    void add(const char* name, Args... args) {
        std::string text = name;
        ((text += " " + std::to_string(args)), ...);
        calls.push_back(text);
    }
};

}  // namespace lorvex::test
