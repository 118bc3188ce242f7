#include "platform/forms/CommonDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>

namespace forms {
namespace {

DialogHook& Hook() {
    static DialogHook hook;
    return hook;
}

// Qt's own file dialog, judging the choice without the folder it shows. Qt selects that folder for an empty name:
// when its name box is emptied (entering a folder does that) or when a quote in a picked name splits the box's
// list of names wrongly. Only typing into the focused box unselects it again; left selected, it answers first,
// ahead of the folder typed or picked inside it, and among picked files it makes Qt open it instead of taking them.
// No one picks a folder in its own view, and an empty choice stands for it anyway.
class ChoiceDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        UnselectTheFolderShown();
        QFileDialog::accept();
    }

private:
    void UnselectTheFolderShown() {
        // The list and the detail view share this selection; their root is the folder shown.
        const auto* view = findChild<QAbstractItemView*>(QStringLiteral("listView"));
        QItemSelectionModel* selection = view ? view->selectionModel() : nullptr;
        const QModelIndex shown = view ? view->rootIndex() : QModelIndex();
        if (selection && shown.isValid() && selection->isSelected(shown))
            selection->select(shown, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
};

// Qt's own dialog rather than the desktop's: it behaves the same on every desktop and under a bare X server.
// The answer is what the dialog accepted, as it accepted it.
QStringList RunDialog(const DialogRequest& request) {
    if (Hook()) return Hook()(request);
    // A dialog owned by a window that is never shown (the menu window) would open at that window's corner of
    // the screen; without a visible owner it opens in the middle of the screen.
    QWidget* owner = request.owner && request.owner->isVisible() ? request.owner : nullptr;
    ChoiceDialog dialog(owner, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    switch (request.kind) {
        case DialogRequest::Kind::OpenFiles:
            dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
            dialog.setNameFilter(request.nameFilter);
            break;
        case DialogRequest::Kind::SaveFile:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            // Picking an existing list replaces it without a question, as saving a list always did.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            dialog.setNameFilter(request.nameFilter);
            dialog.setDirectory(QDir::homePath());
            break;
        case DialogRequest::Kind::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
    }
    QStringList accepted;
    QObject::connect(&dialog, &QFileDialog::filesSelected, [&accepted](const QStringList& files) { accepted = files; });
    if (dialog.exec() != QDialog::Accepted) return {};
    return accepted;
}

bool IsInside(const QString& path, const QString& folder) {
    return folder == QLatin1String("/")
               ? path.startsWith(QLatin1Char('/'))
               : path.startsWith(folder) && path.size() > folder.size() && path.at(folder.size()) == QLatin1Char('/');
}

// The deepest folder that holds every path: the dialog's own folder, or a common ancestor when names were typed
// with folders of their own.
QString CommonFolder(const QStringList& paths) {
    QString folder = QFileInfo(paths.first()).path();
    for (const QString& path : paths)
        while (!IsInside(path, folder) && folder != QLatin1String("/")) folder = QFileInfo(folder).path();
    return folder;
}

}  // namespace

void SetDialogHook(DialogHook hook) { Hook() = std::move(hook); }

void WarningBox(QWidget* owner, const QString& title, const QString& text) {
    DialogRequest request{DialogRequest::Kind::Warning, owner, title, QString(), false, text};
    if (Hook()) {
        Hook()(request);
        return;
    }
    QMessageBox::warning(owner && owner->isVisible() ? owner : nullptr, title, text);
}

void CloseModalDialogs() {
    // Each one closed leaves the modal stack; the bound only guards against a window that refuses to close.
    for (int left = 16; left > 0; --left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

QString UpToNul(const QString& result) {
    const qsizetype nul = result.indexOf(QChar(u'\0'));
    return nul < 0 ? result : result.left(nul);
}

QString NameFilter(const QString& display, const QString& pattern) {
    // Qt takes the wildcards from a trailing "(...)"; a display text that carries none gets the pattern there.
    if (display.endsWith(QLatin1Char(')')) && display.contains(QLatin1Char('('))) return display;
    QString wildcards = pattern;
    wildcards.replace(QLatin1Char(';'), QLatin1Char(' '));
    return display + QStringLiteral(" (") + wildcards + QLatin1Char(')');
}

QString FileSelectionText(const QStringList& chosen, std::int32_t bufferSize) {
    QStringList paths;
    for (const QString& path : chosen)
        if (!path.isEmpty()) paths.append(QFileInfo(path).absoluteFilePath());
    if (paths.isEmpty()) return {};
    // One file is its path. It is never cut: a cut path would name another file.
    if (paths.size() == 1) return paths.first();

    const QString folder = CommonFolder(paths);
    const qsizetype prefix = folder.endsWith(QLatin1Char('/')) ? folder.size() : folder.size() + 1;
    const QChar nul(u'\0');
    QString text = folder + nul;
    int names = 0;
    for (const QString& path : paths) {
        const QString name = path.mid(prefix);
        // Room for the name, its NUL and the closing NUL; a name that does not fit ends the list, whole names only.
        if (text.size() + name.size() + 2 > bufferSize) break;
        text += name + nul;
        ++names;
    }
    if (names == 0) return {};
    return text + nul;
}

QString BrowseForFiles(QWidget* owner, const QString& title, const QString& filter, const QString& pattern,
                       std::int16_t multiSelect, std::int32_t bufferSize) {
    DialogRequest request{DialogRequest::Kind::OpenFiles, owner, title, NameFilter(filter, pattern), multiSelect == 1};
    QStringList chosen = RunDialog(request);
    if (!request.multiSelect && chosen.size() > 1) chosen = chosen.mid(0, 1);
    return FileSelectionText(chosen, bufferSize);
}

QString BrowseForSaveFile(QWidget* owner, const QString& title, const QString& filter) {
    const DialogRequest request{DialogRequest::Kind::SaveFile, owner, title, filter, false};
    const QStringList chosen = RunDialog(request);
    return chosen.isEmpty() ? QString() : chosen.first();
}

QString BrowseForFolder(QWidget* owner, const QString& title) {
    const DialogRequest request{DialogRequest::Kind::Folder, owner, title, QString(), false};
    const QStringList chosen = RunDialog(request);
    // A typed "inner/" or "inner/." names the same folder as "inner".
    return chosen.isEmpty() ? QString() : QDir::cleanPath(chosen.first());
}

}  // namespace forms
