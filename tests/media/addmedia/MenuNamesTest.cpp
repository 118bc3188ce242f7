// The playlist menu as the user sees it, with every item named for its command: the captions, separators, check
// mark and order shown, and a click on each place running the command of that name. A menu window of its own, so
// the play mode the other menu tests leave does not matter.
#include <gtest/gtest.h>

#include <QAction>
#include <vector>

#include "media/core/ModuleMedia.h"
#include "media/playlist/MenuWindow.h"

using namespace media;

namespace {

struct ShownItem {
    const char* caption;  // "-" for a separator
    const char16_t* name = nullptr;
    int index = forms::MenuItem::kNotInArray;
    bool checked = false;
};

const std::vector<ShownItem> kListMenu = {
    {"添加文件(&A)", u"mnuAddFile"},
    {"添加目录(&F)", u"mnuAddFolder"},
    {"-"},
    {"删除文件(&D)", u"mnuDelFile"},
    {"清除列表(&C)", u"mnuClearList"},
    {"-"},
    {"单曲播放(&S)", u"mnuPlayMode", 0},
    {"单曲循环(&I)", u"mnuPlayMode", 1},
    {"顺序播放(&N)", u"mnuPlayMode", 2},
    {"循环播放(&X)", u"mnuPlayMode", 3, true},
    {"随机播放(&R)", u"mnuPlayMode", 4},
    {"-"},
    {"打开播放列表(&O)", u"mnuPlayListOpen"},
    {"新建播放列表(&L)", u"mnuPlayListCreate"},
    {"将播放列表另存为(&S)", u"mnuPlayListSave"},
    {"-"},
    {"关于(&A)", u"mnuAbout"},
};

// Keeps the shared values a command changes as they were.
class MenuNames : public ::testing::Test {
protected:
    void SetUp() override { saved = Shared(); }
    void TearDown() override { Shared() = saved; }

    SharedValues saved;
    MenuWindow menu;
};

}  // namespace

TEST_F(MenuNames, TheListMenuShowsItsItemsInOrderEachUnderItsName) {
    const QList<QAction*> shown = menu.mnuList.NativeMenu()->actions();
    ASSERT_EQ(shown.size(), static_cast<qsizetype>(kListMenu.size()));
    EXPECT_EQ(menu.mnuList.Count(), kListMenu.size());
    for (std::size_t i = 0; i < kListMenu.size(); ++i) {
        const ShownItem& expected = kListMenu[i];
        QAction* action = shown[static_cast<qsizetype>(i)];
        const bool separator = QString::fromUtf8(expected.caption) == QStringLiteral("-");
        EXPECT_EQ(action->isSeparator(), separator) << i;
        if (separator) continue;
        EXPECT_EQ(action->text(), QString::fromUtf8(expected.caption)) << i;
        EXPECT_EQ(action->isChecked(), expected.checked) << i;
        EXPECT_EQ(menu.mnuList.Item(expected.name, expected.index).Action(), action) << i;
    }
}

TEST_F(MenuNames, EachAccessorIsTheItemOfItsName) {
    const std::vector<std::pair<forms::MenuItem*, QString>> named = {
        {&menu.mnuAddFile(), QStringLiteral("mnuAddFile")},
        {&menu.mnuAddFolder(), QStringLiteral("mnuAddFolder")},
        {&menu.mnuDelFile(), QStringLiteral("mnuDelFile")},
        {&menu.mnuClearList(), QStringLiteral("mnuClearList")},
        {&menu.mnuPlayListOpen(), QStringLiteral("mnuPlayListOpen")},
        {&menu.mnuPlayListCreate(), QStringLiteral("mnuPlayListCreate")},
        {&menu.mnuPlayListSave(), QStringLiteral("mnuPlayListSave")},
        {&menu.mnuAbout(), QStringLiteral("mnuAbout")},
        {&menu.mnuEdit(), QStringLiteral("mnuEdit")},
    };
    for (const auto& [item, name] : named) {
        EXPECT_EQ(item->Name(), name);
        EXPECT_EQ(item->Index(), forms::MenuItem::kNotInArray) << name.toStdString();
    }
    for (int i = 0; i < MenuWindow::kPlayModeCount; ++i) {
        EXPECT_EQ(menu.mnuPlayMode(i).Name(), QStringLiteral("mnuPlayMode"));
        EXPECT_EQ(menu.mnuPlayMode(i).Index(), i);
    }
    EXPECT_EQ(menu.mnuEdit().Caption(), QStringLiteral("编辑"));
}

TEST_F(MenuNames, AClickOnEachPlayModePlaceRunsThatMode) {
    const QList<QAction*> shown = menu.mnuList.NativeMenu()->actions();
    for (int mode = 0; mode < MenuWindow::kPlayModeCount; ++mode) {
        shown[6 + mode]->trigger();  // where the user clicks: the sixth place onwards
        EXPECT_EQ(Shared().PlayMode, mode);
        for (int i = 0; i < MenuWindow::kPlayModeCount; ++i) EXPECT_EQ(shown[6 + i]->isChecked(), i == mode) << mode;
    }
}

TEST_F(MenuNames, AClickOnTheNewListPlaceForgetsTheListFile) {
    Shared().PlayListFile = u"/somewhere/mine.lst";
    menu.mnuList.NativeMenu()->actions()[13]->trigger();
    EXPECT_TRUE(Shared().PlayListFile.empty());
}
