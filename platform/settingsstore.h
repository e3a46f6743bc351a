#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

// Per-user values addressed by application, section and key; every value is text.
class DOVI_PLATFORM_EXPORT SettingsStore {
public:
    virtual ~SettingsStore();
    virtual QString get(const QString& app, const QString& section, const QString& key,
                        const QString& fallback) const = 0;
    // False when the value could not be stored (folder or file not writable).
    virtual bool save(const QString& app, const QString& section, const QString& key, const QString& value) = 0;
    virtual void removeKey(const QString& app, const QString& section, const QString& key) = 0;
    // Deletes every section and key of the application.
    virtual void removeApp(const QString& app) = 0;
};

} // namespace platform
