#include "platform/linux/x11eventwatch.h"

#include <QCoreApplication>

namespace platform {

X11EventWatch::X11EventWatch(QObject* context, std::function<bool(const xcb_generic_event_t&)> matches,
                             int settleMs, std::function<void()> changed)
    : QObject(context), m_matches(std::move(matches)), m_changed(std::move(changed))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] { m_changed(); });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11EventWatch::~X11EventWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11EventWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType == QByteArrayLiteral("xcb_generic_event_t") &&
        m_matches(*static_cast<const xcb_generic_event_t*>(message)))
        m_settle.start();
    // Qt and the other watchers see the event too.
    return false;
}

} // namespace platform
