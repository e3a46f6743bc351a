#include "platform/endrequest.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// Written to by the signal handler, read on the user-interface thread: the handler may do nothing
// else safely.
std::array<int, 2> g_pipe = {-1, -1};

constexpr std::array<int, 3> EndSignals = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t g_requested = 0;

extern "C" void noteEndRequest(int)
{
    g_requested = 1;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

bool openPipe()
{
    if (g_pipe[0] >= 0)
        return true;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    g_pipe = {fds[0], fds[1]};
    return true;
}

} // namespace

bool endRequested()
{
    return g_requested != 0;
}

void onEndRequest(QObject* context, std::function<void()> handler)
{
    if (!context || !openPipe())
        return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler = std::move(handler)] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        handler();
    });
    struct sigaction action {};
    action.sa_handler = noteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace platform
