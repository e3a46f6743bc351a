#pragma once

#include "platform/eventpump.h"

namespace platform {

class QtEventPump final : public EventPump {
public:
    void doEvents() override;
};

} // namespace platform
