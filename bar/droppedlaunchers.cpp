#include "bar/droppedlaunchers.h"

#include "bar/frmmain.h"
#include "bar/frmmenu.h"
#include "bar/moddeclarepublic.h"
#include "platform/services.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <utility>

using namespace modDeclarePublic;

namespace droppedlaunchers {

namespace {

const QString CrLf = QStringLiteral("\r\n");
// A path the configuration can hold: one with a ";" or a line break is written as its file address,
// which names the same file.
QString storable(const QString& path)
{
    const bool plain = std::none_of(path.cbegin(), path.cend(), [](QChar ch) {
        return ch == QLatin1Char(';') || ch.unicode() < 0x20 || ch.unicode() == 0x7f;
    });
    if (plain)
        return path;
    return QUrl::fromLocalFile(path)
        .toString(QUrl::FullyEncoded)
        .replace(QLatin1Char(';'), QLatin1String("%3B"));
}

bool insideAny(const QString& canonicalPath, const QStringList& folders)
{
    if (canonicalPath.isEmpty())
        return false;
    return std::any_of(folders.cbegin(), folders.cend(), [&](const QString& folder) {
        const QString real = QFileInfo(folder).canonicalFilePath();
        return !real.isEmpty() && canonicalPath.startsWith(real + QLatin1Char('/'));
    });
}

void tell(frmMain& bar, const QString& text, platform::MsgIcon icon)
{
    platform::services().messages->show(&bar, text, frmMain::versionTitle(), icon);
}

// Reads the file, changes its buttons, writes it through the preferences' writer and lays the bar
// out again. change returns false when there is nothing to save.
void save(frmMain& bar, const std::function<bool(QList<configfile::ButtonEntry>&)>& change)
{
    const int lang = CurrentLang;
    const auto notSaved = [&](const QString& reason) {
        tell(bar,
             (lang == 0 ? QStringLiteral("La configuration n'a pas pu être enregistrée, la barre reste telle "
                                         "qu'elle était :")
                        : QStringLiteral("The configuration could not be saved, the bar stays as it was:")) +
                 CrLf + reason,
             platform::MsgIcon::Critical);
    };
    const configfile::ReadResult read = configfile::read(frmMain::configPath());
    if (!read.ok()) {
        notSaved(read.error.message(lang));
        return;
    }
    configfile::Config config = *read.config;
    if (!change(config.entries))
        return;
    QString why;
    if (!configfile::write(platform::services().app->programFolder(), configfile::format(config), &why)) {
        notSaved(why);
        return;
    }
    bar.Reload();
}

} // namespace

int dropSlot(const QString& align, const QList<QRectF>& buttons, const QPointF& at)
{
    const bool row = align == QLatin1String("HORIZONTAL");
    if (!row && align != QLatin1String("VERTICAL"))
        return static_cast<int>(buttons.size());
    // The buttons follow one another along the bar: a drop before a button's middle goes before it.
    for (int i = 0; i < buttons.size(); ++i) {
        const QPointF middle = buttons.at(i).center();
        if (row ? at.x() < middle.x() : at.y() < middle.y())
            return i;
    }
    return static_cast<int>(buttons.size());
}

QString titleText(const QString& text)
{
    QString title = text;
    for (QChar& ch : title) {
        if (ch == QLatin1Char(';'))
            ch = QLatin1Char(',');
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || ch.isSpace())
            ch = QLatin1Char(' ');
    }
    return title.simplified();
}

QStringList applicationFolders(const QString& dataHome, const QString& dataDirs, const QString& home)
{
    const QString applications = QStringLiteral("/applications");
    QStringList folders;
    if (QDir::isAbsolutePath(dataHome))
        folders << QDir::cleanPath(dataHome + applications);
    else if (QDir::isAbsolutePath(home))
        folders << QDir::cleanPath(home + QStringLiteral("/.local/share") + applications);
    QStringList dirs = dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    for (const QString& dir : std::as_const(dirs)) {
        // Relative folders are not part of the list.
        if (QDir::isAbsolutePath(dir))
            folders << QDir::cleanPath(dir + applications);
    }
    return folders;
}

QStringList applicationFolders()
{
    return applicationFolders(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_DIRS"),
                              QDir::homePath());
}

Launcher launcherFor(const QUrl& url, int lang, const QStringList& applicationFolders)
{
    Launcher launcher;
    launcher.entry.state = 1;
    if (!url.isValid() || url.scheme().isEmpty())
        return launcher;
    if (!url.isLocalFile()) {
        const QString scheme = url.scheme().toLower();
        // Not places: a script or a whole document inside the address.
        if (scheme == QLatin1String("javascript") || scheme == QLatin1String("data"))
            return launcher;
        launcher.kind = Launcher::Kind::Address;
        launcher.shown = url.toDisplayString();
        launcher.entry.program =
            url.toString(QUrl::FullyEncoded).replace(QLatin1Char(';'), QLatin1String("%3B"));
        launcher.entry.title = titleText(url.host());
        if (launcher.entry.title.isEmpty())
            launcher.entry.title = titleText(launcher.shown);
        return launcher;
    }
    // A file on another machine is not a file of this one.
    if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return launcher;
    QUrl local = url;
    local.setHost(QString());
    const QFileInfo info(QDir::cleanPath(local.toLocalFile()));
    if (!info.isAbsolute() || !info.exists() || (!info.isDir() && !info.isFile()))
        return launcher;
    const QString path = info.absoluteFilePath();
    launcher.shown = QDir::toNativeSeparators(path);
    launcher.entry.program = storable(path);
    QString title = info.fileName();
    if (info.isDir()) {
        launcher.kind = Launcher::Kind::Folder;
    } else if (path.endsWith(QLatin1String(".desktop"))) {
        // An entry names a command to run: one from elsewhere is only taken when it is marked
        // executable, as the desktops require.
        if (!insideAny(info.canonicalFilePath(), applicationFolders) && !info.isExecutable()) {
            launcher.kind = Launcher::Kind::Untrusted;
            return launcher;
        }
        launcher.kind = Launcher::Kind::Entry;
        const QString name = titleText(platform::services().icons->nameFor(path, lang));
        if (!name.isEmpty())
            title = name;
    } else {
        launcher.kind = Launcher::Kind::File;
    }
    launcher.entry.title = titleText(title);
    if (launcher.entry.title.isEmpty())
        launcher.entry.title = titleText(launcher.shown);
    return launcher;
}

std::optional<QList<configfile::ButtonEntry>> moved(const QList<configfile::ButtonEntry>& entries, int from,
                                                    int slot)
{
    const int count = static_cast<int>(entries.size());
    if (from < 0 || from >= count)
        return std::nullopt;
    slot = std::clamp(slot, 0, count);
    if (slot == from || slot == from + 1)
        return std::nullopt;
    QList<configfile::ButtonEntry> result = entries;
    const configfile::ButtonEntry entry = result.takeAt(from);
    result.insert(slot > from ? slot - 1 : slot, entry);
    return result;
}

bool takesDrops(frmMain& bar)
{
    if (!bar.isVisible() || bar.layoutRun().running)
        return false;
    if (bar.menuLoaded() && bar.menu().commandRunning())
        return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    // The preferences are filled from the bar's buttons, and their OK writes the file over.
    const QList<QDialog*> dialogs = bar.findChildren<QDialog*>();
    return std::none_of(dialogs.cbegin(), dialogs.cend(), [](const QDialog* d) { return d->isVisible(); });
}

bool acceptable(const QList<QUrl>& urls)
{
    if (urls.isEmpty())
        return false;
    const QStringList folders = applicationFolders();
    return std::all_of(urls.cbegin(), urls.cend(), [&](const QUrl& url) {
        return launcherFor(url, CurrentLang, folders).kind != Launcher::Kind::Refused;
    });
}

void addDropped(frmMain& bar, const QList<QUrl>& urls, int slot)
{
    const int lang = CurrentLang;
    const QStringList folders = applicationFolders();
    QList<configfile::ButtonEntry> added;
    QStringList untrusted;
    for (const QUrl& url : urls) {
        const Launcher launcher = launcherFor(url, lang, folders);
        if (launcher.kind == Launcher::Kind::Refused)
            return; // gone since the drag began: nothing is added
        if (launcher.kind == Launcher::Kind::Untrusted)
            untrusted << launcher.shown;
        else
            added << launcher.entry;
    }
    if (!untrusted.isEmpty()) {
        tell(bar,
             (lang == 0
                  ? QStringLiteral("Dovi ne fait pas confiance à ces lanceurs : ils ne sont pas dans les "
                                   "dossiers d'applications et ne sont pas marqués exécutables. Rien n'a "
                                   "été ajouté.")
                  : QStringLiteral("Dovi does not trust these launchers: they are not in the applications "
                                   "folders and are not marked executable. Nothing was added.")) +
                 CrLf + untrusted.join(CrLf),
             platform::MsgIcon::Warning);
        return;
    }
    if (added.isEmpty())
        return;
    save(bar, [&](QList<configfile::ButtonEntry>& entries) {
        const int at = std::clamp(slot, 0, static_cast<int>(entries.size()));
        for (int i = 0; i < added.size(); ++i)
            entries.insert(at + i, added.at(i));
        return true;
    });
}

void moveButton(frmMain& bar, int index, int slot)
{
    save(bar, [&](QList<configfile::ButtonEntry>& entries) {
        const std::optional<QList<configfile::ButtonEntry>> result = moved(entries, index - 1, slot);
        if (!result)
            return false;
        entries = *result;
        return true;
    });
}

} // namespace droppedlaunchers
