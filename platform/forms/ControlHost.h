#pragma once
// Holds one component control on a form: creates it by class identity through the component runtime, gives it a
// site in the form, loads it from the form's design bag, places it in twips and connects its events.
#include <QPointer>
#include <QWidget>

#include "platform/automation/ControlHosting.h"
#include "platform/automation/Events.h"

namespace forms {

class ControlHost final : public automation::ControlSite {
public:
    explicit ControlHost(QWidget* container);
    ~ControlHost() override;
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Creates the control and loads its design properties (run time: user mode).
    automation::Status Create(const automation::Guid& clsid, const automation::PropertyBag& design);
    bool Created() const { return static_cast<bool>(object_); }

    automation::Dispatch* Object() const { return object_.Get(); }
    QWidget* Widget() const;
    void Move(double left, double top, double width, double height);
    void SetVisible(bool visible);

    // Connects the control's events (its source interface) to a handler; false when it has none.
    bool Advise(const automation::Guid& eventInterface, automation::EventHandler handler);

    // ControlSite
    QWidget* ContainerWidget() override { return container_; }
    bool UserMode() const override { return true; }
    void PropertyChanged(automation::DispId) override {}

private:
    QPointer<QWidget> container_;
    automation::Ref<automation::Dispatch> object_;
    automation::Ref<automation::Control> control_;
    automation::ConnectionPoint* events_ = nullptr;
    std::uint32_t cookie_ = 0;
};

}  // namespace forms
