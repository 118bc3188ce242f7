// The player: its main window is the program; unloading it ends the program.
#include <QApplication>

#include "media/core/MainWindow.h"
#include "media/core/OpenLocations.h"
#include "media/core/Windows.h"
#include "media/windows/Tray.h"
#include "platform/forms/Application.h"
#include "platform/forms/ProgramEnd.h"

namespace {

// Every way the desktop ends the program saves the list as the close button does, but none of them waits for an
// answer nobody may give: a list without a name goes to a new file instead of asking for one, and a failed save is
// told on stderr only.
void EndLikeTheCloseButton() {
    forms::OnEndSignals([] { media::frmMain().EndProgram(); });
    // The session manager says whether the program may ask; it then asks only for an unnamed list's name.
    forms::OnSessionSave([](bool mayAsk) { media::frmMain().SaveListAtEnd(mayAsk); });
    // The session manager's end after its save: Qt would close the main window as if the user had, and the close
    // button asks for an unnamed list's name.
    forms::OnQuitRequest([] { media::frmMain().EndProgram(); });
    // Nothing can be shown any more.
    forms::OnDisplayLost([] { media::frmMain().SaveListAtEnd(false); });
}

}  // namespace

int main(int argc, char** argv) {
    // Shaped, self-placed windows need X11; on a Wayland desktop that is its X11 server.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // One identity for the windows, the panel and the desktop entry: WM_CLASS "media", "media".
    QApplication::setApplicationName(QStringLiteral("media"));
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("media"));
    QApplication::setWindowIcon(media::ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    forms::UseChineseForQtTexts();
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
