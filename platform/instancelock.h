#pragma once

#include "platform/export.h"

namespace platform {

// One running instance per user: the first start wins, a lock left by a crashed instance does not block.
class DOVI_PLATFORM_EXPORT InstanceLock {
public:
    virtual ~InstanceLock();
    // True when this process is now the one instance; the lock is held until the object goes away.
    virtual bool tryAcquire() = 0;
};

} // namespace platform
