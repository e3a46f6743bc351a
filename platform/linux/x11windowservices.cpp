#include "platform/linux/x11windowservices.h"

#include "platform/linux/x11taskbarkeeper.h"
#include "platform/linux/x11util.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace platform {

void X11WindowServices::setSkipTaskbar(QWidget* window)
{
    if (!window)
        return;
    window = window->window();
    if (!window->findChild<X11TaskbarKeeper*>(QString(), Qt::FindDirectChildrenOnly))
        new X11TaskbarKeeper(window); // owned by the window
    X11TaskbarKeeper::apply(window);
}

void X11WindowServices::setKeepAbove(QWidget* window, bool above)
{
    if (!window)
        return;
    window = window->window();
    const Qt::WindowFlags flags = above ? window->windowFlags() | Qt::WindowStaysOnTopHint
                                        : window->windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (flags == window->windowFlags())
        return;
    QWindow* handle = window->windowHandle();
    if (window->isVisible() && handle) {
        // Changing the widget's flags would hide and re-create a shown window; the platform
        // window takes the change in place (through _NET_WM_STATE_ABOVE on X11).
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

void X11WindowServices::setOpacity(QWidget* window, int level)
{
    if (!window)
        return;
    window = window->window();
    const int clamped = qBound(0, level, 255);
    window->setWindowOpacity(clamped / 255.0);
    xcb_connection_t* c = x11::connection();
    if (clamped == 255 && c && window->testAttribute(Qt::WA_WState_Created)) {
        // An ordinary window carries no opacity at all, so the compositor leaves it alone.
        xcb_delete_property(c, x11::nativeWindow(window), x11::atom(c, "_NET_WM_WINDOW_OPACITY"));
    }
    // Qt only queues the property change; a level set while nothing else happens must reach the
    // compositor now, not with the next event.
    if (c)
        xcb_flush(c);
}

bool X11WindowServices::translucencyAvailable(QString* whyNot) const
{
    xcb_connection_t* c = x11::connection();
    if (!c) {
        if (whyNot) {
            *whyNot = QStringLiteral("not an X11 session (window system \"%1\")")
                          .arg(qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                   ? QGuiApplication::platformName()
                                   : QStringLiteral("none"));
        }
        return false;
    }
    if (xcb_connection_has_error(c)) {
        if (whyNot)
            *whyNot = QStringLiteral("the connection to the X server is broken");
        return false;
    }
    // A compositing manager announces itself by owning this selection. No owner is a definite
    // "no", not an unknown answer, so whyNot stays empty.
    if (whyNot)
        whyNot->clear();
    return x11::selectionOwned(c, QStringLiteral("_NET_WM_CM_S%1").arg(x11::defaultScreenNumber()));
}

void X11WindowServices::waitUntilGone(QWidget* window)
{
    xcb_connection_t* c = x11::connection();
    if (!window || !c || !window->window()->testAttribute(Qt::WA_WState_Created))
        return;
    const xcb_window_t own = x11::nativeWindow(window->window());
    const xcb_window_t outer = x11::outermostWindow(c, own);
    // Without a frame, or once the window manager has let the window go, it went with its unmapping.
    if (outer == own)
        return;
    QElapsedTimer waited;
    waited.start();
    while (x11::viewable(c, outer) && waited.elapsed() < 250)
        QThread::msleep(2);
}

} // namespace platform
