#include "platform/forms/Application.h"

#include <QDir>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QTranslator>
#include <QMessageBox>
#include <QStandardPaths>
#include <memory>

#include "platform/automation/ClassRegistry.h"

namespace forms {

QString ProgramFolder() { return QString::fromStdString(automation::ProgramFolder()); }

bool AnotherInstanceRunning(const QString& name) {
    static std::unique_ptr<QLockFile> guard;
    if (guard) return false;  // we hold it already
    // The user's own runtime folder, else the user's cache folder: never a predictable name in a folder every user
    // can write, where another user could take the name first.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return false;  // no guard can be kept: let this copy run
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // a copy that died leaves a stale lock, recognised by its process id
    if (!lock->tryLock(0)) return true;
    guard = std::move(lock);
    return false;
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

void WarningBox(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::warning(owner, title, text);
}

}  // namespace forms
