#include "platform/linux/xdgsysteminfo.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace platform {

XdgSystemInfo::XdgSystemInfo() : m_candidates(knownTools()) {}

XdgSystemInfo::XdgSystemInfo(QStringList candidates, QString searchPath)
    : m_candidates(std::move(candidates)), m_searchPath(std::move(searchPath))
{}

std::optional<QString> XdgSystemInfo::ownText(int id) const
{
    switch (id) {
    case 125:
        return QStringLiteral("Dovi a détecté qu'un compositeur dessine les fenêtres de ce bureau !");
    case 126:
        return QStringLiteral("Dovi has detected that a compositor draws the windows of this desktop!");
    case 131:
        return QStringLiteral("Dovi a détecté qu'aucun gestionnaire de composition ne fonctionne sur ce "
                              "bureau !");
    case 132:
        return QStringLiteral("Dovi has detected that no compositing manager is running on this desktop!");
    case 157:
        return QStringLiteral("Lancer Dovi automatiquement à chaque ouverture de session");
    case 158:
        return QStringLiteral("Launch Dovi automatically with the desktop session");
    default:
        return std::nullopt;
    }
}

QStringList XdgSystemInfo::knownTools()
{
    // Graphical tools that show the hardware and the system, most complete first.
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("cpu-x"),     QStringLiteral("i-nex"),    QStringLiteral("lshw-gtk")};
}

QString XdgSystemInfo::findFirst(const QStringList& candidates, const QString& searchPath)
{
    const QStringList folders = searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& name : candidates) {
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            continue;
        for (const QString& folder : folders) {
            // A relative PATH entry depends on the current folder: not a place to start tools from.
            if (!QDir::isAbsolutePath(folder))
                continue;
            const QFileInfo file(QDir(folder), name);
            if (file.isFile() && file.isExecutable())
                return file.absoluteFilePath();
        }
    }
    return {};
}

QString XdgSystemInfo::locateTool() const
{
    const QString path = m_searchPath.isEmpty() ? qEnvironmentVariable("PATH") : m_searchPath;
    return findFirst(m_candidates, path);
}

bool XdgSystemInfo::startTool(const QString& path)
{
    const QFileInfo tool(path);
    if (path.isEmpty() || !tool.isAbsolute() || !tool.isFile() || !tool.isExecutable())
        return false;
    QProcess process;
    process.setProgram(tool.absoluteFilePath());
    process.setWorkingDirectory(QDir::homePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace platform
