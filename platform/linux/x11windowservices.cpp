#include "platform/linux/x11windowservices.h"

#include "platform/linux/alphaveil.h"
#include "platform/linux/x11eventwatch.h"
#include "platform/linux/x11launcherkeys.h"
#include "platform/linux/x11taskbarkeeper.h"
#include "platform/linux/x11util.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <xcb/xfixes.h>

namespace platform {

namespace {

bool waylandClient()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::platformName() == QLatin1String("wayland");
}

QString compositingSelection()
{
    return QStringLiteral("_NET_WM_CM_S%1").arg(x11::defaultScreenNumber());
}

// Weston's XWayland shows a new override-redirect window only once something else makes it draw
// its screen again, a pointer motion or another window: each time the bar shows, a window of one
// transparent pixel under it is shown for a moment, which is that something.
class RepaintNudge final : public QObject {
public:
    explicit RepaintNudge(QWidget* bar) : QObject(bar) { bar->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched == parent())
            QTimer::singleShot(50, this, [this] { nudge(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void nudge()
    {
        const auto* bar = static_cast<const QWidget*>(parent());
        if (!bar->isVisible())
            return;
        m_pixel = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        m_pixel->setAttribute(Qt::WA_TranslucentBackground);
        m_pixel->setAttribute(Qt::WA_ShowWithoutActivating);
        m_pixel->setGeometry(QRect(bar->geometry().center(), QSize(1, 1)));
        m_pixel->show();
        QTimer::singleShot(200, this, [this] { m_pixel.reset(); });
    }

    std::unique_ptr<QWidget> m_pixel;
};

} // namespace

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
    // A see-through window is made translucent in its own pixels: the opacity property would be
    // ignored by some compositors and applied twice by the others.
    const bool ownPixels = backdrop(window) == Backdrop::SeeThrough;
    AlphaVeil::apply(window, ownPixels ? clamped : 255);
    window->setWindowOpacity(ownPixels ? 1.0 : clamped / 255.0);
    xcb_connection_t* c = x11::connection();
    if ((ownPixels || clamped == 255) && c && window->testAttribute(Qt::WA_WState_Created)) {
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
    if (whyNot)
        whyNot->clear();
    // Every Wayland compositor shows the alpha channel of its clients' windows.
    if (waylandClient())
        return true;
    xcb_connection_t* c = x11::connection();
    if (!c) {
        if (whyNot) {
            *whyNot = QStringLiteral("no window system to ask (window system \"%1\")")
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
    // No compositor is a definite "no", not an unknown answer, so whyNot stays empty.
    return composited();
}

bool X11WindowServices::composited() const
{
    if (waylandClient())
        return true;
    xcb_connection_t* c = x11::connection();
    if (!c || xcb_connection_has_error(c))
        return false;
    if (!m_xwayland)
        m_xwayland = x11::isXWayland(c);
    // XWayland's windows are drawn by the Wayland compositor, whether its X window manager owns the
    // compositing selection or not.
    return *m_xwayland || x11::selectionOwned(c, compositingSelection());
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

bool X11WindowServices::placesWindowsAsAsked(const QString& windowManager)
{
    // The window managers of GNOME and KDE place X windows where they ask, in a Wayland session as
    // on X11. The others of Wayland compositors (wlroots', weston's) place them themselves.
    for (const char* name : {"GNOME Shell", "Mutter", "KWin"}) {
        if (windowManager.startsWith(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

DesktopTraits X11WindowServices::desktop() const
{
    DesktopTraits traits;
    if (waylandClient()) {
        traits.composited = true;
        traits.wayland = true;
        traits.placesWindows = false;
        traits.barPlaced = false;
        return traits;
    }
    xcb_connection_t* c = x11::connection();
    if (!c || xcb_connection_has_error(c))
        return traits;
    traits.composited = composited();
    traits.xwayland = m_xwayland.value_or(false);
    traits.windowManager = x11::windowManagerName(c);
    traits.placesWindows = !traits.xwayland || placesWindowsAsAsked(traits.windowManager);
    return traits;
}

void X11WindowServices::prepareBar(QWidget* window)
{
    if (!window)
        return;
    window = window->window();
    const DesktopTraits traits = desktop();
    // Every X server that can composite has 32-bit windows: the bar has one from the start, so that
    // a compositing manager coming later only changes what it draws, not the window.
    if (traits.wayland || x11::connection())
        window->setAttribute(Qt::WA_TranslucentBackground);
    // Windows the window manager would place, size or frame as it likes are placed by the program;
    // such a window shows on every workspace and above the others.
    if (traits.xwayland && !traits.placesWindows) {
        window->setWindowFlag(Qt::X11BypassWindowManagerHint);
        if (traits.windowManager.startsWith(QLatin1String("Weston")))
            new RepaintNudge(window); // owned by the window
    }
    window->setProperty("doviBar", true);
}

Backdrop X11WindowServices::backdrop(const QWidget* window) const
{
    if (!window || !window->window()->property("doviBar").toBool() ||
        !window->window()->testAttribute(Qt::WA_TranslucentBackground))
        return Backdrop::Copy;
    return composited() ? Backdrop::SeeThrough : Backdrop::Copy;
}

void X11WindowServices::watchDesktop(QObject* context, std::function<void()> changed)
{
    xcb_connection_t* c = x11::connection();
    if (!context || !changed || !c || xcb_connection_has_error(c))
        return;
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    const xcb_window_t root = x11::rootWindow(c);
    if (!xfixes || !xfixes->present || root == XCB_WINDOW_NONE)
        return;
    // The version is agreed on before the first request of the extension.
    std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    const xcb_atom_t selection = x11::atom(c, compositingSelection().toLatin1().constData());
    xcb_xfixes_select_selection_input(c, root, selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
    const auto type = static_cast<uint8_t>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    const auto isCompositor = [type, selection](const xcb_generic_event_t& event) {
        return (event.response_type & 0x7f) == type &&
               reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event).selection == selection;
    };
    // A compositing manager that restarts gives up the selection and takes it again at once.
    new X11EventWatch(context, isCompositor, 100, std::move(changed)); // owned by the context
}

void X11WindowServices::giveFocusBack(QWidget* window)
{
    WindowServices::giveFocusBack(window);
    xcb_connection_t* c = x11::connection();
    const xcb_window_t root = c ? x11::rootWindow(c) : xcb_window_t{XCB_WINDOW_NONE};
    if (!window || root == XCB_WINDOW_NONE)
        return;
    const xcb_window_t own = x11::nativeWindow(window->window());
    const auto names = x11::atoms(c, {"_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE",
                                      "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_DESKTOP",
                                      "_NET_WM_DESKTOP", "_NET_CURRENT_DESKTOP"});
    const auto [state, hidden, type, dock, desktopType, desktop, current] = names;
    const std::optional<quint32> workspace = x11::cardinalProperty(c, root, current);
    const QList<xcb_window_t> stacking = x11::clientList(c, root, x11::ClientOrder::Stacking);
    for (auto it = stacking.crbegin(); it != stacking.crend(); ++it) {
        const xcb_window_t candidate = *it;
        if (candidate == own || x11::atomListProperty(c, candidate, state).contains(hidden))
            continue;
        const QList<xcb_atom_t> types = x11::atomListProperty(c, candidate, type);
        if (types.contains(dock) || types.contains(desktopType))
            continue;
        const std::optional<quint32> on = x11::cardinalProperty(c, candidate, desktop);
        if (workspace && on && *on != *workspace && *on != 0xFFFFFFFF)
            continue;
        x11::requestActivation(c, candidate, own);
        return;
    }
    // No other window: the keyboard goes to whatever is under the pointer.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
    xcb_flush(c);
}

QList<int> X11WindowServices::grabLauncherKeys(QObject* context, std::function<void(int)> pressed)
{
    if (!context || !pressed || !x11::connection())
        return {};
    const auto* keys = new X11LauncherKeys(context, std::move(pressed)); // owned by the context
    return keys->taken();
}

} // namespace platform
