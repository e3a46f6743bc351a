#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The program folder (the folder of the executable), the title and the version numbers.
class DOVI_PLATFORM_EXPORT AppInfo {
public:
    virtual ~AppInfo();
    virtual QString programFolder() const = 0;
    // Full path of the command that starts the program: the program file itself, or the start
    // command that started it in its stead.
    virtual QString programPath() const = 0;
    virtual QString title() const = 0;
    virtual Version version() const = 0;
};

} // namespace platform
