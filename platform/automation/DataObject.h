#pragma once
// The data of a drag-and-drop operation as a control hands it to its host: formats and, for dropped files, their paths.
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace automation {

class DataObject final : public RefCounted<Dispatch> {
public:
    enum : std::int16_t { FormatText = 1, FormatFiles = 15 };
    enum : DispId { GetFormatId = 1, FilesId = 2, GetDataId = 3 };
    static constexpr Guid IID = Guid::Of("2334D2B1-713E-11CF-8AE5-00AA00C00905");

    static Ref<DataObject> Create(std::vector<std::u16string> files, std::u16string text = {});

    bool GetFormat(std::int16_t format) const;
    const std::vector<std::u16string>& Files() const { return files_; }
    const std::u16string& Text() const { return text_; }

    void* QueryInterface(const Guid& iid) override;
    // GetFormat(format) -> Boolean; Files -> a collection with Item(1-based) and Count; Files(i) directly;
    // GetData(format) -> the text for format 1.
    Status Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) override;
    DispId DispIdOfName(std::u16string_view name) override;

private:
    std::vector<std::u16string> files_;
    std::u16string text_;
};

}  // namespace automation
