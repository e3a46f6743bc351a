#include "platform/linux/qtappinfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

QString QtAppInfo::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtAppInfo::programPath() const
{
    // Started through the package's start command, the bar runs a private copy of the program that
    // the command refreshes after an upgrade: the command is what starts it.
    const QString launcher = qEnvironmentVariable("DOVI_LAUNCHER");
    const QFileInfo command(launcher);
    if (!launcher.isEmpty() && command.isAbsolute() && command.isFile() && command.isExecutable())
        return launcher;
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
