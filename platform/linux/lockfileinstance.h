#pragma once

#include "platform/instancelock.h"

#include <QLockFile>

#include <memory>

namespace platform {

// A lock file in the user's runtime folder; a stale lock of a killed instance is taken over.
class LockFileInstance final : public InstanceLock {
public:
    bool tryAcquire() override;

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace platform
