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
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto [netWmState, skipTaskbar, skipPager] =
        x11::atoms(c, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
    // Qt merges what is on an unmapped window into the state it writes before mapping it.
    x11::addWmStateProperty(c, id, netWmState, {skipTaskbar, skipPager});
    // A window being shown is not mapped yet: the manager reads the property when it takes it, and
    // a request would only reach it before it holds the window.
    const QWindow* handle = window->windowHandle();
    if (handle && handle->isVisible())
        x11::requestWmState(c, id, true, skipTaskbar, skipPager);
}

bool X11TaskbarKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped.
    if (event->type() == QEvent::Show && watched == parent())
        apply(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}

} // namespace platform
