#include "platform/automation/ClassRegistry.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/automation/InprocServer.h"

namespace fs = std::filesystem;

namespace automation {
namespace {

// A class entry is a few short lines: anything much larger is not one, and is refused before it is read whole.
constexpr std::size_t kMaxEntryFileBytes = 64 * 1024;
constexpr std::size_t kMaxEntryLineBytes = 4096;

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

void Report(const std::string& what) { std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), what.c_str()); }

// Code is loaded on the word of these files: only this user (or root) may have been able to change them. Empty when
// the file or folder may be trusted, else why not.
std::string Untrusted(const std::string& path, const struct stat& info) {
    if (info.st_uid != geteuid() && info.st_uid != 0) return path + " belongs to another user";
    if (info.st_mode & (S_IWGRP | S_IWOTH)) return path + " is writable by other users";
    return {};
}

std::string UntrustedPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
    return Untrusted(path, info);
}

// The library and the folders where it could be replaced: the one it is named in and the one it really is in.
std::string UntrustedLibrary(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};  // dlopen tells why it cannot be loaded
    if (!S_ISREG(info.st_mode)) return path + " is not a library file";
    if (std::string why = Untrusted(path, info); !why.empty()) return why;
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return path + ": " + ec.message();
    const fs::path named = fs::absolute(path, ec).parent_path();
    if (std::string why = UntrustedPath(named.string()); !why.empty()) return why;
    return UntrustedPath(real.parent_path().string());
}

// The user's data folder, never a folder shared with other users: $XDG_DATA_HOME, else ~/.local/share with the
// home from $HOME or, without it, from the password database. Empty when the user has none.
fs::path UserDataFolder() {
    const auto absolute = [](const char* path) { return path && path[0] == '/'; };  // relative ones are ignored
    if (const char* data = std::getenv("XDG_DATA_HOME"); absolute(data)) return data;
    if (const char* home = std::getenv("HOME"); absolute(home)) return fs::path(home) / ".local/share";
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && absolute(found->pw_dir))
        return fs::path(found->pw_dir) / ".local/share";
    return {};
}

// The text of an entry file, read only when it is a regular file of bounded size (and, for the per-user registry,
// trusted). A file that is not there is empty and not refused.
struct EntryText {
    std::string text;
    std::string refusal;
};

EntryText ReadEntryFile(const std::string& path, bool mustBeTrusted) {
    // Without O_NONBLOCK a FIFO would hold the caller until some writer came.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {{}, errno == ENOENT ? std::string() : path + ": " + std::strerror(errno)};
    EntryText result;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        result.refusal = path + ": " + std::strerror(errno);
    else if (!S_ISREG(info.st_mode))
        result.refusal = path + " is not a regular file";
    else if (static_cast<std::size_t>(info.st_size) > kMaxEntryFileBytes)
        result.refusal = path + " is too large for a class entry";
    else if (mustBeTrusted)
        result.refusal = Untrusted(path, info);
    if (result.refusal.empty()) {
        // The size seen may be stale (a file still growing): read one byte beyond the limit at most.
        std::string text(kMaxEntryFileBytes + 1, '\0');
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) result.refusal = path + ": " + std::strerror(errno);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
        if (got > kMaxEntryFileBytes) result.refusal = path + " is too large for a class entry";
        if (result.refusal.empty()) result.text = std::move(text);
    }
    close(fd);
    return result;
}

// Writes the whole text to a new file beside the target, then renames it over the target: a failure leaves the
// old entry. A target that is a symbolic link is written through.
bool WriteEntryFile(const fs::path& path, const std::string& text) {
    struct stat link {};
    std::error_code ec;
    const bool isLink = lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    const fs::path target = isLink ? fs::canonical(path, ec) : path;
    if (ec) return false;
    mode_t mode = 0644;
    if (struct stat old{}; stat(target.c_str(), &old) == 0) mode = old.st_mode & 0755;  // never writable by others
    const fs::path temp = target.string() + "." + std::to_string(getpid()) + ".tmp";
    unlink(temp.c_str());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool written = fchmod(fd, mode) == 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    if (written && rename(temp.c_str(), target.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

// Creates the missing folders of the registry for this user alone to write.
bool MakeFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (mkdir(made.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return fs::is_directory(folder);
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
    if (!folder.empty()) ReadEntries(folder + "/" + ProgramName() + ".manifest", manifest_, false);
}

void ClassRegistry::AddManifest(const std::string& path) {
    std::lock_guard lock(mutex_);
    ReadEntries(path, manifest_, false);
}

std::string ClassRegistry::ReadEntries(const std::string& path, std::map<Guid, Entry>& into, bool perUser) {
    EntryText file = ReadEntryFile(path, perUser);
    if (!file.refusal.empty()) {
        Report("class entries refused: " + file.refusal);
        return file.refusal;
    }
    const fs::path base = fs::path(path).parent_path();
    std::map<Guid, Entry> read;
    std::optional<Guid> section;
    Entry entry;
    auto flush = [&] {
        if (section && !entry.library.empty()) read.emplace(*section, entry);
        entry = {};
    };
    std::istringstream in(file.text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > kMaxEntryLineBytes) {
            const std::string why = path + " has a line too long for a class entry";
            Report("class entries refused: " + why);
            return why;
        }
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
    into.merge(read);  // entries read earlier are kept
    return {};
}

std::string ClassRegistry::UserRegistryFolder() {
    const fs::path root = UserDataFolder();
    return root.empty() ? std::string() : (root / "automation" / "classes").string();
}

std::string ClassRegistry::UserRegistryRefusal() {
    // The folders inside the data folder could swap the entries under us: they are as trusted as the entries.
    const fs::path classes = UserRegistryFolder();
    for (const fs::path& folder : {classes, classes.parent_path()}) {
        std::error_code ec;
        if (!fs::exists(folder, ec)) continue;
        if (std::string why = UntrustedPath(folder.string()); !why.empty()) {
            Report("class entries refused: " + why);
            return why;
        }
    }
    return {};
}

bool ClassRegistry::WriteUserEntry(const Guid& clsid, const std::u16string& progId, const std::string& library) {
    const fs::path folder = UserRegistryFolder();
    if (folder.empty()) {
        Report("this user has no home folder, so no class can be registered");
        return false;
    }
    if (!MakeFolders(folder) || !UserRegistryRefusal().empty()) return false;
    return WriteEntryFile(folder / (clsid.ToString() + ".class"),
                          '[' + clsid.ToString() + "]\nProgID=" + Utf8(progId) + "\nLibrary=" + library + '\n');
}

bool ClassRegistry::RemoveUserEntry(const Guid& clsid) {
    // An entry that is not there is as removed as can be.
    const fs::path folder = UserRegistryFolder();
    if (folder.empty()) return true;
    std::error_code ec;
    fs::remove(folder / (clsid.ToString() + ".class"), ec);
    return !ec;
}

std::optional<ClassRegistry::Entry> ClassRegistry::Find(const Guid& clsid, std::string* refusal) {
    if (auto it = manifest_.find(clsid); it != manifest_.end()) return it->second;
    const fs::path folder = UserRegistryFolder();
    if (folder.empty()) return std::nullopt;
    std::string why = UserRegistryRefusal();
    std::map<Guid, Entry> user;
    if (why.empty()) why = ReadEntries((folder / (clsid.ToString() + ".class")).string(), user, true);
    if (refusal) *refusal = why;
    if (auto it = user.find(clsid); it != user.end()) return it->second;
    return std::nullopt;
}

std::optional<Guid> ClassRegistry::ClassIdFromProgId(std::u16string_view progId) {
    std::lock_guard lock(mutex_);
    const std::string wanted = Lower(Utf8(progId));
    for (const auto& [clsid, entry] : manifest_)
        if (Lower(entry.progId) == wanted) return clsid;
    const std::string folder = UserRegistryFolder();
    if (folder.empty() || !UserRegistryRefusal().empty()) return std::nullopt;
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(folder, ec)) {
        if (file.path().extension() != ".class") continue;
        std::map<Guid, Entry> user;
        ReadEntries(file.path().string(), user, true);
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
    if (std::string why = UntrustedLibrary(path); !why.empty()) {
        Report("library refused: " + why);
        status = Failure(why);
        return nullptr;
    }
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
    std::string refusal;
    const auto entry = Find(clsid, &refusal);
    if (!entry) return Failure(refusal.empty() ? "class " + clsid.ToString() + " is not registered" : refusal);
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
