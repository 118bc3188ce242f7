#include "platform/automation/FontObject.h"

#include <QApplication>
#include <QFont>
#include <algorithm>
#include <cmath>

namespace automation {

Ref<FontObject> FontObject::CreateDefault() {
    std::u16string face = u"Sans Serif";
    if (qApp) face = QApplication::font().family().toStdU16String();
    return Create(std::move(face), 9);
}

Ref<FontObject> FontObject::Create(std::u16string name, double points) {
    Ref<FontObject> f(new FontObject);
    f->name_ = std::move(name);
    f->size_ = points;
    return f;
}

Ref<FontObject> FontObject::Clone() const {
    Ref<FontObject> f(new FontObject);
    f->name_ = name_;
    f->size_ = size_;
    f->weight_ = weight_;
    f->charset_ = charset_;
    f->italic_ = italic_;
    f->underline_ = underline_;
    f->strikethrough_ = strikethrough_;
    return f;
}

void FontObject::SetName(std::u16string name) {
    if (name == name_) return;
    name_ = std::move(name);
    Changed(Property::Name);
}
void FontObject::SetSize(double points) {
    if (!(points > 0) || points > 2048 || points == size_) return;
    size_ = points;
    Changed(Property::Size);
}
void FontObject::SetBold(bool bold) { SetWeight(bold ? 700 : 400); }
void FontObject::SetItalic(bool on) {
    if (on == italic_) return;
    italic_ = on;
    Changed(Property::Italic);
}
void FontObject::SetUnderline(bool on) {
    if (on == underline_) return;
    underline_ = on;
    Changed(Property::Underline);
}
void FontObject::SetStrikethrough(bool on) {
    if (on == strikethrough_) return;
    strikethrough_ = on;
    Changed(Property::Strikethrough);
}
void FontObject::SetWeight(std::int16_t weight) {
    weight = std::clamp<std::int16_t>(weight, 0, 1000);
    if (weight == weight_) return;
    weight_ = weight;
    Changed(Property::Weight);
}
void FontObject::SetCharset(std::int16_t charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed(Property::Charset);
}

void FontObject::AddObserver(FontObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}
void FontObject::RemoveObserver(FontObserver* observer) { std::erase(observers_, observer); }

void FontObject::Changed(DispId property) {
    const auto observers = observers_;  // an observer may detach itself while being told
    for (FontObserver* o : observers)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->FontChanged(*this, property);
}

void* FontObject::QueryInterface(const Guid& iid) {
    if (iid == IID) return this;
    if (iid == Unknown::IID || iid == Dispatch::IID) return static_cast<Dispatch*>(this);
    return nullptr;
}

DispId FontObject::DispIdOfName(std::u16string_view name) {
    static const std::pair<std::u16string_view, DispId> kNames[] = {
        {u"name", Property::Name},     {u"size", Property::Size},           {u"bold", Property::Bold},
        {u"italic", Property::Italic}, {u"underline", Property::Underline}, {u"strikethrough", Property::Strikethrough},
        {u"weight", Property::Weight}, {u"charset", Property::Charset}};
    std::u16string lower(name);
    for (auto& c : lower)
        if (c < 128) c = static_cast<char16_t>(std::tolower(c));
    for (auto& [n, id] : kNames)
        if (n == lower) return id;
    return kDispIdUnknown;
}

Status FontObject::Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    const bool put = kind == InvokeKind::PropertyPut;
    if (kind == InvokeKind::Method || kind == InvokeKind::PropertyPutRef) return StandardError(errors::kNotSupported);
    if (put && args.empty()) return StandardError(errors::kArgumentNotOptional);
    const Variant& value = put ? args.back() : Variant();
    Variant out;
    Status s;
    switch (id) {
        case Property::Name:
            if (put) {
                std::u16string v;
                if ((s = value.ToString(v)).Ok()) SetName(v);
            } else
                out = name_;
            break;
        case Property::Size:
            if (put) {
                double v;
                if ((s = value.ToDouble(v)).Ok()) SetSize(v);
            } else
                out = size_;
            break;
        case Property::Bold:
            if (put) {
                bool v;
                if ((s = value.ToBool(v)).Ok()) SetBold(v);
            } else
                out = Variant::FromBool(Bold());
            break;
        case Property::Italic:
            if (put) {
                bool v;
                if ((s = value.ToBool(v)).Ok()) SetItalic(v);
            } else
                out = Variant::FromBool(italic_);
            break;
        case Property::Underline:
            if (put) {
                bool v;
                if ((s = value.ToBool(v)).Ok()) SetUnderline(v);
            } else
                out = Variant::FromBool(underline_);
            break;
        case Property::Strikethrough:
            if (put) {
                bool v;
                if ((s = value.ToBool(v)).Ok()) SetStrikethrough(v);
            } else
                out = Variant::FromBool(strikethrough_);
            break;
        case Property::Weight:
            if (put) {
                std::int16_t v;
                if ((s = value.ToInt16(v)).Ok()) SetWeight(v);
            } else
                out = weight_;
            break;
        case Property::Charset:
            if (put) {
                std::int16_t v;
                if ((s = value.ToInt16(v)).Ok()) SetCharset(v);
            } else
                out = charset_;
            break;
        default: return StandardError(errors::kNotSupported);
    }
    if (s.Ok() && !put && result) *result = out;
    return s;
}

QFont ToQFont(const FontObject& font) {
    QFont f(QString::fromStdU16String(font.Name()));
    f.setPointSizeF(font.Size());
    f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(font.Weight(), 1, 1000)));
    f.setItalic(font.Italic());
    f.setUnderline(font.Underline());
    f.setStrikeOut(font.Strikethrough());
    return f;
}

}  // namespace automation
