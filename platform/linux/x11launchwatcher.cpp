#include "platform/linux/x11launchwatcher.h"

#include "platform/linux/x11util.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace platform {

namespace {

// The parent of a process from /proc, 0 when it cannot be read.
qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // "pid (comm) state ppid ...": comm may hold blanks and parentheses, so read after the last ')'.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(close + 1).simplified().split(' ');
    return fields.size() >= 2 ? fields.at(1).toLongLong() : 0;
}

bool isSelfOrDescendant(qint64 pid, qint64 ancestor)
{
    // Bounded walk: a process tree deeper than this is not a launch of ours.
    for (int depth = 0; depth < 32 && pid > 1; ++depth) {
        if (pid == ancestor)
            return true;
        pid = parentOf(pid);
    }
    return false;
}

} // namespace

X11LaunchWatcher::X11LaunchWatcher(std::chrono::milliseconds wait) : m_wait(wait) {}

X11LaunchWatcher::~X11LaunchWatcher()
{
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11LaunchWatcher::watch(qint64 pid, ShowState state)
{
    if (state == ShowState::Normal || pid <= 0)
        return;
    xcb_connection_t* c = x11::connection();
    if (!c)
        return;
    const xcb_window_t root = x11::rootWindow(c);
    if (!root)
        return;
    if (m_pending.isEmpty()) {
        m_known.clear();
        for (const xcb_window_t w : x11::clientList(c, root))
            m_known.insert(w);
    }
    if (!m_clientListAtom)
        m_clientListAtom = x11::atom(c, "_NET_CLIENT_LIST");
    x11::addEventMask(c, root, XCB_EVENT_MASK_PROPERTY_CHANGE);

    const quint64 id = m_nextId++;
    m_pending.append({id, pid, state});
    QTimer::singleShot(m_wait, this, [this, id] { giveUp(id); });
    updateFilter();
}

bool X11LaunchWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    Q_UNUSED(result);
    if (m_pending.isEmpty() || eventType != QByteArrayLiteral("xcb_generic_event_t"))
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
    if (notify->atom == m_clientListAtom) {
        // Qt reads the same event; leave it to Qt too, and act once the event is delivered.
        QMetaObject::invokeMethod(
            this, [this] { clientListChanged(); }, Qt::QueuedConnection);
    }
    return false;
}

void X11LaunchWatcher::clientListChanged()
{
    xcb_connection_t* c = x11::connection();
    if (!c || m_pending.isEmpty())
        return;
    const xcb_window_t root = x11::rootWindow(c);
    const xcb_atom_t pidAtom = x11::atom(c, "_NET_WM_PID");
    const auto apply = [this, c](xcb_window_t window, qsizetype launch) {
        if (m_pending.at(launch).state == ShowState::Minimized) {
            x11::requestIconify(c, window);
        } else {
            x11::requestWmState(c, window, true, x11::atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"),
                                x11::atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"));
        }
        m_pending.removeAt(launch);
    };
    for (const xcb_window_t window : x11::clientList(c, root)) {
        if (m_known.contains(window) || m_pending.isEmpty())
            continue;
        m_known.insert(window);
        const std::optional<quint32> windowPid = x11::cardinalProperty(c, window, pidAtom);
        if (!windowPid) {
            // Older X programs do not say which process they are. While one launch is waiting, a
            // new window that does not say is taken to be its window.
            if (m_pending.size() == 1)
                apply(window, 0);
            continue;
        }
        for (qsizetype i = 0; i < m_pending.size(); ++i) {
            if (isSelfOrDescendant(*windowPid, m_pending.at(i).pid)) {
                apply(window, i);
                break;
            }
        }
    }
    updateFilter();
}

void X11LaunchWatcher::giveUp(quint64 id)
{
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (m_pending.at(i).id == id) {
            m_pending.removeAt(i);
            break;
        }
    }
    updateFilter();
}

void X11LaunchWatcher::updateFilter()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    const bool wanted = !m_pending.isEmpty();
    if (wanted && !m_filterInstalled)
        app->installNativeEventFilter(this);
    else if (!wanted && m_filterInstalled)
        app->removeNativeEventFilter(this);
    m_filterInstalled = wanted;
}

} // namespace platform
