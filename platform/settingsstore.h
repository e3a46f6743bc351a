#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

// Per-user values addressed by application, section and key; every value is text.
class DOVI_PLATFORM_EXPORT SettingsStore {
public:
    enum class State {
        Fine,
        Unreadable, // the stored settings are not in the store's format: they are left as they are
        ReadOnly,   // the settings cannot be written where they are kept
    };

    virtual ~SettingsStore();
    // Whether the application's settings can be read and written, and where they are kept (for
    // messages to the user).
    virtual State state(const QString& app) const = 0;
    virtual QString location(const QString& app) const = 0;
    virtual QString get(const QString& app, const QString& section, const QString& key,
                        const QString& fallback) const = 0;
    // False when the value could not be stored (folder or file not writable).
    virtual bool save(const QString& app, const QString& section, const QString& key,
                      const QString& value) = 0;
    virtual void removeKey(const QString& app, const QString& section, const QString& key) = 0;
    // Deletes every section and key of the application. Settings that cannot be read are not ours to
    // delete: they stay.
    virtual void removeApp(const QString& app) = 0;
};

} // namespace platform
