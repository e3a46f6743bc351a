#include "platform/linux/qtappinfo.h"

#include <QCoreApplication>

namespace platform {

QString QtAppInfo::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtAppInfo::programPath() const
{
    return QCoreApplication::applicationFilePath();
}

QString QtAppInfo::title() const
{
    return QStringLiteral(DOVI_TITLE);
}

Version QtAppInfo::version() const
{
    return {DOVI_VERSION_MAJOR, DOVI_VERSION_MINOR, DOVI_VERSION_REVISION};
}

} // namespace platform
