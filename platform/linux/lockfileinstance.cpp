#include "platform/linux/lockfileinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

bool LockFileInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/Dovi.lock"));
    // A lock whose owner process is gone is stale at once.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

} // namespace platform
