#include "platform/automation/InprocServer.h"

#include <dlfcn.h>

#include <atomic>

#include "platform/automation/ClassRegistry.h"

namespace automation {
namespace {

std::atomic<int> liveObjects{0};

class Factory final : public RefCounted<ClassFactory> {
public:
    explicit Factory(const ServerClass& c) : class_(c) { server::ObjectCreated(); }
    ~Factory() { server::ObjectDestroyed(); }
    void* QueryInterface(const Guid& iid) override {
        return iid == Unknown::IID || iid == ClassFactory::IID ? static_cast<ClassFactory*>(this) : nullptr;
    }
    HResult CreateInstance(const Guid& iid, void** out) override {
        if (!out) return kResultPointer;
        *out = nullptr;
        Ref<Unknown> object = class_.create();
        if (!object) return kResultFail;
        void* p = object->QueryInterface(iid);
        if (!p) return kResultNoInterface;
        object->AddRef();  // the reference handed to the caller
        *out = p;
        return kResultOk;
    }

private:
    const ServerClass& class_;
};

}  // namespace

namespace server {

void ObjectCreated() { ++liveObjects; }
void ObjectDestroyed() { --liveObjects; }

HResult GetClassObject(std::span<const ServerClass> classes, const Guid* clsid, const Guid* iid, void** out) {
    if (!out || !clsid || !iid) return kResultPointer;
    *out = nullptr;
    for (const ServerClass& c : classes) {
        if (c.clsid != *clsid) continue;
        Ref<ClassFactory> factory(new Factory(c));
        void* p = factory->QueryInterface(*iid);
        if (!p) return kResultNoInterface;
        factory->AddRef();
        *out = p;
        return kResultOk;
    }
    return kResultClassNotAvailable;
}

HResult CanUnloadNow() { return liveObjects.load() == 0 ? kResultOk : kResultFalse; }

HResult Register(std::span<const ServerClass> classes, const void* addressInLibrary) {
    Dl_info info{};
    if (!dladdr(addressInLibrary, &info) || !info.dli_fname) return kResultRegisterClassFailed;
    char resolved[4096];
    const std::string library = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    for (const ServerClass& c : classes)
        if (!ClassRegistry::WriteUserEntry(c.clsid, c.progId, library)) return kResultRegisterClassFailed;
    return kResultOk;
}

HResult Unregister(std::span<const ServerClass> classes) {
    HResult result = kResultOk;
    for (const ServerClass& c : classes)
        if (!ClassRegistry::RemoveUserEntry(c.clsid)) result = kResultFalse;
    return result;
}

}  // namespace server
}  // namespace automation
