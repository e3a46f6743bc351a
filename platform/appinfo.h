#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The program's folders, the title and the version numbers.
class DOVI_PLATFORM_EXPORT AppInfo {
public:
    virtual ~AppInfo();
    // Where the bar keeps the files it writes (configuration, skins, run marker): the executable's
    // folder when the user may write there, else (and always in a system install) the user's own.
    virtual QString programFolder() const = 0;
    // The executable's folder, which holds its control libraries.
    virtual QString executableFolder() const = 0;
    // The folder of the files delivered with the program (skins, licence and information texts).
    virtual QString deliveredFolder() const = 0;
    // Full path of the command that starts the program: the program file itself, or the start
    // command that started it in its stead.
    virtual QString programPath() const = 0;
    virtual QString title() const = 0;
    virtual Version version() const = 0;
};

} // namespace platform
