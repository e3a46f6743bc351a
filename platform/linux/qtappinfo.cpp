#include "platform/linux/qtappinfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

// Started through the package's start command, the bar runs a private copy of the program that the
// command refreshes after an upgrade: the command is what starts it. It is this process's alone: a
// program the bar starts, another Dovi among them, must not take the command for its own.
QtAppInfo::QtAppInfo() : m_launcher(qEnvironmentVariable("DOVI_LAUNCHER"))
{
    qunsetenv("DOVI_LAUNCHER");
}

QString QtAppInfo::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtAppInfo::programPath() const
{
    const QFileInfo command(m_launcher);
    if (!m_launcher.isEmpty() && command.isAbsolute() && command.isFile() && command.isExecutable())
        return m_launcher;
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
