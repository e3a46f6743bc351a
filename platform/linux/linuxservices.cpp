#include "platform/linux/linuxservices.h"

#include "platform/linux/lockfileinstance.h"
#include "platform/linux/qtappinfo.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qteventpump.h"
#include "platform/linux/qtmessageboxes.h"
#include "platform/linux/qtpictureloader.h"
#include "platform/linux/qtscreenmetrics.h"
#include "platform/linux/qtsettingsstore.h"
#include "platform/linux/x11desktopcapture.h"
#include "platform/linux/x11shellopener.h"
#include "platform/linux/x11windowservices.h"
#include "platform/linux/xdgautostart.h"
#include "platform/linux/xdgiconprovider.h"
#include "platform/linux/xdgsysteminfo.h"
#include "platform/services.h"

#include <QByteArray>
#include <QtGlobal>

namespace platform::linuxsvc {

void fillDefaults(Services& s)
{
    s.settings = std::make_unique<QtSettingsStore>();
    s.messages = std::make_unique<QtMessageBoxes>();
    s.app = std::make_unique<QtAppInfo>();
    s.screen = std::make_unique<QtScreenMetrics>();
    s.instanceLock = std::make_unique<LockFileInstance>();
    s.events = std::make_unique<QtEventPump>();
    s.shell = std::make_unique<X11ShellOpener>();
    s.windows = std::make_unique<X11WindowServices>();
    s.desktop = std::make_unique<X11DesktopCapture>();
    s.dialogs = std::make_unique<QtDialogs>();
    s.pictures = std::make_unique<QtPictureLoader>();
    s.icons = std::make_unique<XdgIconProvider>();
    s.autostart = std::make_unique<XdgAutostart>();
    s.systemInfo = std::make_unique<XdgSystemInfo>();
}

} // namespace platform::linuxsvc

namespace platform {

bool chooseWindowSystem(int argc, const char* const argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform" || argument.startsWith("-platform=") ||
            argument.startsWith("--platform="))
            return false;
    }
    // The window services speak X11. In a Wayland session Qt would take its Wayland plugin where one
    // is installed, and the bar could neither shape, place nor keep its window there: it goes to the
    // session's X server. Without one, Wayland still shows the bar and says what it cannot do.
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    return true;
}

void forgetWindowSystemChoice()
{
    // Qt reads the choice only while the application object is made.
    qunsetenv("QT_QPA_PLATFORM");
}

} // namespace platform
