#include "platform/linux/detachedspawner.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

int openProcessFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { ::close(m_fd); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

// A started program until it ends: its process file descriptor becomes readable then, and its exit
// status is taken back.
class DetachedSpawner::Child final : public QObject {
public:
    Child(pid_t pid, int processFd, DetachedSpawner* spawner)
        : QObject(spawner), m_pid(pid), m_fd(processFd), m_notifier(processFd, QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Child::ended);
    }

    bool running() const { return m_notifier.isEnabled(); }

private:
    void ended()
    {
        m_notifier.setEnabled(false);
        ::waitpid(m_pid, nullptr, WNOHANG);
        deleteLater();
    }

    pid_t m_pid;
    // Closed after the notifier on it is gone.
    FileDescriptor m_fd;
    QSocketNotifier m_notifier;
};

DetachedSpawner::DetachedSpawner() = default;

DetachedSpawner::~DetachedSpawner() = default;

int DetachedSpawner::runningCount() const
{
    int count = 0;
    for (const QObject* child : children()) {
        if (const auto* started = dynamic_cast<const Child*>(child); started && started->running())
            ++count;
    }
    return count;
}

bool DetachedSpawner::canWatchProcesses()
{
    if (!m_processFds) {
        const int fd = openProcessFd(::getpid());
        m_processFds = fd >= 0;
        if (fd >= 0)
            ::close(fd);
    }
    return *m_processFds;
}

std::optional<qint64> DetachedSpawner::start(const QString& program, const QStringList& arguments,
                                             const QString& folder)
{
    if (canWatchProcesses())
        return spawn(program, arguments, folder);

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return std::nullopt;
    return pid;
}

std::optional<qint64> DetachedSpawner::spawn(const QString& program, const QStringList& arguments,
                                             const QString& folder)
{
    const QByteArray path = QFile::encodeName(program);
    const QByteArray directory = QFile::encodeName(folder);
    std::vector<QByteArray> words;
    words.reserve(static_cast<std::size_t>(arguments.size()) + 1);
    words.push_back(path);
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return std::nullopt;
    const auto destroyActions = qScopeGuard([&actions] { posix_spawn_file_actions_destroy(&actions); });
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return std::nullopt;
    const auto destroyAttributes = qScopeGuard([&attributes] { posix_spawnattr_destroy(&attributes); });

    // The bar's own output is not the program's, and a program that outlives a closed terminal
    // must not be ended with it.
    bool ready = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
                 posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
                 posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
    if (ready && !directory.isEmpty())
        ready = posix_spawn_file_actions_addchdir_np(&actions, directory.constData()) == 0;
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigset_t mask;
    sigemptyset(&mask);
    ready = ready && posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
            posix_spawnattr_setsigmask(&attributes, &mask) == 0 &&
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                                      POSIX_SPAWN_SETSIGMASK) == 0;
    if (!ready)
        return std::nullopt;

    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), environ) != 0)
        return std::nullopt;

    const int processFd = openProcessFd(pid);
    if (processFd >= 0) {
        new Child(pid, processFd, this);
    } else {
        // Out of descriptors: a thread waits for it instead.
        std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    }
    return pid;
}

} // namespace platform
