#include "platform/linux/x11shellopener.h"

#include "platform/linux/desktopentry.h"
#include "platform/linux/shelltarget.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

constexpr qint64 MaxEntryBytes = 256 * 1024;

// The command of a file that is an application's desktop entry.
std::optional<desktopentry::Command> entryCommand(const QString& path)
{
    if (!path.endsWith(QLatin1String(".desktop")) || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return desktopentry::applicationCommand(QString::fromUtf8(file.read(MaxEntryBytes)));
}

} // namespace

X11ShellOpener::X11ShellOpener() = default;

X11ShellOpener::X11ShellOpener(QStringList searchPaths, QString opener)
    : m_searchPaths(std::move(searchPaths)), m_opener(std::move(opener))
{}

QStringList X11ShellOpener::terminalCommand(const QStringList& arguments, const QStringList& searchPaths)
{
    // The freedesktop.org choice of the user's terminal first, then the system's default one.
    const QString preferred =
        QStandardPaths::findExecutable(QStringLiteral("xdg-terminal-exec"), searchPaths);
    if (!preferred.isEmpty())
        return QStringList{preferred} + arguments;
    const QString fallback =
        QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"), searchPaths);
    if (!fallback.isEmpty())
        return QStringList{fallback, QStringLiteral("-e")} + arguments;
    return {};
}

bool X11ShellOpener::open(const ShellRequest& request)
{
    m_noTerminal = false;
    if (!request.verb.isEmpty() && request.verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    const QString folder = request.folder.isEmpty() ? systemDriveRoot() : request.folder;
    const shelltarget::Resolved target = shelltarget::resolve(request.target, folder, m_searchPaths);

    switch (target.kind) {
    case shelltarget::Kind::Missing:
        return false;
    case shelltarget::Kind::Program:
        // Parameters are split like a command line but never handed to a shell.
        return startDetached(target.location, QProcess::splitCommand(request.parameters), folder,
                             request.show);
    case shelltarget::Kind::Document:
        // An application's desktop entry stands for its program, as a shortcut does: the opener
        // would show the entry's text instead of starting it.
        if (const std::optional<desktopentry::Command> command = entryCommand(target.location))
            return startEntry(*command, folder, request.show);
        break;
    case shelltarget::Kind::Folder:
    case shelltarget::Kind::Url:
        break;
    }

    // Local paths are absolute here, so the opener never reads one as an option.
    const QString opener =
        m_opener.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : m_opener;
    if (!opener.isEmpty())
        return startDetached(opener, {target.location}, folder, request.show);
    const QUrl url = target.kind == shelltarget::Kind::Url ? QUrl(target.location, QUrl::StrictMode)
                                                           : QUrl::fromLocalFile(target.location);
    return QDesktopServices::openUrl(url);
}

QString X11ShellOpener::systemDriveRoot() const
{
    return QStringLiteral("/");
}

QString X11ShellOpener::failureDetail(int lang) const
{
    if (!m_noTerminal)
        return {};
    return lang == 0
               ? QStringLiteral("Ce programme s'ouvre dans un terminal, et aucun émulateur de terminal "
                                "n'est installé : ni xdg-terminal-exec ni x-terminal-emulator n'a été "
                                "trouvé.")
               : QStringLiteral("This program runs in a terminal, and no terminal emulator is "
                                "installed: neither xdg-terminal-exec nor x-terminal-emulator was found.");
}

bool X11ShellOpener::startEntry(const desktopentry::Command& command, const QString& folder, ShowState show)
{
    const shelltarget::Resolved program =
        shelltarget::resolve(command.arguments.constFirst(), folder, m_searchPaths);
    if (program.kind != shelltarget::Kind::Program)
        return false;
    const QString workingFolder = command.folder.isEmpty() ? folder : command.folder;
    const QStringList arguments = QStringList{program.location} + command.arguments.mid(1);
    if (!command.terminal)
        return startDetached(arguments.constFirst(), arguments.mid(1), workingFolder, show);
    // The opener would show the entry's text: the program gets a terminal of its own instead.
    const QStringList terminal = terminalCommand(arguments, m_searchPaths);
    if (terminal.isEmpty()) {
        m_noTerminal = true;
        return false;
    }
    return startDetached(terminal.constFirst(), terminal.mid(1), workingFolder, show);
}

bool X11ShellOpener::startDetached(const QString& program, const QStringList& arguments,
                                   const QString& folder, ShowState show)
{
    const std::optional<qint64> pid = m_spawner.start(program, arguments, folder);
    if (!pid)
        return false;
    m_watcher.watch(*pid, show);
    return true;
}

} // namespace platform
