#pragma once

#include "platform/export.h"

#include <QObject>

#include <functional>

namespace platform {

// Calls handler on the user-interface thread each time the system asks the program to end (the
// session or the machine shutting down, a kill, a terminal closed), so that it can close as when the
// user ends it. The watch lasts as long as context.
DOVI_PLATFORM_EXPORT void onEndRequest(QObject* context, std::function<void()> handler);

} // namespace platform
