#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

// The start-with-the-session entry: one named entry whose data is the program's full path.
class DOVI_PLATFORM_EXPORT Autostart {
public:
    virtual ~Autostart();
    // False when the entry could not be written.
    virtual bool setEntry(const QString& name, const QString& programPath) = 0;
    // Removing an entry that does not exist succeeds; false only when an existing one could not go.
    virtual bool removeEntry(const QString& name) = 0;
};

} // namespace platform
