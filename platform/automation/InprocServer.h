#pragma once
// The server side of run-time class creation: the class factory, the classes a library serves, and the work behind
// the four entry points every component library exports.
#include <cstdint>
#include <span>
#include <string>

#include "platform/automation/Dispatch.h"

namespace automation {

using HResult = std::int32_t;
inline constexpr HResult kResultOk = 0;
inline constexpr HResult kResultFalse = 1;
inline constexpr HResult kResultNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kResultPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kResultFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kResultClassNotAvailable = static_cast<HResult>(0x80040111u);
inline constexpr HResult kResultRegisterClassFailed = static_cast<HResult>(0x80040201u);

class ClassFactory : public Unknown {
public:
    // *out receives the new object as interface iid, with one reference for the caller.
    virtual HResult CreateInstance(const Guid& iid, void** out) = 0;
    static constexpr Guid IID = Guid::Of("00000001-0000-0000-C000-000000000046");
};

struct ServerClass {
    Guid clsid;
    std::u16string progId;
    Ref<Unknown> (*create)();
};

// Signatures of the entry points, looked up by name in a loaded library.
using GetClassObjectFunction = HResult (*)(const Guid* clsid, const Guid* iid, void** out);
using CanUnloadNowFunction = HResult (*)();
using RegisterServerFunction = HResult (*)();

namespace server {
// Live objects and factory locks of this library; the library may be unloaded while both are 0.
void ObjectCreated();
void ObjectDestroyed();
HResult GetClassObject(std::span<const ServerClass> classes, const Guid* clsid, const Guid* iid, void** out);
HResult CanUnloadNow();
// Registers (or removes) every class in the per-user class registry, naming the library that holds
// addressInLibrary as the one to load.
HResult Register(std::span<const ServerClass> classes, const void* addressInLibrary);
HResult Unregister(std::span<const ServerClass> classes);
}  // namespace server

}  // namespace automation
