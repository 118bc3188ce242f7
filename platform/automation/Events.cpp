#include "platform/automation/Events.h"

#include <vector>

namespace automation {

std::uint32_t ConnectionPoint::Advise(Ref<Dispatch> sink) {
    if (!sink) return 0;
    const std::uint32_t cookie = nextCookie_++;
    sinks_.emplace(cookie, std::move(sink));
    return cookie;
}

bool ConnectionPoint::Unadvise(std::uint32_t cookie) { return sinks_.erase(cookie) > 0; }

void ConnectionPoint::Fire(DispId event, std::span<Variant> args) {
    if (sinks_.empty()) return;
    std::vector<std::pair<std::uint32_t, Ref<Dispatch>>> snapshot(sinks_.begin(), sinks_.end());
    for (auto& [cookie, sink] : snapshot) {
        if (!sinks_.count(cookie)) continue;  // unadvised by an earlier sink of this very event
        sink->Invoke(event, InvokeKind::Method, args, nullptr);
    }
}

namespace {

class FunctionSink final : public RefCounted<Dispatch> {
public:
    explicit FunctionSink(EventHandler handler) : handler_(std::move(handler)) {}
    void* QueryInterface(const Guid& iid) override {
        return iid == Unknown::IID || iid == Dispatch::IID ? static_cast<Dispatch*>(this) : nullptr;
    }
    Status Invoke(DispId id, InvokeKind, std::span<Variant> args, Variant*) override {
        if (handler_) handler_(id, args);
        return {};
    }

private:
    EventHandler handler_;
};

}  // namespace

Ref<Dispatch> MakeEventSink(EventHandler handler) { return Ref<Dispatch>(new FunctionSink(std::move(handler))); }

}  // namespace automation
