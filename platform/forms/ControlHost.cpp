#include "platform/forms/ControlHost.h"

#include "platform/automation/ClassRegistry.h"
#include "platform/forms/Twips.h"

namespace forms {

ControlHost::ControlHost(QWidget* container) : container_(container) {}

ControlHost::~ControlHost() {
    if (events_ && cookie_) events_->Unadvise(cookie_);
    if (control_) control_->SetSite(nullptr);
}

automation::Status ControlHost::Create(const automation::Guid& clsid, const automation::PropertyBag& design) {
    automation::Status status;
    object_ = automation::ClassRegistry::Instance().Create<automation::Dispatch>(clsid, &status);
    if (!object_) return status;
    control_ = automation::QueryAs<automation::Control>(object_);
    if (control_) {
        control_->SetSite(this);
        control_->ReadProperties(design);
    }
    return {};
}

QWidget* ControlHost::Widget() const { return control_ ? control_->Widget() : nullptr; }

void ControlHost::Move(double left, double top, double width, double height) {
    if (QWidget* w = Widget())
        w->setGeometry(ToPixels(left), ToPixels(top), std::max(ToPixels(width), 0), std::max(ToPixels(height), 0));
}

void ControlHost::SetVisible(bool visible) {
    if (QWidget* w = Widget()) w->setVisible(visible);
}

bool ControlHost::Advise(const automation::Guid& eventInterface, automation::EventHandler handler) {
    auto container = automation::QueryAs<automation::ConnectionPointContainer>(object_);
    if (!container) return false;
    events_ = container->FindConnectionPoint(eventInterface);
    if (!events_) return false;
    if (cookie_) events_->Unadvise(cookie_);
    cookie_ = events_->Advise(automation::MakeEventSink(std::move(handler)));
    return cookie_ != 0;
}

}  // namespace forms
