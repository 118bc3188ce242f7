// Routing of a window's messages to an owner, the message tables, ending the subclassing safely,
// and the error reports.
#include "MessageLog.h"

#include "lorvex/listview/Subclasser.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <thread>

using namespace lorvex;
using lorvex::test::RecordingClient;

namespace {

constexpr std::uint32_t kAnswered = 0x0401;  // the base procedure answers 42

// The window's own procedure below the subclass: recognisable, answers one message.
struct BaseProc {
    std::function<void(std::uint32_t)> onMessage;
    WindowProc next;
    LRESULT operator()(WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) const {
        if (onMessage) onMessage(msg);
        return msg == kAnswered ? 42 : next(h, msg, w, l);
    }
};

struct Call {
    bool before;
    std::uint32_t msg;
    LRESULT lReturn;
    LPARAM lParamUser;
    bool operator==(const Call&) const = default;
};

class Owner : public ISubclass {
public:
    std::vector<Call> calls;
    std::function<void(bool before, bool& handled, LRESULT& result, LPARAM& user)> react;

    void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, WindowHandle, std::uint32_t uMsg, WPARAM, LPARAM,
                 LPARAM& lParamUser) override {
        calls.push_back({bBefore, uMsg, lReturn, lParamUser});
        if (react) react(bBefore, bHandled, lReturn, lParamUser);
    }
};

class Subclassing : public ::testing::Test {
protected:
    void SetUp() override {
        previousReporter = SetSubclassReporter(
            [this](const std::string& title, const std::string& text) { reports.push_back(title + " | " + text); });
        window = std::make_unique<ControlWindow>();
        window->SetClient(&client);
        BaseProc base;
        base.onMessage = [this](std::uint32_t msg) {
            baseSaw.push_back(msg);
            if (onBase) onBase(msg);
        };
        base.next = window->GetWindowProc();
        window->SetWindowProc(base);
        hWnd = window->Handle();
    }
    void TearDown() override { SetSubclassReporter(previousReporter); }

    bool BaseIsBack() const { return window->GetWindowProc().target<BaseProc>() != nullptr; }
    LRESULT Send(std::uint32_t msg) { return window->SendMessage(msg, 0, 0); }

    SubclassReporter previousReporter;
    std::vector<std::string> reports;
    std::vector<std::uint32_t> baseSaw;
    std::function<void(std::uint32_t)> onBase;
    RecordingClient client;
    std::unique_ptr<ControlWindow> window;
    WindowHandle hWnd = 0;
    Subclasser subclasser;
    Owner owner;
};

const std::string kOverflow =
    "Error in Subclasser.zAddMsg | Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
    "ALL_MESSAGES instead of specific message values.";

}  // namespace

TEST_F(Subclassing, BeforeAndAfterCallsSurroundTheWindowsProcedure) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner, 9));
    subclasser.AddMsg(hWnd, kAnswered, When::Both);
    subclasser.AddMsg(hWnd, WM_KEYDOWN, When::After);
    EXPECT_EQ(Send(kAnswered), 42);
    window->SendMessage(WM_KEYDOWN, VK_UP, 0);
    Send(WM_KEYUP);  // not listed
    EXPECT_EQ(owner.calls,
              (std::vector<Call>{{true, kAnswered, 0, 9}, {false, kAnswered, 42, 9}, {false, WM_KEYDOWN, 0, 9}}));
    EXPECT_EQ(client.calls, (std::vector<std::string>{"keyDown 38 0", "keyUp 0 0"}));

    // Handled before: the window's procedure is skipped; after: the owner may change the result.
    owner.react = [](bool before, bool& handled, LRESULT& result, LPARAM& user) {
        if (before) {
            handled = true;
            result = 5;
        } else {
            result += 1;
            user = 77;
        }
    };
    baseSaw.clear();
    EXPECT_EQ(Send(kAnswered), 6);
    EXPECT_TRUE(baseSaw.empty());
    EXPECT_EQ(subclasser.lParamUser(hWnd), 77);
    subclasser.SetLParamUser(hWnd, 3);
    Send(WM_KEYDOWN);
    EXPECT_EQ(owner.calls.back().lParamUser, 3);
    EXPECT_EQ(subclasser.CallOrigWndProc(hWnd, kAnswered, 0, 0), 42);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Subclassing, MessageTablesKeepOneEntryPerMessageAndReuseFreedOnes) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    subclasser.AddMsg(hWnd, WM_CHAR, When::Before);
    subclasser.AddMsg(hWnd, WM_CHAR, When::Before);
    subclasser.DelMsg(hWnd, WM_CHAR, When::Before);
    Send(WM_CHAR);
    EXPECT_TRUE(owner.calls.empty());  // one delete removed the only entry

    for (std::int32_t msg = 0x500; msg < 0x500 + MSG_ENTRIES; ++msg) subclasser.AddMsg(hWnd, msg, When::After);
    EXPECT_TRUE(reports.empty());
    subclasser.AddMsg(hWnd, 0x600, When::After);
    EXPECT_EQ(reports, std::vector<std::string>{kOverflow});
    Send(0x600);
    EXPECT_TRUE(owner.calls.empty());

    reports.clear();
    subclasser.DelMsg(hWnd, 0x510, When::After);
    subclasser.AddMsg(hWnd, 0x600, When::After);  // takes the freed entry
    subclasser.AddMsg(hWnd, 0x501, When::After);  // already listed in a full table
    Send(0x600);
    Send(0x510);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(owner.calls, (std::vector<Call>{{false, 0x600, 0, 0}}));

    subclasser.AddMsg(hWnd, 0x601, When::After);
    EXPECT_EQ(reports, std::vector<std::string>{kOverflow});
    reports.clear();
    subclasser.AddMsg(hWnd, ALL_MESSAGES, When::After);
    subclasser.AddMsg(hWnd, 0x700, When::After);  // covered already; must not narrow the table
    Send(0x601);
    Send(0x702);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(owner.calls.size(), 3u);

    subclasser.DelMsg(hWnd, ALL_MESSAGES, When::After);
    Send(0x601);
    EXPECT_EQ(owner.calls.size(), 3u);
    subclasser.DelMsg(hWnd, WM_MOUSEWHEEL, When::Before);
    EXPECT_EQ(reports, std::vector<std::string>{"Error in Subclasser.zDelMsg | Message &H20A not found in table."});
}

TEST_F(Subclassing, RefusalsAreReportedWithTheirRoutine) {
    subclasser.AddMsg(hWnd, WM_PAINT, When::Before);
    EXPECT_FALSE(subclasser.UnSubclass(hWnd));
    EXPECT_FALSE(subclasser.Subclass(0, &owner));
    EXPECT_TRUE(subclasser.Subclass(hWnd, &owner));
    EXPECT_FALSE(subclasser.Subclass(hWnd, &owner));
    ControlWindow other;
    EXPECT_EQ(subclasser.lParamUser(other.Handle()), 0);
    EXPECT_EQ(subclasser.CallOrigWndProc(other.Handle(), kAnswered, 0, 0), 0);
    EXPECT_FALSE(subclasser.UnSubclass(other.Handle()));
    bool fromOtherThread = true;
    std::thread([&] { fromOtherThread = subclasser.Subclass(other.Handle(), &owner); }).join();
    EXPECT_FALSE(fromOtherThread);
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "Error in Subclasser.zMap_hWnd | Subclassing hasn't been started.",
                           "Error in Subclasser.UnSubclass | Window handle isn't subclassed.",
                           "Error in Subclasser.sc_Subclass | Invalid window handle.",
                           "Error in Subclasser.sc_Subclass | Window handle is already subclassed.",
                           "Error in Subclasser.zMap_hWnd | Window handle isn't subclassed.",
                           "Error in Subclasser.zMap_hWnd | Window handle isn't subclassed.",
                           "Error in Subclasser.zMap_hWnd | Window handle isn't subclassed.",
                           "Error in Subclasser.sc_Subclass | Window handle belongs to another process.",
                       }));
}

TEST_F(Subclassing, UnsubclassedWindowGetsItsProcedureBackWithItsNextMessage) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    subclasser.AddMsg(hWnd, ALL_MESSAGES, When::Both);
    EXPECT_FALSE(BaseIsBack());
    EXPECT_TRUE(subclasser.UnSubclass(hWnd));
    EXPECT_FALSE(BaseIsBack());
    window->SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(BaseIsBack());
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_EQ(client.calls, std::vector<std::string>{"keyDown 32 0"});
    EXPECT_EQ(Send(kAnswered), 42);
    // It can be subclassed again.
    EXPECT_TRUE(subclasser.Subclass(hWnd, &owner));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Subclassing, OwnerMayUnsubclassOrDestroyTheWindowFromItsCallback) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    subclasser.AddMsg(hWnd, ALL_MESSAGES, When::Both);
    owner.react = [&](bool before, bool&, LRESULT&, LPARAM&) {
        if (before) subclasser.UnSubclass(hWnd);
    };
    EXPECT_EQ(Send(kAnswered), 42);
    EXPECT_EQ(owner.calls.size(), 1u);  // no after call once ended
    EXPECT_TRUE(BaseIsBack());

    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    subclasser.AddMsg(hWnd, kAnswered, When::Both);
    owner.react = [&](bool before, bool&, LRESULT&, LPARAM&) {
        if (before) window.reset();
    };
    EXPECT_EQ(ControlWindow::SendMessage(hWnd, kAnswered, 0, 0), 0);
    EXPECT_EQ(ControlWindow::FromHandle(hWnd), nullptr);
    EXPECT_TRUE(subclasser.UnSubclass(hWnd));  // still known; quietly forgotten
    EXPECT_TRUE(reports.empty());
}

TEST_F(Subclassing, EndingWhileThePreviousProcedureRunsWaitsForItToReturn) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    subclasser.AddMsg(hWnd, ALL_MESSAGES, When::After);
    bool restoredDuringNested = true;
    onBase = [&](std::uint32_t msg) {
        if (msg != WM_SETFOCUS) return;
        subclasser.UnSubclass(hWnd);
        window->SendMessage(WM_KILLFOCUS, 0, 0);  // nested: passes the routing again
        restoredDuringNested = BaseIsBack();
    };
    Send(WM_SETFOCUS);
    EXPECT_FALSE(restoredDuringNested);
    EXPECT_TRUE(BaseIsBack());  // once the outer call returned
    EXPECT_EQ(baseSaw, (std::vector<std::uint32_t>{WM_SETFOCUS, WM_KILLFOCUS}));
    EXPECT_TRUE(owner.calls.empty());  // tables emptied before either after step
}

TEST_F(Subclassing, LaterProceduresAboveTheSubclassAreKept) {
    ASSERT_TRUE(subclasser.Subclass(hWnd, &owner));
    int topSaw = 0;
    const WindowProc below = window->SetWindowProc([&](WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) {
        ++topSaw;
        return below(h, msg, w, l);
    });
    subclasser.UnSubclass(hWnd);
    EXPECT_EQ(Send(kAnswered), 42);
    EXPECT_EQ(Send(kAnswered), 42);
    EXPECT_EQ(topSaw, 2);
    EXPECT_EQ(window->GetWindowProc().target<BaseProc>(), nullptr);
    window.reset();  // before the procedure's captures go
}

TEST_F(Subclassing, GoneOwnerAndTerminateLeaveWorkingWindows) {
    ControlWindow second;
    auto transient = std::make_unique<Owner>();
    ASSERT_TRUE(subclasser.Subclass(hWnd, transient.get()));
    ASSERT_TRUE(subclasser.Subclass(second.Handle(), &owner));
    subclasser.AddMsg(hWnd, ALL_MESSAGES, When::Both);
    subclasser.AddMsg(second.Handle(), ALL_MESSAGES, When::Both);
    transient.reset();  // gone without unsubclassing
    EXPECT_EQ(Send(kAnswered), 42);

    subclasser.Terminate();
    Send(WM_NULL);
    EXPECT_TRUE(BaseIsBack());
    second.SendMessage(WM_NULL, 0, 0);
    EXPECT_TRUE(owner.calls.empty());
    subclasser.AddMsg(hWnd, WM_PAINT, When::After);
    EXPECT_EQ(reports, std::vector<std::string>{"Error in Subclasser.zMap_hWnd | Subclassing hasn't been started."});
}

TEST(SubclassReports, DefaultWarnsTheUserAndLogs) {
    QString title;
    QString text;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                title = box->windowTitle();
                text = box->text();
                EXPECT_EQ(box->icon(), QMessageBox::Warning);
                box->accept();
            }
        }
    });
    closer.start(10);
    std::ostringstream log;
    std::streambuf* const stderrBuffer = std::cerr.rdbuf(log.rdbuf());
    Subclasser subclasser;
    subclasser.DelMsg(1, WM_PAINT);
    std::cerr.rdbuf(stderrBuffer);
    EXPECT_EQ(title, "Error in Subclasser.zMap_hWnd");
    EXPECT_EQ(text, "Subclassing hasn't been started.");
    EXPECT_EQ(log.str(), "Subclasser.zMap_hWnd: Subclassing hasn't been started\n");
}
