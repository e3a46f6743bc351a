#pragma once

#include "platform/export.h"

#include <QString>

#include <optional>

namespace platform {

// What the program may say of the system: its information tool, for the about box, and its own
// wording for the texts of the program's string table that describe a system.
class DOVI_PLATFORM_EXPORT SystemInfo {
public:
    virtual ~SystemInfo();
    // Full path of the tool, or an empty text when none is installed.
    virtual QString locateTool() const = 0;
    virtual bool startTool(const QString& path) = 0;
    // The text of string id (French on odd ids, English on even ones) as it is true on this system,
    // where the table's own text names another one (its version, its start-up); nothing otherwise.
    virtual std::optional<QString> ownText(int /*id*/) const { return std::nullopt; }
};

} // namespace platform
