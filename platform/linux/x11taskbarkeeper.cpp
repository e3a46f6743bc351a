#include "platform/linux/x11taskbarkeeper.h"

#include "platform/linux/x11util.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace platform {

X11TaskbarKeeper::X11TaskbarKeeper(QWidget* window) : QObject(window)
{
    setObjectName(QStringLiteral("X11TaskbarKeeper"));
    window->installEventFilter(this);
}

void X11TaskbarKeeper::apply(QWidget* window)
{
    xcb_connection_t* c = x11::connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const xcb_window_t id = x11::nativeWindow(window);
    const auto [netWmState, skipTaskbar, skipPager, sticky, netWmDesktop] =
        x11::atoms(c, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                       "_NET_WM_STATE_STICKY", "_NET_WM_DESKTOP"});
    // Qt merges what is on an unmapped window into the state it writes before mapping it. The bar
    // is on every workspace, as a launcher is.
    x11::addWmStateProperty(c, id, netWmState, {skipTaskbar, skipPager, sticky});
    // A window being shown is not mapped yet: the manager reads the properties when it takes it,
    // and a request would only reach it before it holds the window.
    const QWindow* handle = window->windowHandle();
    if (!handle || !handle->isVisible()) {
        const quint32 allDesktops = 0xFFFFFFFFU;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmDesktop, XCB_ATOM_CARDINAL, 32, 1,
                            &allDesktops);
        xcb_flush(c);
    } else {
        x11::requestWmState(c, id, true, skipTaskbar, skipPager);
        x11::requestWmState(c, id, true, sticky);
    }
}

bool X11TaskbarKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped.
    if (event->type() == QEvent::Show && watched == parent()) {
        auto* window = static_cast<QWidget*>(watched);
        apply(window);
        // A change of some window flags (keep above) makes Qt replace the native window at this
        // show, after this event and right before the map: the new window is told once it is up.
        const xcb_window_t before = x11::nativeWindow(window);
        QMetaObject::invokeMethod(
            this,
            [this, before] {
                auto* shown = qobject_cast<QWidget*>(parent());
                if (shown && shown->isVisible() && x11::nativeWindow(shown) != before)
                    apply(shown);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
