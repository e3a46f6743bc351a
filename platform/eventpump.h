#pragma once

#include "platform/export.h"

namespace platform {

// Lets queued window events run in the middle of a handler.
class DOVI_PLATFORM_EXPORT EventPump {
public:
    virtual ~EventPump();
    virtual void doEvents() = 0;
};

} // namespace platform
