#pragma once
// Outgoing events: a control raises them by dispatch identifier to every sink its host advised.
#include <cstdint>
#include <functional>
#include <map>
#include <span>

#include "platform/automation/Dispatch.h"

namespace automation {

class ConnectionPoint {
public:
    explicit ConnectionPoint(const Guid& iid) : iid_(iid) {}

    const Guid& InterfaceId() const { return iid_; }
    // Returns the cookie that ends the connection, 0 when sink is null.
    std::uint32_t Advise(Ref<Dispatch> sink);
    bool Unadvise(std::uint32_t cookie);
    bool HasSinks() const { return !sinks_.empty(); }

    // Calls every sink in the order advised. By-reference arguments let sinks hand values back.
    // A sink that unadvises (or advises) during the call does not disturb the others.
    void Fire(DispId event, std::span<Variant> args);

private:
    Guid iid_;
    std::uint32_t nextCookie_ = 1;
    std::map<std::uint32_t, Ref<Dispatch>> sinks_;
};

class ConnectionPointContainer : public Unknown {
public:
    virtual ConnectionPoint* FindConnectionPoint(const Guid& iid) = 0;
    static constexpr Guid IID = Guid::Of("B196B284-BAB4-101A-B69C-00AA00341D07");
};

// A sink for hosts: forwards each event to a function.
using EventHandler = std::function<void(DispId event, std::span<Variant> args)>;
Ref<Dispatch> MakeEventSink(EventHandler handler);

}  // namespace automation
