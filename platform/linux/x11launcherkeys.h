#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>

#include <functional>
#include <xcb/xcb.h>

namespace platform {

// Super+1 to Super+9 on the whole X display, for as long as the context lives (it is the context's
// child): pressed(n) for Super+n. A key another client holds already stays with it.
class X11LauncherKeys final : public QObject, public QAbstractNativeEventFilter {
public:
    X11LauncherKeys(QObject* context, std::function<void(int)> pressed);
    ~X11LauncherKeys() override;
    X11LauncherKeys(const X11LauncherKeys&) = delete;
    X11LauncherKeys& operator=(const X11LauncherKeys&) = delete;

    // The numbers another client holds, which this one goes without.
    QList<int> taken() const { return m_taken; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Key {
        int number;
        xcb_keycode_t code;
    };
    // The key with each of the lock modifiers, which X counts as different keys.
    QList<quint16> withLocks(quint16 modifiers) const;

    std::function<void(int)> m_pressed;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    quint16 m_super = 0;
    quint16 m_numLock = 0;
    QList<Key> m_grabbed;
    QList<int> m_taken;
};

} // namespace platform
