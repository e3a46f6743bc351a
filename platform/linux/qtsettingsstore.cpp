#include "platform/linux/qtsettingsstore.h"

#include <QFile>
#include <QSettings>

namespace platform {

namespace {
QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString QtSettingsStore::get(const QString& app, const QString& section, const QString& key,
                             const QString& fallback) const
{
    const QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    if (s.status() != QSettings::NoError)
        return fallback;
    return s.value(keyPath(section, key), fallback).toString();
}

bool QtSettingsStore::save(const QString& app, const QString& section, const QString& key, const QString& value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    if (s.status() != QSettings::NoError || !s.isWritable())
        return false;
    s.setValue(keyPath(section, key), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

void QtSettingsStore::removeKey(const QString& app, const QString& section, const QString& key)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    s.remove(keyPath(section, key));
    s.sync();
}

void QtSettingsStore::removeApp(const QString& app)
{
    QString file;
    {
        const QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
        file = s.fileName();
    }
    // clear() would leave an empty file behind: the whole application entry goes with its file.
    QFile::remove(file);
}

} // namespace platform
