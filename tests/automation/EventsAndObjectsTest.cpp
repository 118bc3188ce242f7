#include <gtest/gtest.h>

#include <vector>

#include "platform/automation/ControlHosting.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/Events.h"
#include "platform/automation/FontObject.h"

using namespace automation;

TEST(ConnectionPoint, SinksReceiveEventsAndWriteBackThroughReferences) {
    ConnectionPoint point(Guid::Of("F029CFD6-DBA0-4F33-AFFB-1653F81DEF05"));
    std::vector<DispId> seen;
    auto first = MakeEventSink([&](DispId id, std::span<Variant> args) {
        seen.push_back(id);
        args[0].Assign(Variant(std::int16_t(0)));  // e.g. a handler swallowing a key
    });
    std::uint32_t secondCookie = 0;
    auto second = MakeEventSink([&](DispId id, std::span<Variant>) {
        seen.push_back(id + 100);
        point.Unadvise(secondCookie);  // leaving during the event is allowed
    });
    point.Advise(first);
    secondCookie = point.Advise(second);
    EXPECT_EQ(point.Advise(nullptr), 0u);

    Variant keyCode(std::int16_t(13));
    Variant arg = Variant::ByRef(keyCode);
    point.Fire(8, std::span<Variant>(&arg, 1));
    point.Fire(9, std::span<Variant>(&arg, 1));
    EXPECT_EQ(seen, (std::vector<DispId>{8, 108, 9}));
    EXPECT_EQ(keyCode.Int32Or(-1), 0);
}

TEST(PropertyBag, LeavesOutDefaultsButKeepsObjects) {
    PropertyBag bag;
    bag.Write(u"PictureWidth", Variant(std::int32_t(13)), Variant(std::int32_t(13)));
    bag.Write(u"PictureHeight", Variant(std::int32_t(16)), Variant(std::int32_t(13)));
    bag.Write(u"Font", Variant(Ref<Dispatch>(FontObject::Create(u"Serif", 9).Get())), Variant());
    EXPECT_FALSE(bag.Contains(u"PictureWidth"));
    EXPECT_EQ(bag.Read(u"PictureWidth", Variant(std::int32_t(13))).Int32Or(), 13);
    EXPECT_EQ(bag.Read(u"PictureHeight", Variant(std::int32_t(13))).Int32Or(), 16);
    EXPECT_TRUE(bag.Read(u"Font", Variant()).IsObject());
    // Writing a default again removes an earlier value.
    bag.Write(u"PictureHeight", Variant(std::int32_t(13)), Variant(std::int32_t(13)));
    EXPECT_FALSE(bag.Contains(u"PictureHeight"));
}

namespace {
struct Recorder : FontObserver {
    std::vector<DispId> changes;
    void FontChanged(FontObject&, DispId property) override { changes.push_back(property); }
};
}  // namespace

TEST(FontObject, NotifiesRealChangesThroughSettersAndDispatch) {
    Ref<FontObject> font = FontObject::Create(u"Sans", 9);
    Recorder recorder;
    font->AddObserver(&recorder);
    font->SetBold(true);
    font->SetBold(true);  // no change, no notice
    Variant size(12.0);
    ASSERT_TRUE(
        font->Invoke(FontObject::Property::Size, InvokeKind::PropertyPut, std::span<Variant>(&size, 1), nullptr).Ok());
    Variant name;
    ASSERT_TRUE(font->Invoke(FontObject::Property::Name, InvokeKind::PropertyGet, {}, &name).Ok());
    EXPECT_EQ(name.StringOr(), u"Sans");
    EXPECT_EQ(recorder.changes, (std::vector<DispId>{FontObject::Property::Weight, FontObject::Property::Size}));
    EXPECT_TRUE(font->Bold());
    Ref<FontObject> copy = font->Clone();
    font->RemoveObserver(&recorder);
    copy->SetItalic(true);
    EXPECT_FALSE(font->Italic());
    EXPECT_EQ(copy->Size(), 12.0);
}

TEST(DataObject, OffersDroppedFilesOneBased) {
    Ref<DataObject> data = DataObject::Create({u"/music/a.mp3", u"/music/b.wma"});
    Variant format(std::int16_t(15)), has;
    ASSERT_TRUE(data->Invoke(DataObject::GetFormatId, InvokeKind::Method, std::span<Variant>(&format, 1), &has).Ok());
    EXPECT_TRUE(has.BoolOr());
    Variant files;
    ASSERT_TRUE(data->Invoke(DataObject::FilesId, InvokeKind::PropertyGet, {}, &files).Ok());
    Variant count, first;
    ASSERT_TRUE(Call(files.Object().Get(), 1, InvokeKind::PropertyGet, {}, &count).Ok());
    EXPECT_EQ(count.Int32Or(), 2);
    ASSERT_TRUE(Call(files.Object().Get(), 0, InvokeKind::PropertyGet, {Variant(std::int32_t(1))}, &first).Ok());
    EXPECT_EQ(first.StringOr(), u"/music/a.mp3");
    EXPECT_EQ(Call(files.Object().Get(), 0, InvokeKind::PropertyGet, {Variant(std::int32_t(3))}, &first).number,
              errors::kSubscriptOutOfRange);
    EXPECT_FALSE(data->GetFormat(DataObject::FormatText));
}
