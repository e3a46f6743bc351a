#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

// The system's information tool, for the about box.
class DOVI_PLATFORM_EXPORT SystemInfo {
public:
    virtual ~SystemInfo();
    // Full path of the tool, or an empty text when none is installed.
    virtual QString locateTool() const = 0;
    virtual bool startTool(const QString& path) = 0;
};

} // namespace platform
