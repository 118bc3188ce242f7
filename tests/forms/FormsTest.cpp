// The windowing runtime: twips geometry, image pictures, click and hover events, timers, menus, forms and the
// container that hosts a component control.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/ClassRegistry.h"
#include "platform/forms/Application.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/Label.h"
#include "platform/forms/Menu.h"
#include "platform/forms/Timer.h"

using namespace forms;

namespace {

class TestForm : public Form {
public:
    TestForm() : Form(QStringLiteral("test")) {}
    int loads = 0, resizes = 0, unloads = 0;
    std::function<void()> duringLoad, duringUnload;

protected:
    void Form_Load() override {
        ++loads;
        if (duringLoad) duringLoad();
    }
    void Form_Resize() override { ++resizes; }
    void Form_Unload() override {
        ++unloads;
        if (duringUnload) duringUnload();
    }
};

QString WritePicture(const QTemporaryDir& dir, const QString& name, QColor color, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    image.save(path, "BMP");
    return path;
}

}  // namespace

TEST(FormsControls, KeepTwipsAsGivenAndSitOnWholePixels) {
    QWidget parent;
    Image image(&parent);
    image.Move(80, 1680, 300, 150);
    EXPECT_EQ(image.geometry(), QRect(5, 112, 20, 10));
    image.SetLeft(3660.0 / 200 * 17.5 + 80);
    EXPECT_DOUBLE_EQ(image.Left(), 3660.0 / 200 * 17.5 + 80);  // the value as set, fractions included
    EXPECT_EQ(image.x(), 27);                                  // 400.25 twips
    image.SetWidth(-10);
    EXPECT_EQ(image.Width(), 0);
}

TEST(FormsImage, AMissingPictureLeavesTheCurrentOne) {
    QTemporaryDir dir;
    QWidget parent;
    Image image(&parent);
    const QString red = WritePicture(dir, "red.bmp", Qt::red, {4, 4});
    EXPECT_TRUE(image.LoadPicture(red));
    EXPECT_FALSE(image.LoadPicture(dir.filePath("missing.bmp")));
    EXPECT_EQ(image.PictureFile(), red);
    EXPECT_EQ(image.Picture().toImage().pixelColor(1, 1), QColor(Qt::red));
}

TEST(FormsImage, ClicksNeedPressAndReleaseInsideAndDisabledImagesRaiseNothing) {
    QWidget parent;
    parent.resize(100, 100);
    Image image(&parent);
    image.Move(0, 0, 300, 300);
    int clicks = 0;
    std::vector<MouseArgs> downs;
    image.Click = [&] { ++clicks; };
    image.MouseDown = [&](const MouseArgs& a) { downs.push_back(a); };
    QTest::mouseClick(&image, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].button, kLeftButton);
    EXPECT_EQ(downs[0].shift, kShiftMask);
    EXPECT_EQ(downs[0].x, 45);
    EXPECT_EQ(downs[0].y, 60);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(3, 4));
    EXPECT_EQ(clicks, 1);  // only the left button clicks
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(50, 50));  // released outside
    EXPECT_EQ(clicks, 1);

    image.SetEnabled(false);
    EXPECT_TRUE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
    image.SetEnabled(true);
    EXPECT_FALSE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(FormsTimer, TicksOnlyWhileEnabledWithAnInterval) {
    Timer timer;
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    timer.SetEnabled(true);  // interval 0 never ticks
    QTest::qWait(30);        // a while in which no tick may come: the waiting is what is tested
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(5);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 2000);
    timer.SetEnabled(false);
    const int seen = ticks;
    QTest::qWait(30);  // six intervals without a tick
    EXPECT_EQ(ticks, seen);
}

TEST(FormsMenu, ChecksBelongToTheHandlersAndDashesSeparate) {
    Menu menu;
    MenuItem& loop = menu.Add(QStringLiteral("循环播放(&X)"));
    MenuItem& line = menu.Add(QStringLiteral("-"));
    loop.SetChecked(true);
    int clicks = 0;
    loop.Click = [&] { ++clicks; };
    loop.Action()->trigger();  // a click does not toggle the mark by itself
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(loop.Checked());
    loop.SetChecked(false);
    EXPECT_FALSE(loop.Checked());
    EXPECT_FALSE(loop.Action()->isCheckable()) << "an unchecked item draws no empty box";
    loop.Action()->trigger();
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(loop.Checked());
    EXPECT_TRUE(line.Action()->isSeparator());
    EXPECT_EQ(line.Caption(), QStringLiteral("-"));
    EXPECT_EQ(menu.Count(), 2u);
}

TEST(FormsForm, LoadsOnceResizesInTwipsAndUnloadsOnClose) {
    TestForm form;
    form.Move(1500, 3000, 4050, 2520);
    EXPECT_EQ(form.geometry().size(), QSize(270, 168));
    EXPECT_EQ(form.Width(), 4050);
    EXPECT_EQ(form.Height(), 2520);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    form.Show();
    form.Show();
    EXPECT_EQ(form.loads, 1);
    EXPECT_TRUE(form.Loaded());
    const int resizes = form.resizes;
    form.Resize(3000, 1500);
    EXPECT_GT(form.resizes, resizes);
    form.close();  // what the window manager's close does
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(form.isVisible());
    form.Show();
    EXPECT_EQ(form.loads, 2);
}

// Quitting closes every window, the one being unloaded too: its unload work (saving the list) must not run twice.
TEST(FormsForm, AnUnloadThatClosesItsOwnWindowRunsOnce) {
    TestForm form;
    form.Show();
    form.duringUnload = [&form] { form.close(); };
    form.Unload();
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(form.isVisible());
}

// A load lets events in (a long list loads); an end asked for meanwhile must neither be lost nor cut the load short.
TEST(FormsForm, AnUnloadAskedDuringTheLoadFollowsItAndTheFormIsNotShown) {
    TestForm form;
    int unloadsSeenDuringLoad = -1;
    form.duringLoad = [&] {
        form.Unload();
        unloadsSeenDuringLoad = form.unloads;
    };
    form.Show();
    EXPECT_EQ(unloadsSeenDuringLoad, 0);
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(form.isVisible());
}

TEST(FormsForm, AnOwnedFormKeepsItsPlaceAndShowsNormalAgainAfterAMinimise) {
    QWidget owner;
    owner.show();
    TestForm form;
    form.Move(1500, 3000);
    form.Show();
    form.SetOwner(&owner);
    EXPECT_EQ(form.parentWidget(), &owner);
    EXPECT_TRUE(form.isWindow());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.pos(), QPoint(100, 200));
    form.setWindowState(Qt::WindowMinimized);
    form.Hide();
    form.Show();
    EXPECT_FALSE(form.isMinimized());
}

TEST(FormsApplication, QtsOwnButtonsSpeakChinese) {
    ASSERT_TRUE(UseChineseForQtTexts()) << "Qt's Chinese translations are not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

TEST(FormsLabel, SettingTheSameTextRepaintsNothing) {
    QWidget parent;
    Label label(&parent);
    label.SetCaption(QStringLiteral("正在播放"));
    EXPECT_EQ(label.Caption(), QStringLiteral("正在播放"));
}

TEST(FormsControlHost, CreatesTheGridByClassIdentityAndPlacesIt) {
    QTemporaryDir dir;
    const QString manifest = dir.filePath("forms.manifest");
    std::ofstream(manifest.toStdString())
        << "[" << lorvex::CLSID_ListView.ToString() << "]\nProgID=lorvex.ListView\nLibrary=" << LORVEX_LIBRARY << "\n";
    automation::ClassRegistry::Instance().AddManifest(manifest.toStdString());

    TestForm form;
    ControlHost host(&form);
    automation::PropertyBag design;
    design.Write(u"BackColor", automation::Variant(std::int32_t(0)), automation::Variant(std::int32_t(0x80000005)));
    ASSERT_TRUE(host.Create(lorvex::CLSID_ListView, design).Ok());
    ASSERT_NE(host.Widget(), nullptr);
    EXPECT_EQ(host.Widget()->parentWidget(), &form);
    host.Move(100, 760, 3000, 1500);
    EXPECT_EQ(host.Widget()->geometry(), QRect(7, 51, 200, 100));
    automation::Variant back;
    ASSERT_TRUE(automation::GetProperty(host.Object(), lorvex::dispid::BackColor, {}, back).Ok());
    EXPECT_EQ(back.Int32Or(-1), 0);
    std::vector<automation::DispId> events;
    EXPECT_TRUE(host.Advise(lorvex::DIID_ListViewEvents,
                            [&](automation::DispId id, std::span<automation::Variant>) { events.push_back(id); }));
}
