#include "platform/linux/qtappinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

// A system install keeps the program in lib/dovi and what it delivers in share/dovi, read-only for
// everybody, root included: that path, relative to the executable's folder, is built in. Elsewhere
// the delivered files lie beside the program.
#ifdef DOVI_DELIVERED_FOLDER
constexpr const char* DeliveredRelative = DOVI_DELIVERED_FOLDER;
#else
constexpr const char* DeliveredRelative = "";
#endif

} // namespace

// Started through the package's start command, the bar registers the command to start with the
// session, not the program it runs. It is this process's alone: a program the bar starts, another
// Dovi among them, must not take the command for its own.
QtAppInfo::QtAppInfo() : m_launcher(qEnvironmentVariable("DOVI_LAUNCHER"))
{
    qunsetenv("DOVI_LAUNCHER");
}

QString QtAppInfo::programFolder() const
{
    if (!m_programFolder.isEmpty())
        return m_programFolder;
    const QString own = executableFolder();
    // A folder that already had its first run keeps running from there, written to or not.
    if (*DeliveredRelative == '\0' &&
        (QFileInfo(own).isWritable() || QFileInfo::exists(own + QStringLiteral("/Dovi_Run.txt")))) {
        m_programFolder = own;
    } else {
        m_programFolder = userFolder();
        // A folder that cannot be made is still named: the bar tells the user it cannot write there.
        prepareUserFolder(m_programFolder, deliveredFolder());
    }
    return m_programFolder;
}

QString QtAppInfo::executableFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtAppInfo::deliveredFolder() const
{
    if (*DeliveredRelative == '\0')
        return executableFolder();
    return QDir::cleanPath(executableFolder() + QLatin1Char('/') + QLatin1String(DeliveredRelative));
}

QString QtAppInfo::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Dovi");
}

bool QtAppInfo::prepareUserFolder(const QString& folder, const QString& delivered)
{
    QDir user(folder);
    if (!user.mkpath(QStringLiteral(".")))
        return false;
    // The bar moves the delivered skins into Boutons/ at its first run: they must be there before.
    if (user.exists(QStringLiteral("Boutons")))
        return true;
    const QDir from(delivered);
    const QStringList skins = from.entryList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Readable);
    for (const QString& name : skins) {
        if (user.exists(name))
            continue;
        // QFile::copy writes a temporary file and renames it: a copy cut short leaves no half skin.
        const QString target = user.filePath(name);
        if (QFile::copy(from.filePath(name), target))
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    return true;
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
