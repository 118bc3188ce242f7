#pragma once
// Program-wide services of the windowing runtime: the program folder, the single-instance guard, message boxes.
#include <QString>

class QWidget;

namespace forms {

// The folder of the running program, without a trailing separator.
QString ProgramFolder();

// True when another copy of this program already runs for this user. The first copy keeps the guard for its life.
bool AnotherInstanceRunning(const QString& name);

// Qt's own texts (dialog buttons, file dialogs, message boxes) in Chinese, the language of every caption of the
// program, whatever the desktop's language. False when Qt's Chinese translations are not installed.
bool UseChineseForQtTexts();

// A message box with a warning icon and an OK button.
void WarningBox(QWidget* owner, const QString& title, const QString& text);

}  // namespace forms
