// The grid's columns and rows driven through its dispatch interface, as a host drives them.
#include <gtest/gtest.h>

#include <vector>

#include "lorvex/listview/ListView.h"
#include "tests/lorvex/listview/TestHost.h"

using namespace lorvex;
using automation::InvokeKind;
using automation::Status;
using automation::Variant;

namespace {

class Grid {
public:
    Grid() : view(ListView::Create()) {
        view->SetSite(&site);
        view->InitProperties();
    }
    Status invoke(DispId id, InvokeKind kind, std::vector<Variant> args, Variant* result = nullptr) {
        return view->Invoke(id, kind, args, result);
    }
    Status call(DispId id, std::vector<Variant> args, Variant* result = nullptr) {
        return invoke(id, InvokeKind::Method, std::move(args), result);
    }
    Variant get(DispId id, std::vector<Variant> index = {}) {
        Variant v;
        EXPECT_TRUE(view->Invoke(id, InvokeKind::PropertyGet, index, &v).ok());
        return v;
    }
    Status put(DispId id, std::vector<Variant> indexAndValue) {
        return view->Invoke(id, InvokeKind::PropertyPut, indexAndValue, nullptr);
    }
    Status addColumn(std::u16string key) { return call(dispid::AddColumn, {Variant(key)}); }
    std::int32_t addItem(std::u16string text = {}, std::int32_t insertAt = -1) {
        Variant at(insertAt), result;
        EXPECT_TRUE(call(dispid::AddItem, {Variant::byRef(at), Variant(text)}, &result).ok());
        return result.int32Or(-99);
    }
    std::vector<std::u16string> column(std::int32_t c) {
        std::vector<std::u16string> texts;
        for (std::int32_t r = 0; r < view->ItemCount(); ++r) texts.push_back(view->ItemText(r, c));
        return texts;
    }

    TestSite site;
    Ref<ListView> view;
};

Variant Int(std::int32_t v) { return Variant(v); }

}  // namespace

TEST(ListViewColumns, RowsNeedColumnsAndFreezeThem) {
    Grid g;
    Variant result;
    Status s = g.call(dispid::AddItem, {}, &result);
    EXPECT_EQ(s.number, 31);
    EXPECT_EQ(s.description, u"can not add items when there are no columns");
    EXPECT_EQ(g.view->ItemCount(), 0);

    ASSERT_TRUE(g.addColumn(u"a").ok());
    g.addItem(u"row");
    s = g.addColumn(u"b");
    EXPECT_EQ(s.number, 33);
    EXPECT_EQ(s.description, u"can not add or remove columns when there are items");
    EXPECT_EQ(g.call(dispid::RemoveColumn, {Variant(u"a")}).number, 33);
    EXPECT_EQ(g.view->ColumnCount(), 1);

    ASSERT_TRUE(g.call(dispid::Clear, {}).ok());
    EXPECT_TRUE(g.addColumn(u"b").ok());
    EXPECT_TRUE(g.call(dispid::RemoveColumn, {Variant(u"A")}).ok());
    EXPECT_EQ(g.get(dispid::ColumnKey, {Int(0)}).stringOr(), u"b");
}

TEST(ListViewColumns, KeysAreUniqueIgnoringCaseAndTheEmptyKeyCounts) {
    Grid g;
    ASSERT_TRUE(g.call(dispid::AddColumn, {}).ok());
    Status s = g.call(dispid::AddColumn, {});
    EXPECT_EQ(s.number, 300);
    EXPECT_EQ(s.description, u"Objekt nicht eindeutig in Aufz\u92D2lung!");
    ASSERT_TRUE(g.addColumn(u"Title").ok());
    EXPECT_EQ(g.addColumn(u"TITLE").number, 300);
    EXPECT_EQ(g.view->ColumnCount(), 2);
}

TEST(ListViewColumns, IndexesArePositionsOrKeys) {
    Grid g;
    for (auto key : {u"x", u"y", u"2", u"z"}) ASSERT_TRUE(g.addColumn(key).ok());
    // The text "2" is a number, so it names position 2, not the column whose key is "2".
    ASSERT_TRUE(g.put(dispid::ColumnVisible, {Variant(u"2"), Variant::fromBool(false)}).ok());
    EXPECT_FALSE(g.view->columns()[2].visible);
    ASSERT_TRUE(g.put(dispid::ColumnCaption, {Variant(u"Z"), Variant(u"last")}).ok());
    EXPECT_EQ(g.get(dispid::ColumnCaption, {Int(3)}).stringOr(), u"last");
    EXPECT_EQ(g.put(dispid::ColumnWidth, {Variant(u"nope"), Int(5)}).number, 9);
    EXPECT_EQ(g.put(dispid::ColumnWidth, {Int(4), Int(5)}).number, 9);
    EXPECT_EQ(g.call(dispid::RemoveColumn, {Int(7)}).number, 9);
    // ColumnIndex compares by value equality: an unknown key gives 0, like the first column.
    EXPECT_EQ(g.get(dispid::ColumnIndex, {Variant(u"z")}).int32Or(), 3);
    EXPECT_EQ(g.get(dispid::ColumnIndex, {Variant(u"nothing")}).int32Or(), 0);
    EXPECT_EQ(g.get(dispid::ColumnIndex, {Variant(u"Z")}).int32Or(), 0);
    // The defaults of AddColumn.
    EXPECT_EQ(g.get(dispid::ColumnWidth, {Int(0)}).int32Or(), 300);
    EXPECT_TRUE(g.get(dispid::ColumnResizable, {Int(0)}).boolOr());
    EXPECT_EQ(g.get(dispid::ColumnTextAlign, {Int(0)}).int32Or(), TextAlignLeft);
}

TEST(ListViewRows, InsertAndRemoveKeepTheCurrentRowOnItsRow) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"t").ok());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.addItem(u"r" + std::u16string(1, u'0' + i)), i);
    g.view->SetSelectedItem(3);
    EXPECT_EQ(g.addItem(u"top", 0), 0);
    EXPECT_EQ(g.view->SelectedItem(), 4);
    EXPECT_EQ(g.view->ItemText(4, 0), u"r3");
    EXPECT_EQ(g.addItem(u"end"), 6);
    EXPECT_EQ(g.view->SelectedItem(), 4);

    ASSERT_TRUE(g.call(dispid::RemoveItem, {Int(0)}).ok());
    EXPECT_EQ(g.view->SelectedItem(), 3);
    ASSERT_TRUE(g.call(dispid::RemoveItem, {Int(g.view->ItemCount())}).ok());  // ignored
    EXPECT_EQ(g.view->ItemCount(), 6);
    ASSERT_TRUE(g.call(dispid::Clear, {}).ok());
    EXPECT_EQ(g.view->SelectedItem(), -1);
    g.addItem(u"only");
    g.view->SetSelectedItem(0);
    ASSERT_TRUE(g.call(dispid::RemoveItem, {Int(0)}).ok());
    EXPECT_EQ(g.view->SelectedItem(), -1);
}

TEST(ListViewRows, CellsTagsChecksAndSelectionFailOutsideTheRows) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"a").ok());
    ASSERT_TRUE(g.addColumn(u"b").ok());
    g.addItem(u"first");
    ASSERT_TRUE(g.put(dispid::ItemText, {Int(0), Int(1), Variant(u"second cell")}).ok());
    ASSERT_TRUE(g.put(dispid::ItemTag, {Int(0), Int(2)}).ok());
    ASSERT_TRUE(g.put(dispid::ItemChecked, {Int(0), Variant::fromBool(true)}).ok());
    ASSERT_TRUE(g.put(dispid::ItemSelected, {Int(0), Variant(u"True")}).ok());
    EXPECT_EQ(g.get(dispid::ItemText, {Int(0), Int(1)}).stringOr(), u"second cell");
    EXPECT_EQ(g.get(dispid::ItemTag, {Int(0)}).int32Or(), 2);
    EXPECT_TRUE(g.get(dispid::ItemChecked, {Int(0)}).boolOr());
    EXPECT_EQ(g.get(dispid::ItemSelected, {Int(0)}).int32Or(), -1);  // True travels as -1

    // Reading a text never fails; everything else does.
    EXPECT_EQ(g.get(dispid::ItemText, {Int(5), Int(0)}).stringOr(u"x"), u"");
    EXPECT_EQ(g.get(dispid::ItemText, {Int(0), Int(9)}).stringOr(u"x"), u"");
    Variant v;
    EXPECT_EQ(g.invoke(dispid::ItemTag, InvokeKind::PropertyGet, {Int(1)}, &v).number, 9);
    EXPECT_EQ(g.put(dispid::ItemText, {Int(1), Int(0), Variant(u"x")}).number, 9);
    EXPECT_EQ(g.put(dispid::ItemSelected, {Int(-1), Variant::fromBool(true)}).number, 9);
}

TEST(ListViewRows, CapacityGrowsByHalvesWithoutLosingRows) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"n").ok());
    std::vector<std::size_t> capacities{g.view->items().Capacity()};
    for (int i = 0; i < 3400; ++i) {
        g.addItem(std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
        if (g.view->items().Capacity() != capacities.back()) capacities.push_back(g.view->items().Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1000, 1500, 2250, 3375, 5062}));
    for (int i : {999, 1000, 1499, 1500, 2249, 2250, 3399})
        EXPECT_EQ(g.view->ItemText(i, 0), std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
}

TEST(ListViewRows, AtMost32767RowsAreHeld) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"n").ok());
    g.view->SetRedraw(false);
    for (int i = 0; i < 32767; ++i) g.addItem();
    Variant result;
    EXPECT_TRUE(g.call(dispid::AddItem, {}, &result).failed());
    EXPECT_EQ(g.view->ItemCount(), 32767);
}

TEST(ListViewRows, MoveShiftsTheRowsBetweenAndRefusesBadPositions) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"n").ok());
    for (auto t : {u"a", u"b", u"c", u"d"}) g.addItem(t);
    ASSERT_TRUE(g.call(dispid::MoveItem, {Int(0), Int(2)}).ok());
    EXPECT_EQ(g.column(0), (std::vector<std::u16string>{u"b", u"c", u"a", u"d"}));
    ASSERT_TRUE(g.call(dispid::MoveItem, {Int(3), Int(0)}).ok());
    EXPECT_EQ(g.column(0), (std::vector<std::u16string>{u"d", u"b", u"c", u"a"}));
    EXPECT_EQ(g.call(dispid::MoveItem, {Int(4), Int(0)}).number, 9);
    EXPECT_EQ(g.call(dispid::MoveItem, {Int(0), Int(-1)}).number, 9);
    EXPECT_EQ(g.column(0), (std::vector<std::u16string>{u"d", u"b", u"c", u"a"}));
}

TEST(ListViewSort, IgnoresCaseAndReverses) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"name").ok());
    for (auto t : {u"cherry", u"apple", u"Banana"}) g.addItem(t);
    ASSERT_TRUE(g.call(dispid::Sort, {Variant(u"name"), Int(SortAscending)}).ok());
    EXPECT_EQ(g.column(0), (std::vector<std::u16string>{u"apple", u"Banana", u"cherry"}));
    ASSERT_TRUE(g.call(dispid::Sort, {Variant(u"name"), Int(SortDescending)}).ok());
    EXPECT_EQ(g.column(0), (std::vector<std::u16string>{u"cherry", u"Banana", u"apple"}));
}

TEST(ListViewSort, TiesFallWhereTheGapSequencePutsThemAndStateTravels) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"key").ok());
    ASSERT_TRUE(g.addColumn(u"id").ok());
    const char16_t* keys[] = {u"x", u"x", u"a", u"x", u"a"};
    for (int i = 0; i < 5; ++i) {
        g.addItem(keys[i]);
        g.put(dispid::ItemText, {Int(i), Int(1), Variant(std::u16string(1, static_cast<char16_t>(u'0' + i)))});
        g.put(dispid::ItemTag, {Int(i), Int(100 + i)});
    }
    g.put(dispid::ItemSelected, {Int(2), Variant::fromBool(true)});
    g.view->SetSelectedItem(3);
    // An unknown key sorts by column 0.
    ASSERT_TRUE(g.call(dispid::Sort, {Variant(u"no such key")}).ok());
    EXPECT_EQ(g.column(1), (std::vector<std::u16string>{u"4", u"2", u"1", u"3", u"0"}));
    EXPECT_EQ(g.get(dispid::ItemTag, {Int(1)}).int32Or(), 102);
    EXPECT_TRUE(g.get(dispid::ItemSelected, {Int(1)}).boolOr());
    EXPECT_EQ(g.view->SelectedItem(), 3);  // keeps its number, not its row
}

TEST(ListViewSelection, SelectAllNeedsMultiSelect) {
    Grid g;
    ASSERT_TRUE(g.addColumn(u"n").ok());
    for (int i = 0; i < 3; ++i) g.addItem();
    ASSERT_TRUE(g.put(dispid::MultiSelect, {Variant::fromBool(false)}).ok());
    ASSERT_TRUE(g.call(dispid::SelectAll, {}).ok());
    EXPECT_FALSE(g.get(dispid::ItemSelected, {Int(1)}).boolOr());
    ASSERT_TRUE(g.put(dispid::MultiSelect, {Variant::fromBool(true)}).ok());
    ASSERT_TRUE(g.call(dispid::SelectAll, {}).ok());
    EXPECT_TRUE(g.get(dispid::ItemSelected, {Int(2)}).boolOr());
    ASSERT_TRUE(g.call(dispid::UnSelectAll, {}).ok());
    EXPECT_FALSE(g.get(dispid::ItemSelected, {Int(0)}).boolOr());
}

TEST(ListViewCallback, NothingMeansTheControlItselfWhichDeclines) {
    Grid g;
    Variant callback = g.get(dispid::DrawCallback);
    EXPECT_EQ(callback.object().get(), static_cast<Dispatch*>(g.view.get()));
    Variant back(std::int32_t(-1)), fore(std::int32_t(-1)), result;
    EXPECT_TRUE(g.call(dispid::CustomDraw, {Int(0), Int(0), Variant::byRef(back), Variant::byRef(fore)}, &result).ok());
    EXPECT_FALSE(result.boolOr(true));
    auto other = automation::MakeEventSink([](DispId, std::span<Variant>) {});
    ASSERT_TRUE(g.invoke(dispid::DrawCallback, InvokeKind::PropertyPutRef, {Variant(other)}).ok());
    EXPECT_EQ(g.get(dispid::DrawCallback).object(), other);
    ASSERT_TRUE(g.invoke(dispid::DrawCallback, InvokeKind::PropertyPutRef, {Variant()}).ok());
    EXPECT_EQ(g.get(dispid::DrawCallback).object().get(), static_cast<Dispatch*>(g.view.get()));
}

TEST(ListViewInterface, NamesReadOnlyPropertiesAndUnknownMembers) {
    Grid g;
    EXPECT_EQ(g.view->DispIdOfName(u"itemtext"), dispid::ItemText);
    EXPECT_EQ(g.view->DispIdOfName(u"MakeSureVisible"), dispid::MakeSureVisible);
    EXPECT_EQ(g.view->DispIdOfName(u"Nonsense"), automation::DispIdUnknown);
    EXPECT_EQ(g.put(dispid::ItemCount, {Int(3)}).number, 438);
    EXPECT_EQ(g.put(dispid::ColumnCount, {Int(3)}).number, 438);
    EXPECT_EQ(g.call(0x60039999, {}).number, 438);
    Variant v;
    EXPECT_EQ(g.view->Invoke(dispid::ScrolVisible, InvokeKind::PropertyGet, {}, &v).number, 438);
    EXPECT_EQ(g.put(dispid::Redraw, {Variant(u"not a boolean")}).number, 13);
}
