#include "platform/host/controlregistry.h"

#include <QSettings>
#include <QStandardPaths>

namespace host {

namespace {
QString keyFor(const QString& progId)
{
    // ProgIDs hold dots, never slashes; keep them whole under one group.
    return QStringLiteral("Controls/") + progId;
}
} // namespace

ControlRegistry::ControlRegistry()
    : m_file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QStringLiteral("/Dovi/Controls.ini"))
{}

bool ControlRegistry::registerControl(const QString& progId, const QString& libraryPath)
{
    QSettings s(m_file, QSettings::IniFormat);
    s.setValue(keyFor(progId), libraryPath);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool ControlRegistry::unregisterControl(const QString& progId)
{
    QSettings s(m_file, QSettings::IniFormat);
    s.remove(keyFor(progId));
    s.sync();
    return s.status() == QSettings::NoError;
}

QString ControlRegistry::libraryFor(const QString& progId) const
{
    const QSettings s(m_file, QSettings::IniFormat);
    return s.value(keyFor(progId)).toString();
}

} // namespace host
