#pragma once
// Program-wide services of the windowing runtime: the program folder, the single-instance guard, the user's data
// folder, Qt's texts in Chinese.
#include <QString>
#include <string>
#include <string_view>

namespace forms {

// The folder of the running program, without a trailing separator.
QString ProgramFolder();

// True when another copy of this program already runs for this user. The first copy keeps the guard for its life.
bool AnotherInstanceRunning(const QString& name);

// The folder the single-instance guard lives in: the user's own runtime folder, else the user's cache folder,
// created when missing. Only this user can make names there. Empty when there is none.
QString PrivateRuntimeFolder();

// The folder of this user's data for `program`, as bytes: $XDG_DATA_HOME/<program> when that variable holds an
// absolute path, else ~/.local/share/<program>. Empty when neither can be told. It need not exist yet.
std::string UserDataFolder(std::string_view program);

// Whether this process may create files in `folder` (bytes): the kernel's own answer for this process, so a
// read-only mount or a folder without write permission reads false, and root reads true wherever it may write.
bool FolderWritable(const std::string& folder);

// Creates `folder` (bytes) and the folders above it that are missing, the new ones readable by this user alone;
// true when it exists afterwards.
bool MakeUserFolder(const std::string& folder);

// Qt's own texts (dialog buttons, file dialogs, message boxes) in Chinese, the language of every caption of the
// program, whatever the desktop's language. False when Qt's Chinese translations are not installed.
bool UseChineseForQtTexts();

}  // namespace forms
