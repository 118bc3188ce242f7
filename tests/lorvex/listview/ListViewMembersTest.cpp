// The member table against the control: every name finds its identifier through the control's own lookup, and
// a new control reports every default the table gives, through Invoke as a host reads it.
#include <gtest/gtest.h>

#include <QString>
#include <set>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "tests/lorvex/listview/TestHost.h"

using namespace lorvex;
using automation::InvokeKind;
using automation::Variant;
using automation::VarType;

namespace {

struct TableMember {
    std::u16string name;
    DispId id;
};

#define TABLE_MEMBER(name, id, ...) TableMember{u"" #name, id},
const std::vector<TableMember> kMembers = {LORVEX_LISTVIEW_MEMBERS(TABLE_MEMBER, TABLE_MEMBER)};
#undef TABLE_MEMBER

// A default as a property get must report it: flags as Bool, numbers and colours as Long.
struct TableDefault {
    std::u16string name;
    DispId id;
    VarType type;
    std::int32_t value;
};
TableDefault Reported(std::u16string name, DispId id, bool value) {
    return {std::move(name), id, VarType::Bool, value ? -1 : 0};
}
TableDefault Reported(std::u16string name, DispId id, std::int32_t value) {
    return {std::move(name), id, VarType::Int32, value};
}
TableDefault Reported(std::u16string name, DispId id, std::uint32_t color) {
    return {std::move(name), id, VarType::Int32, static_cast<std::int32_t>(color)};
}

#define TABLE_DEFAULT(name, id, type, ...) \
    __VA_OPT__(Reported(u"" #name, id, static_cast<member_type::type>(__VA_ARGS__)), )
#define NO_DEFAULT(name, id)
const std::vector<TableDefault> kDefaults = {LORVEX_LISTVIEW_MEMBERS(TABLE_DEFAULT, NO_DEFAULT)};
#undef TABLE_DEFAULT
#undef NO_DEFAULT

std::string Narrow(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

void ExpectReportsEveryDefault(ListView& view) {
    for (const TableDefault& d : kDefaults) {
        Variant value;
        ASSERT_TRUE(view.Invoke(d.id, InvokeKind::PropertyGet, {}, &value).Ok()) << Narrow(d.name);
        EXPECT_EQ(value.Type(), d.type) << Narrow(d.name);
        EXPECT_EQ(value.Int32Or(12345), d.value) << Narrow(d.name);
    }
}

}  // namespace

TEST(ListViewMembers, EveryNameFindsItsIdentifierInAnyCase) {
    Ref<ListView> view = ListView::Create();
    for (const TableMember& m : kMembers) {
        EXPECT_EQ(view->DispIdOfName(m.name), m.id) << Narrow(m.name);
        const std::u16string upper = QString::fromStdU16String(m.name).toUpper().toStdU16String();
        EXPECT_EQ(view->DispIdOfName(upper), m.id) << Narrow(upper);
    }
    EXPECT_EQ(view->DispIdOfName(u"NoSuchMember"), automation::kDispIdUnknown);
}

TEST(ListViewMembers, NamesAndIdentifiersAreEachUsedOnce) {
    std::set<QString> names;
    std::set<DispId> ids;
    for (const TableMember& m : kMembers) {
        EXPECT_TRUE(names.insert(QString::fromStdU16String(m.name).toLower()).second) << Narrow(m.name);
        EXPECT_TRUE(ids.insert(m.id).second) << Narrow(m.name);
    }
    EXPECT_EQ(kMembers.size(), 61u) << "the published interface has 45 properties and 16 methods";
}

TEST(ListViewMembers, TheConstantsAreTheTableRows) {
    EXPECT_EQ(dispid::ItemHeight, 0x68030000);
    EXPECT_EQ(dispid::AddItem, 0x60030030);
    EXPECT_EQ(dispid::CustomDraw, 0x60030000);
    EXPECT_EQ(defaults::BorderStyle, BorderStyleThin);
    EXPECT_EQ(defaults::BackColor, 0x80000005u);
    EXPECT_EQ(defaults::SelectedItem, -1);
}

TEST(ListViewMembers, ANewControlReportsEveryDefault) {
    Ref<ListView> view = ListView::Create();
    ExpectReportsEveryDefault(*view);
}

TEST(ListViewMembers, APlacedControlAfterInitPropertiesReportsEveryDefault) {
    TestSite site;
    Ref<ListView> view = ListView::Create();
    view->SetSite(&site);
    view->InitProperties();
    ExpectReportsEveryDefault(*view);
}
