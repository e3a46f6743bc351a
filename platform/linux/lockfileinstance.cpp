#include "platform/linux/lockfileinstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int openLockFile(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return -1;
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
    // Never through a link that someone else put in its place.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    // Nor a file of another user's making, in a shared folder: whoever holds it would keep the bar
    // from ever starting.
    struct stat file {};
    if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode) || file.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LockFileInstance::~LockFileInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LockFileInstance::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    int fd = openLockFile(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                          QStringLiteral("Dovi.lock"));
    // The temporary folder is shared by all users: each has a lock of their own there.
    if (fd < 0)
        fd = openLockFile(QDir::tempPath(), QStringLiteral("Dovi-%1.lock").arg(::getuid()));
    // Someone else took that name: the user's own cache folder is private.
    if (fd < 0)
        fd = openLockFile(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation),
                          QStringLiteral("Dovi.lock"));
    // Without a place for the lock, one instance cannot be made sure of; a bar that does not come up
    // at all would be worse than a second one.
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

} // namespace platform
