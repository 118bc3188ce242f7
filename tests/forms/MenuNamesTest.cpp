// Menu items reached by the names of their commands: a command stays with its item wherever other items go.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/forms/Menu.h"

using namespace forms;

namespace {

// Binds one handler per name and records which ran.
struct Commands {
    QStringList ran;
    void Bind(Menu& menu, QStringView name) {
        menu.Item(name).Click = [this, name = name.toString()] { ran << name; };
    }
};

}  // namespace

TEST(FormsMenuNames, ACommandStaysWithItsItemWhenItemsAreAddedBeforeIt) {
    Menu shorter, longer;
    shorter.Add(u"mnuOpen", QStringLiteral("打开(&O)"));
    shorter.Add(u"mnuSave", QStringLiteral("保存(&S)"));
    longer.Add(u"mnuNew", QStringLiteral("新建(&N)"));
    longer.Add(QStringLiteral("-"));
    longer.Add(u"mnuOpen", QStringLiteral("打开(&O)"));
    longer.Add(u"mnuSave", QStringLiteral("保存(&S)"));
    for (Menu* menu : {&shorter, &longer}) {
        Commands commands;
        commands.Bind(*menu, u"mnuOpen");
        commands.Bind(*menu, u"mnuSave");
        menu->Item(u"mnuSave").Action()->trigger();
        menu->Item(u"mnuOpen").Action()->trigger();
        EXPECT_EQ(commands.ran, QStringList({QStringLiteral("mnuSave"), QStringLiteral("mnuOpen")}));
        EXPECT_EQ(menu->Item(u"mnuSave").Caption(), QStringLiteral("保存(&S)"));
    }
    EXPECT_EQ(longer.Count(), 4u);
}

TEST(FormsMenuNames, ArrayItemsAreReachedByNameAndIndex) {
    Menu menu;
    menu.Add(u"mnuMode", 0, QStringLiteral("单曲播放(&S)"));
    menu.Add(u"mnuMode", 1, QStringLiteral("单曲循环(&I)"));
    menu.Add(u"mnuOther", QStringLiteral("其他"));
    EXPECT_EQ(menu.Item(u"mnuMode", 1).Caption(), QStringLiteral("单曲循环(&I)"));
    EXPECT_EQ(menu.Item(u"mnuMode", 1).Name(), QStringLiteral("mnuMode"));
    EXPECT_EQ(menu.Item(u"mnuMode", 1).Index(), 1);
    EXPECT_EQ(menu.Item(u"mnuOther").Index(), MenuItem::kNotInArray);
    EXPECT_THROW(menu.Item(u"mnuMode"), std::out_of_range) << "an array item needs its index";
    EXPECT_THROW(menu.Item(u"mnuMode", 2), std::out_of_range);
}

TEST(FormsMenuNames, UnknownNamesSeparatorsAndRepeatedNamesFail) {
    Menu menu;
    menu.Add(u"mnuOpen", QStringLiteral("打开(&O)"));
    MenuItem& line = menu.Add(QStringLiteral("-"));
    EXPECT_TRUE(line.Name().isEmpty());
    EXPECT_THROW(menu.Item(u""), std::out_of_range) << "a separator is no command";
    EXPECT_THROW(menu.Item(u"mnuClose"), std::out_of_range);
    EXPECT_THROW(menu.Add(u"mnuOpen", QStringLiteral("again")), std::logic_error);
    EXPECT_EQ(menu.Count(), 2u) << "the refused item was not added";
}
