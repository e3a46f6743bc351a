#include "platform/linux/x11shellopener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

bool X11ShellOpener::open(const ShellRequest& request)
{
    const QFileInfo info(request.target);
    if (info.isFile() && info.isExecutable()) {
        QProcess process;
        process.setProgram(info.absoluteFilePath());
        process.setWorkingDirectory(request.folder);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        qint64 pid = 0;
        return process.startDetached(&pid);
    }
    const QUrl url = info.exists() ? QUrl::fromLocalFile(info.absoluteFilePath()) : QUrl(request.target);
    return QDesktopServices::openUrl(url);
}

QString X11ShellOpener::systemDriveRoot() const
{
    return QStringLiteral("/");
}

} // namespace platform
