#include "platform/forms/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>
#include <QTranslator>
#include <map>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/automation/ClassRegistry.h"

namespace forms {

QString ProgramFolder() { return QString::fromStdString(automation::ProgramFolder()); }

QString PrivateRuntimeFolder() {
    // Never a predictable name in a folder every user can write, where another user could take the name first.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    return folder;
}

bool AnotherInstanceRunning(const QString& name) {
    static std::map<QString, std::unique_ptr<QLockFile>> guards;
    if (guards.count(name)) return false;  // we hold it already
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty()) return false;  // no guard can be kept: let this copy run
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // a copy that died leaves a stale lock, recognised by its process id
    if (!lock->tryLock(0)) return true;
    guards[name] = std::move(lock);
    return false;
}

std::string UserDataFolder(std::string_view program) {
    // Bytes from the environment as they are: a home folder need not be named in UTF-8.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') return std::string(dataHome) + '/' + std::string(program);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/" + std::string(program);
    return {};
}

bool FolderWritable(const std::string& folder) { return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0; }

bool MakeUserFolder(const std::string& folder) {
    if (folder.empty()) return false;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeUserFolder(folder.substr(0, slash))) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool UseChineseForQtTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace forms
