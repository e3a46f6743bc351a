#include "platform/linux/x11desktopcapture.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

QPixmap X11DesktopCapture::grab(const QRect& screenRect)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0, screenRect.x(), screenRect.y(), screenRect.width(), screenRect.height());
}

} // namespace platform
