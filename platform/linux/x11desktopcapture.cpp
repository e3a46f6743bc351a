#include "platform/linux/x11desktopcapture.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

QPixmap X11DesktopCapture::grab(const QRect& screenRect)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || screenRect.isEmpty())
        return {};
    QScreen* screen = QGuiApplication::screenAt(screenRect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 is the whole screen; the rectangle is given relative to that screen.
    const QPoint origin = screenRect.topLeft() - screen->geometry().topLeft();
    return screen->grabWindow(0, origin.x(), origin.y(), screenRect.width(), screenRect.height());
}

} // namespace platform
