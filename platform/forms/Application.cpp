#include "platform/forms/Application.h"

#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <memory>

#include "platform/automation/ClassRegistry.h"

namespace forms {

QString ProgramFolder() { return QString::fromStdString(automation::ProgramFolder()); }

bool AnotherInstanceRunning(const QString& name) {
    static std::unique_ptr<QLockFile> guard;
    if (guard) return false;  // we hold it already
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QDir().mkpath(folder);
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // a copy that died leaves a stale lock, recognised by its process id
    if (!lock->tryLock(0)) return true;
    guard = std::move(lock);
    return false;
}

void WarningBox(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::warning(owner, title, text);
}

}  // namespace forms
