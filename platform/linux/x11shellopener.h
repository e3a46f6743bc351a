#pragma once

#include "platform/shellopener.h"

namespace platform {

// Executables are started directly with no arguments; everything else goes to the desktop's opener.
class X11ShellOpener final : public ShellOpener {
public:
    bool open(const ShellRequest& request) override;
    QString systemDriveRoot() const override;
};

} // namespace platform
