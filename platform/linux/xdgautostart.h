#pragma once

#include "platform/export.h"
#include "platform/autostart.h"

namespace platform {

// $XDG_CONFIG_HOME/autostart/<name>.desktop, which session managers start at log-in.
class DOVI_PLATFORM_EXPORT XdgAutostart final : public Autostart {
public:
    bool setEntry(const QString& name, const QString& programPath) override;
    bool removeEntry(const QString& name) override;

    // Where the entry of that name lives; empty for a name that cannot be a file name.
    static QString entryPath(const QString& name);
    // The file's text for the entry.
    static QByteArray entryText(const QString& name, const QString& programPath);
};

} // namespace platform
