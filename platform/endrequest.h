#pragma once

#include "platform/export.h"

#include <QObject>

#include <functional>

namespace platform {

// Calls handler on the user-interface thread each time the system asks the program to end (the
// session or the machine shutting down, a kill, a terminal closed), so that it can close as when the
// user ends it. The watch lasts as long as context.
DOVI_PLATFORM_EXPORT void onEndRequest(QObject* context, std::function<void()> handler);

// True once the system has asked the program to end while a watch was in place: code that runs
// before the handler can (a dialog's exec returning) stops instead of going on with the start.
DOVI_PLATFORM_EXPORT bool endRequested();

} // namespace platform
