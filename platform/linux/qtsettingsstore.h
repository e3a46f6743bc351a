#pragma once

#include "platform/settingsstore.h"

#include <QHash>

#include <map>
#include <memory>

class QSettings;

namespace platform {

// INI file per application: $XDG_CONFIG_HOME/<app>/<app>.ini, one INI section per settings section.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    State state(const QString& app) const override;
    QString location(const QString& app) const override;
    QString get(const QString& app, const QString& section, const QString& key,
                const QString& fallback) const override;
    bool save(const QString& app, const QString& section, const QString& key, const QString& value) override;
    void removeKey(const QString& app, const QString& section, const QString& key) override;
    void removeApp(const QString& app) override;

private:
    // What identifies one version of a file on disk: a file written again, replaced or given other
    // rights has another stamp.
    struct FileStamp {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const FileStamp& other) const;
    };
    static FileStamp stampOf(const QString& fileName);

    // One application's file as last read, kept while the file stays the same.
    struct Snapshot {
        FileStamp stamp;
        bool usable = false;
        std::unique_ptr<QSettings> settings;
    };
    const Snapshot& snapshotOf(const QString& app) const;
    void forget(const QString& app);

    mutable QHash<QString, QString> m_locations;
    mutable std::map<QString, Snapshot> m_snapshots;
};

} // namespace platform
