#pragma once
// The web portal window: the skinned tool frame around a browser showing the portal's start page on this machine.
// The page hands files to the player with "play:" links the user follows; every other navigation after the start
// page is refused.
#include <QWidget>

#include "media/windows/ToolWindow.h"
#include "platform/browser/WebBrowser.h"

namespace media {

class WebWindow final : public ToolWindow {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "音乐门户";

    WebWindow();

    // The start page: the portal's path on a web server of this machine.
    static QString PortalAddress();
    static void SetPortalAddress(const QString& address);  // for a portal elsewhere, such as a test server

    QWidget FrameWindow;
    browser::WebBrowser WebBrowserPlayer;
    bool isNavigated = false;

    void WebBrowserPlayer_BeforeNavigate2(const QString& url, bool userStarted, bool& cancel);

protected:
    void Form_Load() override;
    void PlaceContent() override;
};

}  // namespace media
