#pragma once
// The open-file, save-file and folder dialogs, and the warning box. Callers get the dialogs' classic result texts: one
// chosen file is its full path; several are the folder, a NUL, each name followed by a NUL, and one more NUL; a
// folder is its path; a cancelled dialog is empty text.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QWidget;

namespace forms {

// What a dialog is asked to show, as the dialog hook sees it.
struct DialogRequest {
    enum class Kind { OpenFiles, SaveFile, Folder, Warning };
    Kind kind = Kind::OpenFiles;
    QWidget* owner = nullptr;
    QString title;
    QString nameFilter;  // Qt's form: "display text (pattern pattern ...)"; empty for the folder dialog
    bool multiSelect = false;
    QString text;  // the warning box's message
};

// Answers a dialog request with the absolute paths the user confirmed; none means cancelled. A warning box's answer
// is not read.
using DialogHook = std::function<QStringList(const DialogRequest&)>;

// Replaces the modal dialogs, so commands can be driven without a person (tests); an empty hook brings them back.
void SetDialogHook(DialogHook hook);

// The open-file dialog; only existing files can be chosen. filter is the entry's display text, pattern its
// wildcards separated by ";". A selection whose text would not fit into bufferSize characters keeps only the
// leading names that fit.
QString BrowseForFiles(QWidget* owner, const QString& title, const QString& filter, const QString& pattern,
                       std::int16_t multiSelect, std::int32_t bufferSize);

// The save dialog. filter is in Qt's form ("display text (pattern ...)"). Returns the name as typed, without adding
// an extension.
QString BrowseForSaveFile(QWidget* owner, const QString& title, const QString& filter);

// The folder dialog: only folders can be chosen.
QString BrowseForFolder(QWidget* owner, const QString& title);

// The result text of an open-file dialog for these absolute paths, limited to bufferSize characters.
QString FileSelectionText(const QStringList& paths, std::int32_t bufferSize);

// A message box with a warning icon and an OK button, returning once it is answered.
void WarningBox(QWidget* owner, const QString& title, const QString& text);

// Closes every modal dialog and message box open now as if cancelled, so that whatever waits for one goes on: the
// program is ending and nobody will answer them.
void CloseModalDialogs();

// The text before the first NUL: the one file or folder a result names.
QString UpToNul(const QString& result);

// Qt's filter text for a display text and ";"-separated wildcards.
QString NameFilter(const QString& display, const QString& pattern);

}  // namespace forms
