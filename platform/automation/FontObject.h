#pragma once
// A font as controls receive it: name, point size, styles, weight and character set, with change notification.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

class QFont;

namespace automation {

class FontObject;

class FontObserver {
public:
    virtual ~FontObserver() = default;
    virtual void FontChanged(FontObject& font, DispId property) = 0;
};

class FontObject final : public RefCounted<Dispatch> {
public:
    // Dispatch identifiers of the font's properties, named after them.
    struct Property {
        enum : DispId {
            Name = 0,
            Size = 2,
            Bold = 3,
            Italic = 4,
            Underline = 5,
            Strikethrough = 6,
            Weight = 7,
            Charset = 8
        };
    };
    static constexpr Guid IID = Guid::Of("BEF6E003-A874-101A-8BBA-00AA00300CAB");

    // The font a newly placed control starts with: the desktop's user-interface face at 9 points.
    static Ref<FontObject> CreateDefault();
    static Ref<FontObject> Create(std::u16string name, double points);
    Ref<FontObject> Clone() const;

    const std::u16string& Name() const { return name_; }
    double Size() const { return size_; }
    bool Bold() const { return weight_ >= 600; }
    bool Italic() const { return italic_; }
    bool Underline() const { return underline_; }
    bool Strikethrough() const { return strikethrough_; }
    std::int16_t Weight() const { return weight_; }
    std::int16_t Charset() const { return charset_; }

    void SetName(std::u16string name);
    void SetSize(double points);
    void SetBold(bool bold);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikethrough(bool on);
    void SetWeight(std::int16_t weight);
    void SetCharset(std::int16_t charset);

    void AddObserver(FontObserver* observer);
    void RemoveObserver(FontObserver* observer);

    void* QueryInterface(const Guid& iid) override;
    Status Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) override;
    DispId DispIdOfName(std::u16string_view name) override;

private:
    FontObject() = default;
    void Changed(DispId property);

    std::u16string name_;
    double size_ = 9;
    std::int16_t weight_ = 400;
    std::int16_t charset_ = 0;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
    std::vector<FontObserver*> observers_;
};

// The font object's face, size and styles as a Qt font (size in points).
QFont ToQFont(const FontObject& font);

}  // namespace automation
