#include "platform/linux/xdgautostart.h"

#include "platform/linux/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

QString XdgAutostart::entryPath(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return {};
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return {};
    return config + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop");
}

QByteArray XdgAutostart::entryText(const QString& name, const QString& programPath)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n");
    text += QStringLiteral("Name=") + desktopentry::escapeString(name) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + desktopentry::execValue({programPath}) + QLatin1Char('\n');
    return text.toUtf8();
}

bool XdgAutostart::setEntry(const QString& name, const QString& programPath)
{
    const QString path = entryPath(name);
    if (path.isEmpty() || programPath.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // Written beside and renamed over the old entry: a session starting meanwhile reads either.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = entryText(name, programPath);
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}

bool XdgAutostart::removeEntry(const QString& name)
{
    const QString path = entryPath(name);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(path);
}

} // namespace platform
