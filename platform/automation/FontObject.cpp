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

void FontObject::setName(std::u16string name) {
    if (name == name_) return;
    name_ = std::move(name);
    Changed(Name);
}
void FontObject::setSize(double points) {
    if (!(points > 0) || points > 2048 || points == size_) return;
    size_ = points;
    Changed(Size);
}
void FontObject::setBold(bool bold) { setWeight(bold ? 700 : 400); }
void FontObject::setItalic(bool on) {
    if (on == italic_) return;
    italic_ = on;
    Changed(Italic);
}
void FontObject::setUnderline(bool on) {
    if (on == underline_) return;
    underline_ = on;
    Changed(Underline);
}
void FontObject::setStrikethrough(bool on) {
    if (on == strikethrough_) return;
    strikethrough_ = on;
    Changed(Strikethrough);
}
void FontObject::setWeight(std::int16_t weight) {
    weight = std::clamp<std::int16_t>(weight, 0, 1000);
    if (weight == weight_) return;
    weight_ = weight;
    Changed(Weight);
}
void FontObject::setCharset(std::int16_t charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed(Charset);
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
    static const std::pair<std::u16string_view, DispId> names[] = {
        {u"name", Name},     {u"size", Size},           {u"bold", Bold},
        {u"italic", Italic}, {u"underline", Underline}, {u"strikethrough", Strikethrough},
        {u"weight", Weight}, {u"charset", Charset}};
    std::u16string lower(name);
    for (auto& c : lower)
        if (c < 128) c = static_cast<char16_t>(std::tolower(c));
    for (auto& [n, id] : names)
        if (n == lower) return id;
    return DispIdUnknown;
}

Status FontObject::Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    const bool put = kind == InvokeKind::PropertyPut;
    if (kind == InvokeKind::Method || kind == InvokeKind::PropertyPutRef) return StandardError(errors::NotSupported);
    if (put && args.empty()) return StandardError(errors::ArgumentNotOptional);
    const Variant& value = put ? args.back() : Variant();
    Variant out;
    Status s;
    switch (id) {
        case Name:
            if (put) {
                std::u16string v;
                if ((s = value.toString(v)).ok()) setName(v);
            } else
                out = name_;
            break;
        case Size:
            if (put) {
                double v;
                if ((s = value.toDouble(v)).ok()) setSize(v);
            } else
                out = size_;
            break;
        case Bold:
            if (put) {
                bool v;
                if ((s = value.toBool(v)).ok()) setBold(v);
            } else
                out = Variant::fromBool(bold());
            break;
        case Italic:
            if (put) {
                bool v;
                if ((s = value.toBool(v)).ok()) setItalic(v);
            } else
                out = Variant::fromBool(italic_);
            break;
        case Underline:
            if (put) {
                bool v;
                if ((s = value.toBool(v)).ok()) setUnderline(v);
            } else
                out = Variant::fromBool(underline_);
            break;
        case Strikethrough:
            if (put) {
                bool v;
                if ((s = value.toBool(v)).ok()) setStrikethrough(v);
            } else
                out = Variant::fromBool(strikethrough_);
            break;
        case Weight:
            if (put) {
                std::int16_t v;
                if ((s = value.toInt16(v)).ok()) setWeight(v);
            } else
                out = weight_;
            break;
        case Charset:
            if (put) {
                std::int16_t v;
                if ((s = value.toInt16(v)).ok()) setCharset(v);
            } else
                out = charset_;
            break;
        default: return StandardError(errors::NotSupported);
    }
    if (s.ok() && !put && result) *result = out;
    return s;
}

QFont ToQFont(const FontObject& font) {
    QFont f(QString::fromStdU16String(font.name()));
    f.setPointSizeF(font.size());
    f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(font.weight(), 1, 1000)));
    f.setItalic(font.italic());
    f.setUnderline(font.underline());
    f.setStrikeOut(font.strikethrough());
    return f;
}

}  // namespace automation
