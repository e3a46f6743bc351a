#include "platform/linux/x11util.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace platform::x11 {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template<typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

const xcb_screen_t* screenOf(xcb_connection_t* c, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == number)
            return it.data;
    }
    return nullptr;
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                         xcb_atom_t type, quint32 longLength)
{
    const auto cookie = xcb_get_property(c, 0, window, property, type, 0, longLength);
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(c, cookie, nullptr));
}

constexpr quint32 rootMessageMask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;

void sendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, const quint32 (&data)[5])
{
    const xcb_window_t root = rootWindow(c);
    if (!root || !type)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (int i = 0; i < 5; ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, root, rootMessageMask, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

} // namespace

xcb_connection_t* connection()
{
    // Without a GUI application (a console tool, a test) there is no window system to reach.
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return nullptr;
    const auto* x11App = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11App ? x11App->connection() : nullptr;
}

xcb_window_t nativeWindow(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return static_cast<xcb_window_t>(handle ? handle->winId() : window->winId());
}

int defaultScreenNumber()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const int colon = display.lastIndexOf(QLatin1Char(':'));
    const int dot = display.indexOf(QLatin1Char('.'), colon < 0 ? 0 : colon);
    if (dot < 0)
        return 0;
    bool ok = false;
    const int number = display.mid(dot + 1).toInt(&ok);
    return ok && number >= 0 ? number : 0;
}

xcb_window_t rootWindow(xcb_connection_t* c)
{
    const xcb_screen_t* screen = screenOf(c, defaultScreenNumber());
    if (!screen)
        screen = screenOf(c, 0);
    return screen ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t internedAtom(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    return atoms(c, {name})[0];
}

QList<xcb_window_t> clientList(xcb_connection_t* c, xcb_window_t root, ClientOrder order)
{
    QList<xcb_window_t> windows;
    const char* name = order == ClientOrder::Stacking ? "_NET_CLIENT_LIST_STACKING" : "_NET_CLIENT_LIST";
    const auto reply = property(c, root, atom(c, name), XCB_ATOM_WINDOW, 4096);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_WINDOW)
        return windows;
    const auto* data = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    windows.reserve(count);
    for (int i = 0; i < count; ++i)
        windows.append(data[i]);
    return windows;
}

quint8 rootDepth(xcb_connection_t* c)
{
    const xcb_screen_t* screen = screenOf(c, defaultScreenNumber());
    if (!screen)
        screen = screenOf(c, 0);
    return screen ? screen->root_depth : 0;
}

std::optional<quint32> idProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t prop)
{
    const auto reply = property(c, window, prop, XCB_GET_PROPERTY_TYPE_ANY, 1);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

std::optional<quint32> cardinalProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t prop)
{
    const auto reply = property(c, window, prop, XCB_ATOM_CARDINAL, 1);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_CARDINAL ||
        xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

QList<xcb_atom_t> atomListProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t prop)
{
    QList<xcb_atom_t> atoms;
    const auto reply = property(c, window, prop, XCB_ATOM_ATOM, 1024);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return atoms;
    const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i)
        atoms.append(data[i]);
    return atoms;
}

void requestWmState(xcb_connection_t* c, xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second)
{
    // Source indication 1: a normal application.
    const quint32 data[5] = {add ? 1u : 0u, first, second, 1u, 0u};
    sendToRoot(c, window, atom(c, "_NET_WM_STATE"), data);
}

void addWmStateProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t netWmState,
                        const QList<xcb_atom_t>& wanted)
{
    if (netWmState == XCB_ATOM_NONE)
        return;
    QList<xcb_atom_t> merged = atomListProperty(c, window, netWmState);
    for (const xcb_atom_t a : wanted) {
        if (a != XCB_ATOM_NONE && !merged.contains(a))
            merged.append(a);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<quint32>(merged.size()), merged.constData());
    xcb_flush(c);
}

void requestIconify(xcb_connection_t* c, xcb_window_t window)
{
    constexpr quint32 iconicState = 3;
    const quint32 data[5] = {iconicState, 0, 0, 0, 0};
    sendToRoot(c, window, atom(c, "WM_CHANGE_STATE"), data);
}

bool selectionOwned(xcb_connection_t* c, const QString& selectionName)
{
    const xcb_atom_t selection = atom(c, selectionName.toLatin1().constData());
    if (selection == XCB_ATOM_NONE)
        return false;
    const auto cookie = xcb_get_selection_owner(c, selection);
    const Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(c, cookie, nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

xcb_window_t outermostWindow(xcb_connection_t* c, xcb_window_t window)
{
    // Bounded: window managers nest a client one or two levels deep.
    for (int depth = 0; depth < 8; ++depth) {
        const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree || tree->parent == XCB_WINDOW_NONE || tree->parent == tree->root)
            break;
        window = tree->parent;
    }
    return window;
}

bool viewable(xcb_connection_t* c, xcb_window_t window)
{
    const auto cookie = xcb_get_window_attributes(c, window);
    const Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(c, cookie, nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

QString textProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t prop)
{
    const auto reply = property(c, window, prop, XCB_GET_PROPERTY_TYPE_ANY, 256);
    if (!reply || reply->format != 8)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

QString windowManagerName(xcb_connection_t* c)
{
    const auto [check, name] = atoms(c, {"_NET_SUPPORTING_WM_CHECK", "_NET_WM_NAME"});
    const std::optional<quint32> wm = idProperty(c, rootWindow(c), check);
    // A manager that went may leave its property behind: its window must name itself as well.
    if (!wm || !*wm || idProperty(c, *wm, check) != wm)
        return {};
    return textProperty(c, *wm, name);
}

bool isXWayland(xcb_connection_t* c)
{
    // XWayland has an extension of its name; older ones only name their outputs after it.
    static const char extension[] = "XWAYLAND";
    const Reply<xcb_query_extension_reply_t> reply(
        xcb_query_extension_reply(c, xcb_query_extension(c, sizeof extension - 1, extension), nullptr));
    if (reply && reply->present)
        return true;
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [](const QScreen* screen) {
        return screen->name().startsWith(QLatin1String("XWAYLAND"));
    });
}

void addEventMask(xcb_connection_t* c, xcb_window_t window, quint32 mask)
{
    const auto cookie = xcb_get_window_attributes(c, window);
    const Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(c, cookie, nullptr));
    if (!reply)
        return;
    if ((reply->your_event_mask & mask) == mask)
        return;
    const quint32 values[] = {reply->your_event_mask | mask};
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, values);
    xcb_flush(c);
}

void requestActivation(xcb_connection_t* c, xcb_window_t window, xcb_window_t activeNow)
{
    // Source 2: a pager or task bar asks, on the user's behalf, which window managers obey.
    sendToRoot(c, window, atom(c, "_NET_ACTIVE_WINDOW"), {2, XCB_CURRENT_TIME, activeNow, 0, 0});
}

} // namespace platform::x11
