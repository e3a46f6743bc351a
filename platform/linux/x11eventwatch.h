#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <functional>
#include <xcb/xcb.h>

namespace platform {

// Watches the application's X events while its context lives (it is the context's child): once
// events that matches picks have come and then none for a settling time, calls changed once.
class X11EventWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    X11EventWatch(QObject* context, std::function<bool(const xcb_generic_event_t&)> matches, int settleMs,
                  std::function<void()> changed);
    ~X11EventWatch() override;
    X11EventWatch(const X11EventWatch&) = delete;
    X11EventWatch& operator=(const X11EventWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<bool(const xcb_generic_event_t&)> m_matches;
    std::function<void()> m_changed;
    QTimer m_settle;
};

} // namespace platform
