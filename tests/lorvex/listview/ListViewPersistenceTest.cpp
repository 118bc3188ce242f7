// Initial properties, the property bag, change notices to the container, and the font's measures.
#include <gtest/gtest.h>

#include <algorithm>

#include "lorvex/listview/ListView.h"
#include "tests/lorvex/listview/TestHost.h"

using namespace lorvex;
using automation::PropertyBag;
using automation::Variant;

namespace {
Ref<ListView> Placed(TestSite& site) {
    Ref<ListView> view = ListView::Create();
    view->SetSite(&site);
    return view;
}
bool Notified(const TestSite& site, DispId id) {
    return std::find(site.changes.begin(), site.changes.end(), id) != site.changes.end();
}
}  // namespace

TEST(ListViewPersistence, NewControlsStartAt16ButTheBagDefaultIs13) {
    TestSite site;
    Ref<ListView> fresh = Placed(site);
    fresh->InitProperties();
    EXPECT_EQ(fresh->PictureWidth(), 16);
    EXPECT_EQ(fresh->BackColor(), 0x80000005u);
    EXPECT_EQ(fresh->BorderStyle(), BorderStyleThin);

    Ref<ListView> loaded = Placed(site);
    loaded->ReadProperties(PropertyBag{});
    EXPECT_EQ(loaded->PictureWidth(), 13);
    EXPECT_EQ(loaded->PictureHeight(), 13);
    EXPECT_TRUE(loaded->Redraw());

    // A new control saves its 16 x 16 pictures, since they differ from the bag default.
    PropertyBag bag;
    fresh->WriteProperties(bag);
    EXPECT_EQ(bag.Read(u"PictureWidth", Variant()).Int32Or(), 16);
    EXPECT_FALSE(bag.Contains(u"BackColor"));
    EXPECT_FALSE(bag.Contains(u"Redraw"));
    EXPECT_TRUE(bag.Contains(u"Font"));
}

TEST(ListViewPersistence, PropertiesRoundTripThroughTheBag) {
    TestSite site;
    Ref<ListView> original = Placed(site);
    original->InitProperties();
    original->SetBackColor(0);
    original->SetForeColor(0x00FF00);
    original->SetColumnsVisible(false);
    original->SetMultiSelect(false);
    original->SetOLEDropMode(OLEDropManual);
    original->SetItemPaddingRight(9);
    original->SetSortable(false);
    original->Font()->SetName(u"Serif");
    original->Font()->SetSize(14);
    PropertyBag bag;
    original->WriteProperties(bag);
    EXPECT_EQ(bag.Read(u"BackColor", Variant()).Int32Or(-1), 0);

    Ref<ListView> copy = Placed(site);
    copy->ReadProperties(bag);
    EXPECT_EQ(copy->BackColor(), 0u);
    EXPECT_EQ(copy->ForeColor(), 0x00FF00u);
    EXPECT_FALSE(copy->ColumnsVisible());
    EXPECT_FALSE(copy->MultiSelect());
    EXPECT_EQ(copy->OLEDropMode(), OLEDropManual);
    EXPECT_EQ(copy->ItemPaddingRight(), 9);
    EXPECT_FALSE(copy->Sortable());
    EXPECT_EQ(copy->Font()->Name(), u"Serif");
    EXPECT_EQ(copy->Font()->Size(), 14);
    // The copy has its own font object: changing it leaves the original alone.
    copy->Font()->SetSize(20);
    EXPECT_EQ(original->Font()->Size(), 14);
}

TEST(ListViewPersistence, PersistedPropertiesTellTheContainerExceptSolidFocusRect) {
    TestSite site;
    Ref<ListView> view = Placed(site);
    view->SetCheckboxes(true);
    view->SetBackColor(0x123456);
    view->SetSelectedItem(-1);
    view->SetSolidFocusRect(false);
    EXPECT_TRUE(Notified(site, dispid::Checkboxes));
    EXPECT_TRUE(Notified(site, dispid::BackColor));
    EXPECT_FALSE(Notified(site, dispid::SolidFocusRect));
    EXPECT_FALSE(Notified(site, dispid::SelectedItem));
}

TEST(ListViewMeasures, RowHeightFollowsFontCheckboxesAndPictures) {
    TestSite site;
    Ref<ListView> view = Placed(site);
    view->ReadProperties(PropertyBag{});
    const int dpi = view->Widget()->logicalDpiY();
    view->Font()->SetSize(6.0 * 96 / dpi);  // an 8-pixel font on this screen
    const int textHeight = (6 * 96 / dpi) * dpi / 72;
    EXPECT_EQ(view->ItemHeight(), textHeight + 4);
    view->SetCheckboxes(true);
    EXPECT_EQ(view->ItemHeight(), std::max(textHeight + 4, 19));
    view->SetItemsAutoSize(false);
    view->SetItemPaddingTop(2);
    view->SetItemPaddingBottom(3);
    EXPECT_EQ(view->ItemHeight(), textHeight + 5);
    // The font's change notice rebuilds the measures.
    view->SetItemsAutoSize(true);
    view->SetCheckboxes(false);
    view->Font()->SetSize(36.0 * 72 / dpi);
    EXPECT_EQ(view->ItemHeight(), 36 + 4);
}
