#include <gtest/gtest.h>

#include <vector>

#include "platform/automation/ControlHosting.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/Events.h"
#include "platform/automation/FontObject.h"

using namespace automation;

TEST(ConnectionPoint, SinksReceiveEventsAndWriteBackThroughReferences) {
    ConnectionPoint point(Guid::of("F029CFD6-DBA0-4F33-AFFB-1653F81DEF05"));
    std::vector<DispId> seen;
    auto first = MakeEventSink([&](DispId id, std::span<Variant> args) {
        seen.push_back(id);
        args[0].assign(Variant(std::int16_t(0)));  // e.g. a handler swallowing a key
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
    Variant arg = Variant::byRef(keyCode);
    point.Fire(8, std::span<Variant>(&arg, 1));
    point.Fire(9, std::span<Variant>(&arg, 1));
    EXPECT_EQ(seen, (std::vector<DispId>{8, 108, 9}));
    EXPECT_EQ(keyCode.int32Or(-1), 0);
}

TEST(PropertyBag, LeavesOutDefaultsButKeepsObjects) {
    PropertyBag bag;
    bag.Write(u"PictureWidth", Variant(std::int32_t(13)), Variant(std::int32_t(13)));
    bag.Write(u"PictureHeight", Variant(std::int32_t(16)), Variant(std::int32_t(13)));
    bag.Write(u"Font", Variant(Ref<Dispatch>(FontObject::Create(u"Serif", 9).get())), Variant());
    EXPECT_FALSE(bag.Contains(u"PictureWidth"));
    EXPECT_EQ(bag.Read(u"PictureWidth", Variant(std::int32_t(13))).int32Or(), 13);
    EXPECT_EQ(bag.Read(u"PictureHeight", Variant(std::int32_t(13))).int32Or(), 16);
    EXPECT_TRUE(bag.Read(u"Font", Variant()).isObject());
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
    font->setBold(true);
    font->setBold(true);  // no change, no notice
    Variant size(12.0);
    ASSERT_TRUE(font->Invoke(FontObject::Size, InvokeKind::PropertyPut, std::span<Variant>(&size, 1), nullptr).ok());
    Variant name;
    ASSERT_TRUE(font->Invoke(FontObject::Name, InvokeKind::PropertyGet, {}, &name).ok());
    EXPECT_EQ(name.stringOr(), u"Sans");
    EXPECT_EQ(recorder.changes, (std::vector<DispId>{FontObject::Weight, FontObject::Size}));
    EXPECT_TRUE(font->bold());
    Ref<FontObject> copy = font->Clone();
    font->RemoveObserver(&recorder);
    copy->setItalic(true);
    EXPECT_FALSE(font->italic());
    EXPECT_EQ(copy->size(), 12.0);
}

TEST(DataObject, OffersDroppedFilesOneBased) {
    Ref<DataObject> data = DataObject::Create({u"/music/a.mp3", u"/music/b.wma"});
    Variant format(std::int16_t(15)), has;
    ASSERT_TRUE(data->Invoke(DataObject::GetFormatId, InvokeKind::Method, std::span<Variant>(&format, 1), &has).ok());
    EXPECT_TRUE(has.boolOr());
    Variant files;
    ASSERT_TRUE(data->Invoke(DataObject::FilesId, InvokeKind::PropertyGet, {}, &files).ok());
    Variant count, first;
    ASSERT_TRUE(Call(files.object().get(), 1, InvokeKind::PropertyGet, {}, &count).ok());
    EXPECT_EQ(count.int32Or(), 2);
    ASSERT_TRUE(Call(files.object().get(), 0, InvokeKind::PropertyGet, {Variant(std::int32_t(1))}, &first).ok());
    EXPECT_EQ(first.stringOr(), u"/music/a.mp3");
    EXPECT_EQ(Call(files.object().get(), 0, InvokeKind::PropertyGet, {Variant(std::int32_t(3))}, &first).number,
              errors::SubscriptOutOfRange);
    EXPECT_FALSE(data->GetFormat(DataObject::FormatText));
}
