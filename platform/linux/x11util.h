#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <xcb/xcb.h>

class QWidget;

// Small helpers over the application's own X connection. Every function is safe to call when the
// program does not run on X11: connection() is then null and the rest is never reached.
namespace platform::x11 {

// The X connection Qt uses, or null when the platform is not xcb (offscreen, Wayland).
xcb_connection_t* connection();

// The native window that shows a top-level widget now. Qt makes a new one when some window flags
// change (keep above), and the widget's own winId() still gives the old one then.
xcb_window_t nativeWindow(const QWidget* window);

// The screen number of the display the program was started on (the ".n" of DISPLAY, else 0).
int defaultScreenNumber();

// The atom an intern request gave, XCB_ATOM_NONE when it failed.
xcb_atom_t internedAtom(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie);

// The root window of the default screen, 0 when there is none.
xcb_window_t rootWindow(xcb_connection_t* c);

xcb_atom_t atom(xcb_connection_t* c, const char* name);

// Several atoms for the price of one round trip to the server, in the order of the names.
template<std::size_t N> std::array<xcb_atom_t, N> atoms(xcb_connection_t* c, const char* const (&names)[N])
{
    std::array<xcb_intern_atom_cookie_t, N> cookies{};
    for (std::size_t i = 0; i < N; ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<quint16>(qstrlen(names[i])), names[i]);
    std::array<xcb_atom_t, N> found{};
    for (std::size_t i = 0; i < N; ++i)
        found[i] = internedAtom(c, cookies[i]);
    return found;
}

// Top-level windows the window manager lists: in _NET_CLIENT_LIST, the order they were mapped in, or
// in _NET_CLIENT_LIST_STACKING, from the bottom to the top.
enum class ClientOrder { Mapping, Stacking };
QList<xcb_window_t> clientList(xcb_connection_t* c, xcb_window_t root,
                               ClientOrder order = ClientOrder::Mapping);

// Asks the window manager to activate window (_NET_ACTIVE_WINDOW) as a task bar would.
void requestActivation(xcb_connection_t* c, xcb_window_t window, xcb_window_t activeNow);

// The child of the root that holds window: the window manager's frame around it, or the window itself.
xcb_window_t outermostWindow(xcb_connection_t* c, xcb_window_t window);
// Whether the window and all its ancestors are mapped.
bool viewable(xcb_connection_t* c, xcb_window_t window);
// The root window's depth in bits, 0 when there is none.
quint8 rootDepth(xcb_connection_t* c);

// A 32-bit value of any type (a window, a pixmap, a number), when the property holds one.
std::optional<quint32> idProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);
std::optional<quint32> cardinalProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);

QList<xcb_atom_t> atomListProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);

// Asks the window manager to add (true) or remove (false) up to two _NET_WM_STATE atoms.
void requestWmState(xcb_connection_t* c, xcb_window_t window, bool add, xcb_atom_t first,
                    xcb_atom_t second = XCB_ATOM_NONE);

// Writes _NET_WM_STATE atoms straight onto a window the manager does not hold yet (unmapped).
void addWmStateProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t netWmState,
                        const QList<xcb_atom_t>& wanted);

// ICCCM WM_CHANGE_STATE to IconicState.
void requestIconify(xcb_connection_t* c, xcb_window_t window);

// True when some client owns the selection.
bool selectionOwned(xcb_connection_t* c, const QString& selectionName);

// The UTF-8 text of a property, empty when unset.
QString textProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);

// The window manager's name, from its _NET_SUPPORTING_WM_CHECK window; empty when none says it.
QString windowManagerName(xcb_connection_t* c);

// Whether the X server is a Wayland compositor's XWayland.
bool isXWayland(xcb_connection_t* c);

// Adds events to what this client selects on a window, keeping what Qt selected before.
void addEventMask(xcb_connection_t* c, xcb_window_t window, quint32 mask);

} // namespace platform::x11
