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
    Status Invoke(DispId id, InvokeKind kind, std::vector<Variant> args, Variant* result = nullptr) {
        return view->Invoke(id, kind, args, result);
    }
    Status Call(DispId id, std::vector<Variant> args, Variant* result = nullptr) {
        return Invoke(id, InvokeKind::Method, std::move(args), result);
    }
    Variant Get(DispId id, std::vector<Variant> index = {}) {
        Variant v;
        EXPECT_TRUE(view->Invoke(id, InvokeKind::PropertyGet, index, &v).Ok());
        return v;
    }
    Status Put(DispId id, std::vector<Variant> indexAndValue) {
        return view->Invoke(id, InvokeKind::PropertyPut, indexAndValue, nullptr);
    }
    Status AddColumn(std::u16string key) { return Call(dispid::AddColumn, {Variant(key)}); }
    std::int32_t AddItem(std::u16string text = {}, std::int32_t insertAt = -1) {
        Variant at(insertAt), result;
        EXPECT_TRUE(Call(dispid::AddItem, {Variant::ByRef(at), Variant(text)}, &result).Ok());
        return result.Int32Or(-99);
    }
    std::vector<std::u16string> Column(std::int32_t c) {
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
    Status s = g.Call(dispid::AddItem, {}, &result);
    EXPECT_EQ(s.number, 31);
    EXPECT_EQ(s.description, u"can not add items when there are no columns");
    EXPECT_EQ(g.view->ItemCount(), 0);

    ASSERT_TRUE(g.AddColumn(u"a").Ok());
    g.AddItem(u"row");
    s = g.AddColumn(u"b");
    EXPECT_EQ(s.number, 33);
    EXPECT_EQ(s.description, u"can not add or remove columns when there are items");
    EXPECT_EQ(g.Call(dispid::RemoveColumn, {Variant(u"a")}).number, 33);
    EXPECT_EQ(g.view->ColumnCount(), 1);

    ASSERT_TRUE(g.Call(dispid::Clear, {}).Ok());
    EXPECT_TRUE(g.AddColumn(u"b").Ok());
    EXPECT_TRUE(g.Call(dispid::RemoveColumn, {Variant(u"A")}).Ok());
    EXPECT_EQ(g.Get(dispid::ColumnKey, {Int(0)}).StringOr(), u"b");
}

TEST(ListViewColumns, KeysAreUniqueIgnoringCaseAndTheEmptyKeyCounts) {
    Grid g;
    ASSERT_TRUE(g.Call(dispid::AddColumn, {}).Ok());
    Status s = g.Call(dispid::AddColumn, {});
    EXPECT_EQ(s.number, 300);
    EXPECT_EQ(s.description, u"Objekt nicht eindeutig in Aufz\u92D2lung!");
    ASSERT_TRUE(g.AddColumn(u"Title").Ok());
    EXPECT_EQ(g.AddColumn(u"TITLE").number, 300);
    EXPECT_EQ(g.view->ColumnCount(), 2);
}

TEST(ListViewColumns, IndexesArePositionsOrKeys) {
    Grid g;
    for (auto key : {u"x", u"y", u"2", u"z"}) ASSERT_TRUE(g.AddColumn(key).Ok());
    // The text "2" is a number, so it names position 2, not the column whose key is "2".
    ASSERT_TRUE(g.Put(dispid::ColumnVisible, {Variant(u"2"), Variant::FromBool(false)}).Ok());
    EXPECT_FALSE(g.view->Columns()[2].visible);
    ASSERT_TRUE(g.Put(dispid::ColumnCaption, {Variant(u"Z"), Variant(u"last")}).Ok());
    EXPECT_EQ(g.Get(dispid::ColumnCaption, {Int(3)}).StringOr(), u"last");
    EXPECT_EQ(g.Put(dispid::ColumnWidth, {Variant(u"nope"), Int(5)}).number, 9);
    EXPECT_EQ(g.Put(dispid::ColumnWidth, {Int(4), Int(5)}).number, 9);
    EXPECT_EQ(g.Call(dispid::RemoveColumn, {Int(7)}).number, 9);
    // ColumnIndex compares by value equality: an unknown key gives 0, like the first column.
    EXPECT_EQ(g.Get(dispid::ColumnIndex, {Variant(u"z")}).Int32Or(), 3);
    EXPECT_EQ(g.Get(dispid::ColumnIndex, {Variant(u"nothing")}).Int32Or(), 0);
    EXPECT_EQ(g.Get(dispid::ColumnIndex, {Variant(u"Z")}).Int32Or(), 0);
    // The defaults of AddColumn.
    EXPECT_EQ(g.Get(dispid::ColumnWidth, {Int(0)}).Int32Or(), 300);
    EXPECT_TRUE(g.Get(dispid::ColumnResizable, {Int(0)}).BoolOr());
    EXPECT_EQ(g.Get(dispid::ColumnTextAlign, {Int(0)}).Int32Or(), TextAlignLeft);
}

TEST(ListViewRows, InsertAndRemoveKeepTheCurrentRowOnItsRow) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"t").Ok());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.AddItem(u"r" + std::u16string(1, u'0' + i)), i);
    g.view->SetSelectedItem(3);
    EXPECT_EQ(g.AddItem(u"top", 0), 0);
    EXPECT_EQ(g.view->SelectedItem(), 4);
    EXPECT_EQ(g.view->ItemText(4, 0), u"r3");
    EXPECT_EQ(g.AddItem(u"end"), 6);
    EXPECT_EQ(g.view->SelectedItem(), 4);

    ASSERT_TRUE(g.Call(dispid::RemoveItem, {Int(0)}).Ok());
    EXPECT_EQ(g.view->SelectedItem(), 3);
    ASSERT_TRUE(g.Call(dispid::RemoveItem, {Int(g.view->ItemCount())}).Ok());  // ignored
    EXPECT_EQ(g.view->ItemCount(), 6);
    ASSERT_TRUE(g.Call(dispid::Clear, {}).Ok());
    EXPECT_EQ(g.view->SelectedItem(), -1);
    g.AddItem(u"only");
    g.view->SetSelectedItem(0);
    ASSERT_TRUE(g.Call(dispid::RemoveItem, {Int(0)}).Ok());
    EXPECT_EQ(g.view->SelectedItem(), -1);
}

TEST(ListViewRows, CellsTagsChecksAndSelectionFailOutsideTheRows) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"a").Ok());
    ASSERT_TRUE(g.AddColumn(u"b").Ok());
    g.AddItem(u"first");
    ASSERT_TRUE(g.Put(dispid::ItemText, {Int(0), Int(1), Variant(u"second cell")}).Ok());
    ASSERT_TRUE(g.Put(dispid::ItemTag, {Int(0), Int(2)}).Ok());
    ASSERT_TRUE(g.Put(dispid::ItemChecked, {Int(0), Variant::FromBool(true)}).Ok());
    ASSERT_TRUE(g.Put(dispid::ItemSelected, {Int(0), Variant(u"True")}).Ok());
    EXPECT_EQ(g.Get(dispid::ItemText, {Int(0), Int(1)}).StringOr(), u"second cell");
    EXPECT_EQ(g.Get(dispid::ItemTag, {Int(0)}).Int32Or(), 2);
    EXPECT_TRUE(g.Get(dispid::ItemChecked, {Int(0)}).BoolOr());
    EXPECT_EQ(g.Get(dispid::ItemSelected, {Int(0)}).Int32Or(), -1);  // True travels as -1

    // Reading a text never fails; everything else does.
    EXPECT_EQ(g.Get(dispid::ItemText, {Int(5), Int(0)}).StringOr(u"x"), u"");
    EXPECT_EQ(g.Get(dispid::ItemText, {Int(0), Int(9)}).StringOr(u"x"), u"");
    Variant v;
    EXPECT_EQ(g.Invoke(dispid::ItemTag, InvokeKind::PropertyGet, {Int(1)}, &v).number, 9);
    EXPECT_EQ(g.Put(dispid::ItemText, {Int(1), Int(0), Variant(u"x")}).number, 9);
    EXPECT_EQ(g.Put(dispid::ItemSelected, {Int(-1), Variant::FromBool(true)}).number, 9);
}

TEST(ListViewRows, CapacityGrowsByHalvesWithoutLosingRows) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"n").Ok());
    std::vector<std::size_t> capacities{g.view->Items().Capacity()};
    for (int i = 0; i < 3400; ++i) {
        g.AddItem(std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
        if (g.view->Items().Capacity() != capacities.back()) capacities.push_back(g.view->Items().Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1000, 1500, 2250, 3375, 5062}));
    for (int i : {999, 1000, 1499, 1500, 2249, 2250, 3399})
        EXPECT_EQ(g.view->ItemText(i, 0), std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
}

TEST(ListViewRows, AtMost32767RowsAreHeld) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"n").Ok());
    g.view->SetRedraw(false);
    for (int i = 0; i < 32767; ++i) g.AddItem();
    Variant result;
    EXPECT_TRUE(g.Call(dispid::AddItem, {}, &result).Failed());
    EXPECT_EQ(g.view->ItemCount(), 32767);
}

TEST(ListViewRows, MoveShiftsTheRowsBetweenAndRefusesBadPositions) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"n").Ok());
    for (auto t : {u"a", u"b", u"c", u"d"}) g.AddItem(t);
    ASSERT_TRUE(g.Call(dispid::MoveItem, {Int(0), Int(2)}).Ok());
    EXPECT_EQ(g.Column(0), (std::vector<std::u16string>{u"b", u"c", u"a", u"d"}));
    ASSERT_TRUE(g.Call(dispid::MoveItem, {Int(3), Int(0)}).Ok());
    EXPECT_EQ(g.Column(0), (std::vector<std::u16string>{u"d", u"b", u"c", u"a"}));
    EXPECT_EQ(g.Call(dispid::MoveItem, {Int(4), Int(0)}).number, 9);
    EXPECT_EQ(g.Call(dispid::MoveItem, {Int(0), Int(-1)}).number, 9);
    EXPECT_EQ(g.Column(0), (std::vector<std::u16string>{u"d", u"b", u"c", u"a"}));
}

TEST(ListViewSort, IgnoresCaseAndReverses) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"name").Ok());
    for (auto t : {u"cherry", u"apple", u"Banana"}) g.AddItem(t);
    ASSERT_TRUE(g.Call(dispid::Sort, {Variant(u"name"), Int(SortAscending)}).Ok());
    EXPECT_EQ(g.Column(0), (std::vector<std::u16string>{u"apple", u"Banana", u"cherry"}));
    ASSERT_TRUE(g.Call(dispid::Sort, {Variant(u"name"), Int(SortDescending)}).Ok());
    EXPECT_EQ(g.Column(0), (std::vector<std::u16string>{u"cherry", u"Banana", u"apple"}));
}

TEST(ListViewSort, TiesFallWhereTheGapSequencePutsThemAndStateTravels) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"key").Ok());
    ASSERT_TRUE(g.AddColumn(u"id").Ok());
    const char16_t* keys[] = {u"x", u"x", u"a", u"x", u"a"};
    for (int i = 0; i < 5; ++i) {
        g.AddItem(keys[i]);
        g.Put(dispid::ItemText, {Int(i), Int(1), Variant(std::u16string(1, static_cast<char16_t>(u'0' + i)))});
        g.Put(dispid::ItemTag, {Int(i), Int(100 + i)});
    }
    g.Put(dispid::ItemSelected, {Int(2), Variant::FromBool(true)});
    g.view->SetSelectedItem(3);
    // An unknown key sorts by column 0.
    ASSERT_TRUE(g.Call(dispid::Sort, {Variant(u"no such key")}).Ok());
    EXPECT_EQ(g.Column(1), (std::vector<std::u16string>{u"4", u"2", u"1", u"3", u"0"}));
    EXPECT_EQ(g.Get(dispid::ItemTag, {Int(1)}).Int32Or(), 102);
    EXPECT_TRUE(g.Get(dispid::ItemSelected, {Int(1)}).BoolOr());
    EXPECT_EQ(g.view->SelectedItem(), 3);  // keeps its number, not its row
}

TEST(ListViewSelection, SelectAllNeedsMultiSelect) {
    Grid g;
    ASSERT_TRUE(g.AddColumn(u"n").Ok());
    for (int i = 0; i < 3; ++i) g.AddItem();
    ASSERT_TRUE(g.Put(dispid::MultiSelect, {Variant::FromBool(false)}).Ok());
    ASSERT_TRUE(g.Call(dispid::SelectAll, {}).Ok());
    EXPECT_FALSE(g.Get(dispid::ItemSelected, {Int(1)}).BoolOr());
    ASSERT_TRUE(g.Put(dispid::MultiSelect, {Variant::FromBool(true)}).Ok());
    ASSERT_TRUE(g.Call(dispid::SelectAll, {}).Ok());
    EXPECT_TRUE(g.Get(dispid::ItemSelected, {Int(2)}).BoolOr());
    ASSERT_TRUE(g.Call(dispid::UnSelectAll, {}).Ok());
    EXPECT_FALSE(g.Get(dispid::ItemSelected, {Int(0)}).BoolOr());
}

TEST(ListViewCallback, NothingMeansTheControlItselfWhichDeclines) {
    Grid g;
    Variant callback = g.Get(dispid::DrawCallback);
    EXPECT_EQ(callback.Object().Get(), static_cast<Dispatch*>(g.view.Get()));
    Variant back(std::int32_t(-1)), fore(std::int32_t(-1)), result;
    EXPECT_TRUE(g.Call(dispid::CustomDraw, {Int(0), Int(0), Variant::ByRef(back), Variant::ByRef(fore)}, &result).Ok());
    EXPECT_FALSE(result.BoolOr(true));
    auto other = automation::MakeEventSink([](DispId, std::span<Variant>) {});
    ASSERT_TRUE(g.Invoke(dispid::DrawCallback, InvokeKind::PropertyPutRef, {Variant(other)}).Ok());
    EXPECT_EQ(g.Get(dispid::DrawCallback).Object(), other);
    ASSERT_TRUE(g.Invoke(dispid::DrawCallback, InvokeKind::PropertyPutRef, {Variant()}).Ok());
    EXPECT_EQ(g.Get(dispid::DrawCallback).Object().Get(), static_cast<Dispatch*>(g.view.Get()));
}

TEST(ListViewInterface, NamesReadOnlyPropertiesAndUnknownMembers) {
    Grid g;
    EXPECT_EQ(g.view->DispIdOfName(u"itemtext"), dispid::ItemText);
    EXPECT_EQ(g.view->DispIdOfName(u"MakeSureVisible"), dispid::MakeSureVisible);
    EXPECT_EQ(g.view->DispIdOfName(u"Nonsense"), automation::kDispIdUnknown);
    EXPECT_EQ(g.Put(dispid::ItemCount, {Int(3)}).number, 438);
    EXPECT_EQ(g.Put(dispid::ColumnCount, {Int(3)}).number, 438);
    EXPECT_EQ(g.Call(0x60039999, {}).number, 438);
    Variant v;
    EXPECT_EQ(g.view->Invoke(dispid::ScrolVisible, InvokeKind::PropertyGet, {}, &v).number, 438);
    EXPECT_EQ(g.Put(dispid::Redraw, {Variant(u"not a boolean")}).number, 13);
}
