#include "platform/automation/DataObject.h"

namespace automation {
namespace {

// Files of a data object: Item (default member, 1-based) and Count.
class FileList final : public RefCounted<Dispatch> {
public:
    enum : DispId { ItemId = 0, CountId = 1 };
    explicit FileList(Ref<DataObject> owner) : owner_(std::move(owner)) {}
    void* QueryInterface(const Guid& iid) override {
        return iid == Unknown::IID || iid == Dispatch::IID ? static_cast<Dispatch*>(this) : nullptr;
    }
    Status Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) override {
        if (kind != InvokeKind::PropertyGet && kind != InvokeKind::Method) return StandardError(errors::kNotSupported);
        const auto& files = owner_->Files();
        if (id == CountId) {
            if (result) *result = static_cast<std::int32_t>(files.size());
            return {};
        }
        if (id != ItemId) return StandardError(errors::kNotSupported);
        std::int32_t index = 0;
        if (Status s = ArgAt(args, 0).ToInt32(index); s.Failed()) return s;
        if (index < 1 || static_cast<std::size_t>(index) > files.size())
            return StandardError(errors::kSubscriptOutOfRange);
        if (result) *result = files[static_cast<std::size_t>(index) - 1];
        return {};
    }
    DispId DispIdOfName(std::u16string_view name) override {
        if (name == u"Item" || name == u"item") return ItemId;
        if (name == u"Count" || name == u"count") return CountId;
        return kDispIdUnknown;
    }

private:
    Ref<DataObject> owner_;
};

}  // namespace

Ref<DataObject> DataObject::Create(std::vector<std::u16string> files, std::u16string text) {
    Ref<DataObject> d(new DataObject);
    d->files_ = std::move(files);
    d->text_ = std::move(text);
    return d;
}

bool DataObject::GetFormat(std::int16_t format) const {
    if (format == FormatFiles) return !files_.empty();
    if (format == FormatText) return !text_.empty();
    return false;
}

void* DataObject::QueryInterface(const Guid& iid) {
    if (iid == IID) return this;
    if (iid == Unknown::IID || iid == Dispatch::IID) return static_cast<Dispatch*>(this);
    return nullptr;
}

DispId DataObject::DispIdOfName(std::u16string_view name) {
    if (name == u"GetFormat") return GetFormatId;
    if (name == u"Files") return FilesId;
    if (name == u"GetData") return GetDataId;
    return kDispIdUnknown;
}

Status DataObject::Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    if (kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef)
        return StandardError(errors::kNotSupported);
    switch (id) {
        case GetFormatId: {
            std::int16_t format = 0;
            if (Status s = ArgAt(args, 0).ToInt16(format); s.Failed()) return s;
            if (result) *result = Variant::FromBool(GetFormat(format));
            return {};
        }
        case FilesId: {
            Ref<Dispatch> list(new FileList(Ref<DataObject>(this)));
            if (HasArg(args, 0)) return list->Invoke(FileList::ItemId, InvokeKind::PropertyGet, args.first(1), result);
            if (result) *result = list;
            return {};
        }
        case GetDataId: {
            std::int16_t format = FormatText;
            if (HasArg(args, 0)) {
                if (Status s = ArgAt(args, 0).ToInt16(format); s.Failed()) return s;
            }
            if (format != FormatText) return StandardError(errors::kInvalidCall);
            if (result) *result = text_;
            return {};
        }
        default: return StandardError(errors::kNotSupported);
    }
}

}  // namespace automation
