#pragma once

#include "platform/export.h"
#include "platform/linux/desktopentry.h"
#include "platform/linux/detachedspawner.h"
#include "platform/linux/x11launchwatcher.h"
#include "platform/shellopener.h"

#include <QStringList>

namespace platform {

// Programs are started directly with an argument list, never through a command interpreter, and so
// is the program of an application's desktop entry (.desktop file), in the user's terminal emulator
// when the entry runs in a terminal; other documents, folders and addresses go to the desktop's opener
// (xdg-open). The show state is given to the started program's first window on X11.
class DOVI_PLATFORM_EXPORT X11ShellOpener final : public ShellOpener {
public:
    X11ShellOpener();
    // searchPaths: where bare program names are looked up (PATH when empty); opener: the program
    // that opens documents, folders and addresses (xdg-open from PATH when empty).
    X11ShellOpener(QStringList searchPaths, QString opener);

    bool open(const ShellRequest& request) override;
    QString systemDriveRoot() const override;
    QString failureDetail(int lang) const override;

    // The command that runs arguments in the user's terminal emulator: xdg-terminal-exec where it is
    // in searchPaths (PATH when empty), else x-terminal-emulator -e. Empty when neither is there.
    static QStringList terminalCommand(const QStringList& arguments, const QStringList& searchPaths);

private:
    bool startDetached(const QString& program, const QStringList& arguments, const QString& folder,
                       ShowState show);
    bool startEntry(const desktopentry::Command& command, const QString& folder, ShowState show);

    QStringList m_searchPaths;
    QString m_opener;
    DetachedSpawner m_spawner;
    X11LaunchWatcher m_watcher;
    // The last open failed for want of a terminal emulator.
    bool m_noTerminal = false;
};

} // namespace platform
