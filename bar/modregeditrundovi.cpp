#include "bar/modregeditrundovi.h"

#include "platform/services.h"

#include <QDir>

namespace modRegEditRunDovi {

bool SetRegistryString(const QString& valueName, const QString& data, QString* error)
{
    if (platform::services().autostart->setEntry(valueName, data))
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(valueName, QDir::toNativeSeparators(data));
    return false;
}

bool DeleteRegistryValue(const QString& valueName, QString* error)
{
    if (platform::services().autostart->removeEntry(valueName))
        return true;
    if (error)
        *error = valueName;
    return false;
}

bool EnableAutoLaunch(QString* error)
{
    return SetRegistryString(QString::fromLatin1(EntryName), platform::services().app->programPath(), error);
}

bool DisableAutoLaunch(QString* error)
{
    return DeleteRegistryValue(QString::fromLatin1(EntryName), error);
}

} // namespace modRegEditRunDovi
