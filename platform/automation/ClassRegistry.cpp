#include "platform/automation/ClassRegistry.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/automation/InprocServer.h"

namespace fs = std::filesystem;

namespace automation {
namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Utf8(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
            out.push_back('?');  // class names and ProgIDs are plain ASCII
    }
    return out;
}

fs::path ExecutablePath() {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : p;
}

Status Failure(const std::string& what) {
    return Status::Error(429, u"Can't create object: " + std::u16string(what.begin(), what.end()));
}

}  // namespace

std::string ProgramFolder() { return ExecutablePath().parent_path().string(); }
std::string ProgramName() { return ExecutablePath().filename().string(); }

ClassRegistry& ClassRegistry::Instance() {
    static ClassRegistry registry;
    return registry;
}

ClassRegistry::ClassRegistry() {
    const std::string folder = ProgramFolder();
    if (!folder.empty()) ReadEntries(folder + "/" + ProgramName() + ".manifest", manifest_);
}

void ClassRegistry::AddManifest(const std::string& path) {
    std::lock_guard lock(mutex_);
    ReadEntries(path, manifest_);
}

void ClassRegistry::ReadEntries(const std::string& path, std::map<Guid, Entry>& into) {
    std::ifstream in(path);
    if (!in) return;
    const fs::path base = fs::path(path).parent_path();
    std::optional<Guid> section;
    Entry entry;
    auto flush = [&] {
        if (section && !entry.library.empty()) into.emplace(*section, entry);
        entry = {};
    };
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            flush();
            section = Guid::Parse(line.substr(1, line.size() - 2));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const std::string value = Trim(line.substr(eq + 1));
        if (key == "progid")
            entry.progId = value;
        else if (key == "library")
            entry.library = fs::path(value).is_absolute() ? value : (base / value).string();
    }
    flush();
}

std::string ClassRegistry::UserRegistryFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path root;
    if (data && *data)
        root = data;
    else if (const char* home = std::getenv("HOME"); home && *home)
        root = fs::path(home) / ".local/share";
    else
        root = "/tmp";
    return (root / "automation" / "classes").string();
}

bool ClassRegistry::WriteUserEntry(const Guid& clsid, const std::u16string& progId, const std::string& library) {
    std::error_code ec;
    const fs::path folder = UserRegistryFolder();
    fs::create_directories(folder, ec);
    const fs::path target = folder / (clsid.ToString() + ".class");
    const fs::path temp = folder / (clsid.ToString() + ".class." + std::to_string(getpid()) + ".tmp");
    {
        std::ofstream out(temp, std::ios::trunc);
        out << '[' << clsid.ToString() << "]\nProgID=" << Utf8(progId) << "\nLibrary=" << library << '\n';
        out.flush();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}

bool ClassRegistry::RemoveUserEntry(const Guid& clsid) {
    // An entry that is not there is as removed as can be.
    std::error_code ec;
    fs::remove(fs::path(UserRegistryFolder()) / (clsid.ToString() + ".class"), ec);
    return !ec;
}

std::optional<ClassRegistry::Entry> ClassRegistry::Find(const Guid& clsid) {
    if (auto it = manifest_.find(clsid); it != manifest_.end()) return it->second;
    std::map<Guid, Entry> user;
    ReadEntries((fs::path(UserRegistryFolder()) / (clsid.ToString() + ".class")).string(), user);
    if (auto it = user.find(clsid); it != user.end()) return it->second;
    return std::nullopt;
}

std::optional<Guid> ClassRegistry::ClassIdFromProgId(std::u16string_view progId) {
    std::lock_guard lock(mutex_);
    const std::string wanted = Lower(Utf8(progId));
    for (const auto& [clsid, entry] : manifest_)
        if (Lower(entry.progId) == wanted) return clsid;
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(UserRegistryFolder(), ec)) {
        if (file.path().extension() != ".class") continue;
        std::map<Guid, Entry> user;
        ReadEntries(file.path().string(), user);
        for (const auto& [clsid, entry] : user)
            if (Lower(entry.progId) == wanted) return clsid;
    }
    return std::nullopt;
}

std::optional<std::string> ClassRegistry::LibraryOf(const Guid& clsid) {
    std::lock_guard lock(mutex_);
    if (auto e = Find(clsid)) return e->library;
    return std::nullopt;
}

void* ClassRegistry::LoadLibrary(const std::string& path, Status& status) {
    if (auto it = libraries_.find(path); it != libraries_.end()) return it->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        status = Failure(why ? why : path);
        return nullptr;
    }
    libraries_[path] = handle;
    return handle;
}

Status ClassRegistry::CreateInstance(const Guid& clsid, const Guid& iid, void** out) {
    if (!out) return StandardError(errors::kInvalidCall);
    *out = nullptr;
    std::lock_guard lock(mutex_);
    const auto entry = Find(clsid);
    if (!entry) return Failure("class " + clsid.ToString() + " is not registered");
    Status status;
    void* library = LoadLibrary(entry->library, status);
    if (!library) return status;
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(dlsym(library, "DllGetClassObject"));
    if (!getClassObject) return Failure(entry->library + " has no DllGetClassObject");
    void* p = nullptr;
    if (getClassObject(&clsid, &ClassFactory::IID, &p) != kResultOk || !p)
        return Failure("class " + clsid.ToString() + " is not available from " + entry->library);
    Ref<ClassFactory> factory = Ref<ClassFactory>::Adopt(static_cast<ClassFactory*>(p));
    if (factory->CreateInstance(iid, out) != kResultOk || !*out) return Failure("the class refused the interface");
    return {};
}

void ClassRegistry::FreeUnusedLibraries() {
    std::lock_guard lock(mutex_);
    for (auto it = libraries_.begin(); it != libraries_.end();) {
        auto canUnload = reinterpret_cast<CanUnloadNowFunction>(dlsym(it->second, "DllCanUnloadNow"));
        if (canUnload && canUnload() == kResultOk) {
            dlclose(it->second);
            it = libraries_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace automation
