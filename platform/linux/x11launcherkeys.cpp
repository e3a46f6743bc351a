#include "platform/linux/x11launcherkeys.h"

#include "platform/linux/x11util.h"

#include <QCoreApplication>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

constexpr xcb_keysym_t SuperL = 0xffeb;
constexpr xcb_keysym_t SuperR = 0xffec;
constexpr xcb_keysym_t NumLock = 0xff7f;
constexpr xcb_keysym_t Digit1 = 0x31;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

struct KeyMap {
    xcb_keycode_t first = 0;
    int perCode = 0;
    QList<xcb_keysym_t> syms;

    // The first key whose unshifted symbol is sym; 0 when the keyboard has none.
    xcb_keycode_t codeOf(xcb_keysym_t sym) const
    {
        for (int i = 0; perCode > 0 && i * perCode < syms.size(); ++i) {
            if (syms.at(i * perCode) == sym)
                return static_cast<xcb_keycode_t>(first + i);
        }
        return 0;
    }
};

KeyMap keyMap(xcb_connection_t* c)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    KeyMap map;
    map.first = setup->min_keycode;
    const auto count = static_cast<quint8>(setup->max_keycode - setup->min_keycode + 1);
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, FreeDeleter> reply(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, map.first, count), nullptr));
    if (!reply)
        return map;
    map.perCode = reply->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    map.syms.reserve(length);
    for (int i = 0; i < length; ++i)
        map.syms.append(syms[i]);
    return map;
}

// The modifier bit (Mod1 to Mod5, Lock...) that one of the keys sets; 0 when none does.
quint16 modifierOf(xcb_connection_t* c, const QList<xcb_keycode_t>& codes)
{
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeDeleter> reply(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!reply)
        return 0;
    const xcb_keycode_t* mapped = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = mapped[modifier * perModifier + i];
            if (code != 0 && codes.contains(code))
                return static_cast<quint16>(1U << modifier);
        }
    }
    return 0;
}

} // namespace

X11LauncherKeys::X11LauncherKeys(QObject* context, std::function<void(int)> pressed)
    : QObject(context), m_pressed(std::move(pressed)), m_connection(x11::connection())
{
    xcb_connection_t* c = m_connection;
    if (!c || xcb_connection_has_error(c))
        return;
    m_root = x11::rootWindow(c);
    const KeyMap map = keyMap(c);
    m_super = modifierOf(c, {map.codeOf(SuperL), map.codeOf(SuperR)});
    m_numLock = modifierOf(c, {map.codeOf(NumLock)});
    if (!m_root || !m_super)
        return;
    for (int number = 1; number <= 9; ++number) {
        const xcb_keycode_t code = map.codeOf(Digit1 + static_cast<xcb_keysym_t>(number - 1));
        if (!code)
            continue;
        const QList<quint16> states = withLocks(m_super);
        QList<xcb_void_cookie_t> cookies;
        for (const quint16 state : states)
            cookies.append(
                xcb_grab_key_checked(c, 1, m_root, state, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool free = true;
        for (const xcb_void_cookie_t cookie : cookies) {
            // BadAccess: another client has the key.
            if (std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(c, cookie)); error)
                free = false;
        }
        if (free) {
            m_grabbed.append({number, code});
        } else {
            for (const quint16 state : states)
                xcb_ungrab_key(c, code, m_root, state);
            m_taken.append(number);
        }
    }
    xcb_flush(c);
    if (!m_grabbed.isEmpty())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11LauncherKeys::~X11LauncherKeys()
{
    if (m_grabbed.isEmpty())
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (xcb_connection_has_error(m_connection))
        return;
    for (const Key& key : m_grabbed) {
        for (const quint16 state : withLocks(m_super))
            xcb_ungrab_key(m_connection, key.code, m_root, state);
    }
    xcb_flush(m_connection);
}

QList<quint16> X11LauncherKeys::withLocks(quint16 modifiers) const
{
    QList<quint16> states{modifiers, static_cast<quint16>(modifiers | XCB_MOD_MASK_LOCK)};
    if (m_numLock) {
        states.append(static_cast<quint16>(modifiers | m_numLock));
        states.append(static_cast<quint16>(modifiers | m_numLock | XCB_MOD_MASK_LOCK));
    }
    return states;
}

bool X11LauncherKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != QByteArrayLiteral("xcb_generic_event_t"))
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const auto locks = static_cast<quint16>(XCB_MOD_MASK_LOCK | m_numLock);
    if (key->event != m_root || (key->state & ~locks) != m_super)
        return false;
    for (const Key& grabbed : m_grabbed) {
        if (grabbed.code == key->detail) {
            // What it starts may open a message, whose event loop is not to run inside this filter.
            const int number = grabbed.number;
            QMetaObject::invokeMethod(
                this, [this, number] { m_pressed(number); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

} // namespace platform
