#include "media/windows/WebWindow.h"

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/Twips.h"

namespace media {

namespace {
QString& PortalAddressSlot() {
    static QString address = QStringLiteral("http://127.0.0.1/Zorbel/Ruzazerizo/Default.aspx");
    return address;
}
}  // namespace

QString WebWindow::PortalAddress() { return PortalAddressSlot(); }
void WebWindow::SetPortalAddress(const QString& address) { PortalAddressSlot() = address; }

WebWindow::WebWindow()
    : ToolWindow(ToolWindowKind::Web(QString::fromUtf8(kCaption))), FrameWindow(this), WebBrowserPlayer(&FrameWindow) {
    WebBrowserPlayer.BeforeNavigate2 = [this](const QString& url, bool userStarted, bool& cancel) {
        WebBrowserPlayer_BeforeNavigate2(url, userStarted, cancel);
    };
    ComposeFrame();
}

void WebWindow::Form_Load() {
    MainWindow& main = frmMain();
    Move(main.Left() + main.Width(), main.Top());
    isNavigated = false;
    WebBrowserPlayer.Navigate(PortalAddress());
    isNavigated = true;
    ToolWindow::Form_Load();
}

void WebWindow::PlaceContent() {
    FrameWindow.setGeometry(forms::ToPixels(97), forms::ToPixels(427), std::max(forms::ToPixels(Width() - 180), 0),
                            std::max(forms::ToPixels(Height() - 490), 0));
    // The browser's own border falls outside the frame.
    WebBrowserPlayer.setGeometry(0, 0, FrameWindow.width() + forms::ToPixels(20),
                                 FrameWindow.height() + forms::ToPixels(20));
}

void WebWindow::WebBrowserPlayer_BeforeNavigate2(const QString& url, bool userStarted, bool& cancel) {
    if (url.startsWith(QLatin1String("play"))) {
        // A file is added only for a link the user followed: a redirect or any other navigation the server or the
        // page makes on its own would let whoever answers on the portal's address fill the list unasked.
        if (!userStarted) {
            cancel = true;
            return;
        }
        QString path = url;
        path.remove(QStringLiteral("play:"));
        AddFile(frmList().PlayList(), path.toStdU16String());
        return;  // the cancel flag stays as it came
    }
    cancel = isNavigated;
}

}  // namespace media
