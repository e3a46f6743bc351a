#include "platform/linux/x11desktopcapture.h"

#include <QGuiApplication>
#include <QPainter>
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
    // Window 0 is the whole desktop, given relative to the screen asked. Only what lies on a screen
    // is read from the server: a bar of many buttons can reach far beyond the screen's edge, and
    // there is nothing to see there. That part stays black.
    const QRect desktop = screen->virtualGeometry();
    const QRect shown = screenRect.intersected(desktop);
    const QPoint origin = screen->geometry().topLeft();
    if (shown == screenRect)
        return screen->grabWindow(0, screenRect.x() - origin.x(), screenRect.y() - origin.y(),
                                  screenRect.width(), screenRect.height());
    QPixmap picture(screenRect.size());
    picture.fill(Qt::black);
    if (!shown.isEmpty()) {
        const QPixmap part = screen->grabWindow(0, shown.x() - origin.x(), shown.y() - origin.y(),
                                                shown.width(), shown.height());
        QPainter painter(&picture);
        painter.drawPixmap(shown.topLeft() - screenRect.topLeft(), part);
    }
    return picture;
}

} // namespace platform
