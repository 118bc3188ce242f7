// Real Qt input on the control window arrives as the platform's messages, passes the chain and
// reaches the client.
#include "MessageLog.h"

#include <QApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace lorvex;
using lorvex::test::Message;
using lorvex::test::MessageLog;
using lorvex::test::RecordingClient;

namespace {

class ControlWindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        window.SetClient(&client);
        window.resize(200, 120);
        window.show();
        QTest::qWait(0);
        client.calls.clear();
    }

    ControlWindow window;
    RecordingClient client;
};

}  // namespace

TEST(ControlWindowRegistry, HandlesAreUniqueAndDieWithTheirWindow) {
    auto first = std::make_unique<ControlWindow>();
    ControlWindow second;
    const WindowHandle handle = first->Handle();
    EXPECT_NE(handle, 0);
    EXPECT_NE(handle, second.Handle());
    EXPECT_EQ(ControlWindow::FromHandle(handle), first.get());
    EXPECT_EQ(ControlWindow::WindowThread(handle), QThread::currentThread());

    std::vector<std::uint32_t> seen;
    const WindowProc previous = first->SetWindowProc([&](WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) {
        seen.push_back(msg);
        return previous(h, msg, w, l);
    });
    EXPECT_FALSE(first->SetWindowProc({}));  // refused: the chain stays whole
    first.reset();
    EXPECT_EQ(seen, std::vector<std::uint32_t>{WM_DESTROY});
    EXPECT_EQ(ControlWindow::FromHandle(handle), nullptr);
    EXPECT_EQ(ControlWindow::WindowThread(handle), nullptr);
    EXPECT_EQ(ControlWindow::SendMessage(handle, WM_PAINT, 0, 0), 0);
    // A procedure kept past the window's end reaches no dead window.
    EXPECT_EQ(previous(handle, WM_SIZE, 0, MAKELPARAM(1, 1)), 0);
}

TEST_F(ControlWindowInput, MouseButtonsBecomeButtonMessages) {
    MessageLog log(window);
    QTest::mousePress(&window, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 22));
    QTest::mousePress(&window, Qt::RightButton, Qt::ControlModifier, QPoint(30, 40));
    QTest::mouseRelease(&window, Qt::RightButton, Qt::ControlModifier, QPoint(30, 40));
    EXPECT_EQ(log.Of({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}),
              (std::vector<Message>{{WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20)},
                                    {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(12, 22)},
                                    {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(30, 40)},
                                    {WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(30, 40)}}));
    EXPECT_EQ(client.calls,
              (std::vector<std::string>{"down 1 1 10 20", "up 1 1 12 22", "down 2 2 30 40", "up 2 2 30 40"}));
}

TEST_F(ControlWindowInput, DoubleClickAndMovesFollowThePlatformOrder) {
    // The platform's order: press, release, double click (the second press), release.
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    EXPECT_EQ(client.calls, (std::vector<std::string>{"down 1 0 5 6", "up 1 0 5 6", "dblclick 1 0 5 6", "up 1 0 5 6"}));

    client.calls.clear();
    QMouseEvent hover(QEvent::MouseMove, QPointF(50, 60), window.mapToGlobal(QPointF(50, 60)), Qt::NoButton,
                      Qt::NoButton, Qt::AltModifier);
    QApplication::sendEvent(&window, &hover);
    // Dragged outside with the button held: still reported, as the pointer is captured.
    QMouseEvent drag(QEvent::MouseMove, QPointF(-5, 300), window.mapToGlobal(QPointF(-5, 300)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drag);
    EXPECT_EQ(client.calls, (std::vector<std::string>{"move 0 4 50 60", "move 1 0 -5 300"}));
}

TEST_F(ControlWindowInput, KeysBecomeVirtualKeyAndCharacterMessages) {
    MessageLog log(window);
    QTest::keyClick(&window, Qt::Key_Down);
    QTest::keyClick(&window, Qt::Key_PageUp, Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_PageDown, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_Space);
    QTest::keyClick(&window, 'a');
    EXPECT_EQ(client.calls, (std::vector<std::string>{"keyDown 40 0", "keyUp 40 0", "keyDown 16 1", "keyDown 33 1",
                                                      "keyUp 33 1", "keyUp 16 0", "keyDown 17 2", "keyDown 34 2",
                                                      "keyUp 34 2", "keyUp 17 0", "keyDown 32 0", "char 32",
                                                      "keyUp 32 0", "keyDown 65 0", "char 97", "keyUp 65 0"}));
    EXPECT_EQ(log.Of({WM_KEYUP}).front().lParam, static_cast<LPARAM>(0xC0000001u));

    // A held key repeats its key-down only.
    client.calls.clear();
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&window, &repeatUp);
    QApplication::sendEvent(&window, &repeatDown);
    EXPECT_EQ(client.calls, std::vector<std::string>{"keyDown 38 0"});
    EXPECT_EQ(log.Of({WM_KEYDOWN}).back().lParam, static_cast<LPARAM>(0x40000001));
}

TEST_F(ControlWindowInput, WheelNotchesCarryDeltaAndScreenPosition) {
    window.ShowScrollBar(SB_VERT, true);
    client.calls.clear();
    MessageLog log(window);
    const QPoint local(40, 30);
    QWheelEvent towardsUser(local, window.mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                            Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&window, &towardsUser);
    // Over the scroll bar the wheel still scrolls the window.
    QScrollBar* bar = window.findChildren<QScrollBar*>().at(SB_VERT);
    QWheelEvent overBar(QPointF(2, 2), bar->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, 240), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &overBar);

    const auto wheels = log.Of({WM_MOUSEWHEEL});
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(wheels[0].wParam), static_cast<int>(MK_CONTROL));
    const QPoint global = window.mapToGlobal(local);
    EXPECT_EQ(wheels[0].lParam, MAKELPARAM(global.x(), global.y()));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), 240);
    const QPoint barPoint = bar->mapTo(&window, QPoint(2, 2));
    EXPECT_EQ(client.calls.front(), "wheel -120 2 40 30");
    EXPECT_EQ(client.calls.back(), "wheel 240 0 " + std::to_string(barPoint.x()) + " " + std::to_string(barPoint.y()));
}

TEST_F(ControlWindowInput, FocusResizeAndPaintReachTheClient) {
    QFocusEvent in(QEvent::FocusIn);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&window, &in);
    QApplication::sendEvent(&window, &out);
    window.resize(300, 150);
    EXPECT_EQ(client.calls, (std::vector<std::string>{"focusIn", "focusOut", "resized 300 150"}));

    client.calls.clear();
    window.ShowScrollBar(SB_BOTH, true);
    const QRect area = window.ClientRect();
    EXPECT_EQ(area.width(), 300 - window.findChildren<QScrollBar*>().at(SB_VERT)->width());
    EXPECT_LT(area.height(), 150);
    EXPECT_EQ(client.calls, std::vector<std::string>{"resized " + std::to_string(area.width()) + " " +
                                                     std::to_string(area.height())});
    window.ShowScrollBar(SB_BOTH, true);  // no change, no message
    EXPECT_EQ(client.calls.size(), 1u);

    // The client paints through the chain, clipped to the client area.
    client.calls.clear();
    const QImage image = window.grab().toImage();
    EXPECT_EQ(client.calls, std::vector<std::string>{"paint"});
    EXPECT_EQ(image.pixelColor(area.right(), area.bottom()), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(299, 149), QColor(Qt::red));

    // Outside a paint a WM_PAINT only asks for one.
    client.calls.clear();
    window.SendMessage(WM_PAINT, 0, 0);
    EXPECT_TRUE(client.calls.empty());
}

TEST_F(ControlWindowInput, DroppedUriListsReachTheClientWithPaths) {
    window.SetDropMode(true);
    EXPECT_TRUE(window.acceptDrops());
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile("/music/a.mp3"), QUrl("http://host/b.mp3"), QUrl::fromLocalFile("/music/c d.wma")});
    QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(client.lastDrop.files, (QStringList{"/music/a.mp3", "/music/c d.wma"}));
    EXPECT_EQ(client.lastDrop.effect, kDropEffectCopy | kDropEffectMove);
    EXPECT_EQ(client.lastDrop.shift, kShiftMask);

    client.acceptEffect = kDropEffectNone;
    QDragMoveEvent refused(QPoint(25, 35), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted());

    client.acceptEffect = kDropEffectCopy;
    QDropEvent drop(QPointF(26, 36), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(client.lastDrop.x, 26);
    EXPECT_EQ(client.lastDrop.y, 36);
    EXPECT_EQ(client.calls, (std::vector<std::string>{"dragOver 0", "dragOver 2", "drop"}));
}
