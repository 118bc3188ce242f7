// The library's four entry points: class objects, unload query and self-registration.
#include "lorvex/include/lorvex/ListViewInterface.h"
#include "lorvex/listview/CustomDrawClass.h"
#include "lorvex/listview/ListView.h"
#include "platform/automation/InprocServer.h"

namespace {

using automation::Ref;
using automation::Unknown;

Ref<Unknown> NewListView() {
    Ref<lorvex::ListView> view = lorvex::ListView::Create();
    return Ref<Unknown>(static_cast<automation::Dispatch*>(view.Get()));
}

Ref<Unknown> NewCustomDraw() { return Ref<Unknown>(new lorvex::CustomDrawClass); }

const automation::ServerClass kClasses[] = {
    {lorvex::CLSID_ListView, lorvex::ProgId_ListView, &NewListView},
    {lorvex::CLSID_ICustomDraw, lorvex::ProgId_ICustomDraw, &NewCustomDraw},
};

}  // namespace

#define LORVEX_EXPORT extern "C" __attribute__((visibility("default")))

LORVEX_EXPORT automation::HResult DllGetClassObject(const automation::Guid* clsid, const automation::Guid* iid,
                                                    void** out) {
    return automation::server::GetClassObject(kClasses, clsid, iid, out);
}

LORVEX_EXPORT automation::HResult DllCanUnloadNow() { return automation::server::CanUnloadNow(); }

LORVEX_EXPORT automation::HResult DllRegisterServer() {
    return automation::server::Register(kClasses, reinterpret_cast<const void*>(&DllRegisterServer));
}

LORVEX_EXPORT automation::HResult DllUnregisterServer() { return automation::server::Unregister(kClasses); }
