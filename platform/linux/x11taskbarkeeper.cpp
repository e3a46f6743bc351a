#include "platform/linux/x11taskbarkeeper.h"

#include "platform/linux/x11util.h"

#include <QEvent>
#include <QWidget>

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
    const xcb_atom_t skipTaskbar = x11::atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = x11::atom(c, "_NET_WM_STATE_SKIP_PAGER");
    // Qt merges what is on an unmapped window into the state it writes before mapping it.
    x11::addWmStateProperty(c, id, {skipTaskbar, skipPager});
    if (window->isVisible())
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
