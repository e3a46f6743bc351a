#pragma once

#include "platform/settingsstore.h"

namespace platform {

// INI file per application: $XDG_CONFIG_HOME/<app>/<app>.ini, one INI section per settings section.
class QtSettingsStore final : public SettingsStore {
public:
    State state(const QString& app) const override;
    QString location(const QString& app) const override;
    QString get(const QString& app, const QString& section, const QString& key,
                const QString& fallback) const override;
    bool save(const QString& app, const QString& section, const QString& key, const QString& value) override;
    void removeKey(const QString& app, const QString& section, const QString& key) override;
    void removeApp(const QString& app) override;
};

} // namespace platform
