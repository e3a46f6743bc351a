#pragma once

#include "platform/export.h"

#include <QString>

namespace host {

// The per-user record of registered control libraries: ProgID -> library path.
class DOVI_PLATFORM_EXPORT ControlRegistry {
public:
    // The default is $XDG_CONFIG_HOME/Dovi/Controls.ini.
    ControlRegistry();
    explicit ControlRegistry(const QString& file) : m_file(file) {}

    bool registerControl(const QString& progId, const QString& libraryPath);
    bool unregisterControl(const QString& progId);
    // Empty when the ProgID is not registered.
    QString libraryFor(const QString& progId) const;

private:
    QString m_file;
};

} // namespace host
