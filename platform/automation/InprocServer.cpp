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
        if (!out) return ResultPointer;
        *out = nullptr;
        Ref<Unknown> object = class_.create();
        if (!object) return ResultFail;
        void* p = object->QueryInterface(iid);
        if (!p) return ResultNoInterface;
        object->AddRef();  // the reference handed to the caller
        *out = p;
        return ResultOk;
    }

private:
    const ServerClass& class_;
};

}  // namespace

namespace server {

void ObjectCreated() { ++liveObjects; }
void ObjectDestroyed() { --liveObjects; }

HResult GetClassObject(std::span<const ServerClass> classes, const Guid* clsid, const Guid* iid, void** out) {
    if (!out || !clsid || !iid) return ResultPointer;
    *out = nullptr;
    for (const ServerClass& c : classes) {
        if (c.clsid != *clsid) continue;
        Ref<ClassFactory> factory(new Factory(c));
        void* p = factory->QueryInterface(*iid);
        if (!p) return ResultNoInterface;
        factory->AddRef();
        *out = p;
        return ResultOk;
    }
    return ResultClassNotAvailable;
}

HResult CanUnloadNow() { return liveObjects.load() == 0 ? ResultOk : ResultFalse; }

HResult Register(std::span<const ServerClass> classes, const void* addressInLibrary) {
    Dl_info info{};
    if (!dladdr(addressInLibrary, &info) || !info.dli_fname) return ResultRegisterClassFailed;
    char resolved[4096];
    const std::string library = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    for (const ServerClass& c : classes)
        if (!ClassRegistry::WriteUserEntry(c.clsid, c.progId, library)) return ResultRegisterClassFailed;
    return ResultOk;
}

HResult Unregister(std::span<const ServerClass> classes) {
    HResult result = ResultOk;
    for (const ServerClass& c : classes)
        if (!ClassRegistry::RemoveUserEntry(c.clsid)) result = ResultFalse;
    return result;
}

}  // namespace server
}  // namespace automation
