#pragma once

#include "platform/export.h"
#include "platform/shellopener.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QSet>

#include <chrono>

namespace platform {

// Gives a launched program's first new top-level window the asked show state (iconified or
// maximized). It listens for _NET_CLIENT_LIST changes on the root window, so nothing polls; a
// window belongs to the launch when its _NET_WM_PID is the started process or one of its
// descendants (an opener or a wrapper script that does not exec). A launch whose window does not
// come within the wait is given up quietly, like one handed to an already running instance.
class DOVI_PLATFORM_EXPORT X11LaunchWatcher final : public QObject, public QAbstractNativeEventFilter {
public:
    explicit X11LaunchWatcher(std::chrono::milliseconds wait = std::chrono::seconds(20));
    ~X11LaunchWatcher() override;
    X11LaunchWatcher(const X11LaunchWatcher&) = delete;
    X11LaunchWatcher& operator=(const X11LaunchWatcher&) = delete;

    // Does nothing for the normal state or when the program does not run on X11.
    void watch(qint64 pid, ShowState state);
    int pendingCount() const { return static_cast<int>(m_pending.size()); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Pending {
        quint64 id = 0;
        qint64 pid = 0;
        ShowState state = ShowState::Normal;
    };

    void clientListChanged();
    void giveUp(quint64 id);
    void updateFilter();

    std::chrono::milliseconds m_wait;
    QList<Pending> m_pending;
    // Windows that were listed before the pending launches started; they are never touched.
    QSet<quint32> m_known;
    quint64 m_nextId = 1;
    bool m_filterInstalled = false;
    quint32 m_clientListAtom = 0;
};

} // namespace platform
