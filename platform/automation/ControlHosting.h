#pragma once
// What a container and a visible control know of each other: the site the container offers, the control's window,
// and the property bag that carries the control's design-time properties.
#include <map>
#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"

class QWidget;

namespace automation {

// Key -> value store of a control's persisted properties. A value equal to its default is not stored, so the bag
// holds only what differs from a newly placed control.
class PropertyBag {
public:
    Variant Read(std::u16string_view key, const Variant& defaultValue) const;
    // Objects (fonts) are always stored; they have no value equality.
    void Write(std::u16string_view key, const Variant& value, const Variant& defaultValue);
    bool Contains(std::u16string_view key) const { return values_.count(std::u16string(key)) > 0; }
    std::size_t Size() const { return values_.size(); }
    void Clear() { values_.clear(); }
    const std::map<std::u16string, Variant>& Values() const { return values_; }

private:
    std::map<std::u16string, Variant> values_;
};

// Offered by the container to each control it holds.
class ControlSite {
public:
    virtual ~ControlSite() = default;
    virtual QWidget* ContainerWidget() = 0;
    // True when the program runs (user mode); false while a form is being designed.
    virtual bool UserMode() const = 0;
    // A persisted property changed: the container's design is out of date.
    virtual void PropertyChanged(DispId property) = 0;
};

// Implemented by every visible control.
class Control : public Unknown {
public:
    virtual void SetSite(ControlSite* site) = 0;
    virtual ControlSite* Site() const = 0;
    // The control's window; created on SetSite as a child of the container's widget.
    virtual QWidget* Widget() = 0;
    // A new instance placed on a form.
    virtual void InitProperties() = 0;
    virtual void ReadProperties(const PropertyBag& bag) = 0;
    virtual void WriteProperties(PropertyBag& bag) = 0;

    static constexpr Guid IID = Guid::Of("8E6F3C52-7A41-4B8D-9E07-3D1C5A2B6F90");
};

}  // namespace automation
