#pragma once

#include "platform/instancelock.h"

namespace platform {

// An exclusive lock on a file in the user's runtime folder. The system lets go of it when its
// holder ends in any way, so the lock of a killed instance never blocks the next start.
class LockFileInstance final : public InstanceLock {
public:
    LockFileInstance() = default;
    LockFileInstance(const LockFileInstance&) = delete;
    LockFileInstance& operator=(const LockFileInstance&) = delete;
    ~LockFileInstance() override;

    bool tryAcquire() override;

private:
    int m_fd = -1;
};

} // namespace platform
