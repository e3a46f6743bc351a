#pragma once

#include "platform/autostart.h"

namespace platform {

// $XDG_CONFIG_HOME/autostart/<name>.desktop
class XdgAutostart final : public Autostart {
public:
    bool setEntry(const QString& name, const QString& programPath) override;
    bool removeEntry(const QString& name) override;
};

} // namespace platform
