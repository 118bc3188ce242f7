#pragma once
// Finds and creates classes by identity at run time. A class is looked up first in the manifest beside the program
// (registration-free deployment), then in the per-user class registry that a library's DllRegisterServer writes.
// The library is loaded on first use and asked for the class through its exported DllGetClassObject.
//
// Manifest (<program folder>/<program name>.manifest) and registry entries share one text format:
//   [{0596283B-31C0-4D22-AAF6-55D8FD5E2CDF}]
//   ProgID=lorvex.ListView
//   Library=liblorvex.so        (relative to the manifest's folder, or absolute)
// The per-user registry is $XDG_DATA_HOME/automation/classes/ (default ~/.local/share/..., with the home from the
// password database when $HOME is unset), one file per class; a user without a home has none. Since the files name
// code to load, an entry or a library that another user could have changed is refused with a line on stderr, and
// no entry file is read beyond a few kilobytes.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace automation {

class ClassRegistry {
public:
    static ClassRegistry& Instance();

    // Reads another manifest besides the program's own (for tools and tests); entries read later do not replace
    // earlier ones.
    void AddManifest(const std::string& path);

    std::optional<Guid> ClassIdFromProgId(std::u16string_view progId);
    std::optional<std::string> LibraryOf(const Guid& clsid);

    // *out receives the object as interface iid with one reference; the status names what failed.
    Status CreateInstance(const Guid& clsid, const Guid& iid, void** out);
    template <class I>
    Ref<I> Create(const Guid& clsid, Status* status = nullptr) {
        void* p = nullptr;
        Status s = CreateInstance(clsid, I::IID, &p);
        if (status) *status = s;
        return s.Ok() ? Ref<I>::Adopt(static_cast<I*>(p)) : Ref<I>();
    }

    // Unloads libraries that report they hold no live objects.
    void FreeUnusedLibraries();

    // Empty when the user has no data folder of their own.
    static std::string UserRegistryFolder();
    static bool WriteUserEntry(const Guid& clsid, const std::u16string& progId, const std::string& library);
    static bool RemoveUserEntry(const Guid& clsid);

private:
    struct Entry {
        std::string progId;
        std::string library;
    };
    ClassRegistry();
    // Adds the file's entries; returns why the file was refused (empty when read or absent).
    static std::string ReadEntries(const std::string& path, std::map<Guid, Entry>& into, bool perUser);
    // Why the per-user registry's folders are not to be trusted; empty when they are.
    static std::string UserRegistryRefusal();
    std::optional<Entry> Find(const Guid& clsid, std::string* refusal = nullptr);
    void* LoadLibrary(const std::string& path, Status& status);

    std::mutex mutex_;
    std::map<Guid, Entry> manifest_;
    std::map<std::string, void*> libraries_;
};

// The folder of the running program, without a trailing separator.
std::string ProgramFolder();
// The running program's file name.
std::string ProgramName();

}  // namespace automation
