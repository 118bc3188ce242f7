// The player: its main window is the program; unloading it ends the program.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "media/core/MainWindow.h"
#include "media/core/OpenLocations.h"
#include "media/core/ProgramIdentity.h"
#include "media/core/Windows.h"
#include "media/playlist/ListSnapshot.h"
#include "media/windows/Tray.h"
#include "platform/forms/Application.h"
#include "platform/forms/ProgramEnd.h"
#include "platform/mediaplayer/StreamIdentity.h"

namespace {

// Every way the desktop ends the program saves the list as the close button does, but none of them waits for an
// answer nobody may give: a list without a name goes to a new file instead of asking for one, and a failed save is
// told on stderr only.
void EndLikeTheCloseButton() {
    // A window thread held in code that never returns cannot save: the copy of the list kept for it is written
    // from another thread instead.
    forms::OnEndSignals([] { media::frmMain().EndProgram(); }, [] { media::EndingListSnapshot().WriteStranded(); });
    // The session manager says whether the program may ask; it then asks only for an unnamed list's name.
    forms::OnSessionSave([](bool mayAsk) { media::frmMain().SaveListAtEnd(mayAsk); });
    // The session manager's end after its save: Qt would close the main window as if the user had, and the close
    // button asks for an unnamed list's name.
    forms::OnQuitRequest([] { media::frmMain().EndProgram(); });
    // Nothing can be shown any more.
    forms::OnDisplayLost([] { media::frmMain().SaveListAtEnd(false); });
}

// `media --help` and `media --version` answer on stdout and end, with no display needed and no window shown. Only
// these exact first arguments: any other start, with files or without, is the player's own.
bool AnsweredAnOption(int argc, char** argv) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s (%s) %s\n", media::kProgramName, media::kDisplayName, media::kVersion);
        return true;
    }
    if (std::strcmp(argv[1], "--help") != 0) return false;
    std::printf(
        "Usage: %s [FILE...]\n"
        "%s %s, a skinned audio player with a playlist and lyrics (its windows are in Chinese).\n"
        "FILEs are added to the playlist and the first of them plays; when the player runs already, they go to\n"
        "its playlist. The playlist is default.lst beside the program, or ~/.local/share/media/default.lst for a\n"
        "system-wide install. Messages go to stderr.\n"
        "  --help     show this help and end\n"
        "  --version  show the version and end\n",
        media::kProgramName, media::kDisplayName, media::kVersion);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredAnOption(argc, argv)) return 0;
    // Shaped, self-placed windows need X11; on a Wayland desktop that is its X11 server.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // One identity for the windows, the panel and the desktop entry: WM_CLASS "media", "media".
    QApplication::setApplicationName(QString::fromLatin1(media::kProgramName));
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QString::fromLatin1(media::kProgramName));
    QApplication::setWindowIcon(media::ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    forms::UseChineseForQtTexts();
    mediaplayer::SetSoundServerIdentity(media::kDisplayName, media::kProgramName);
    EndLikeTheCloseButton();
    media::MainWindow& main = media::frmMain();
    // The files named on the command line (what Qt's own options leave of it) open once the list has loaded, or in
    // the copy that runs already.
    main.OpenLocations(media::LocationsFromArguments(argc, argv));
    main.Show();
    int result = 0;
    if (main.Loaded()) result = QApplication::exec();
    // The session manager's "die" quits the event loop without closing the window: the program is being ended, and
    // nobody is asked any more.
    if (main.Loaded()) main.EndProgram();
    media::DestroyWindows();
    return result;
}
