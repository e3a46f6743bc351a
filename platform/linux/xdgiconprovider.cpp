#include "platform/linux/xdgiconprovider.h"

#include "platform/linux/desktopentry.h"
#include "platform/linux/shelltarget.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

QIcon themed(const QStringList& names)
{
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return icon;
    }
    return {};
}

QIcon desktopFileIcon(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // An entry is a few hundred bytes; do not read a huge file someone named .desktop.
    const QString name =
        desktopentry::entryValue(QString::fromUtf8(file.read(256 * 1024)), QStringLiteral("Icon"));
    if (name.isEmpty())
        return {};
    // Only a file is read (a pipe would hold the bar up until someone writes into it), and only one
    // that holds a picture gives the icon: anything else leaves the entry's own icon.
    if (QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() && QImageReader(name).canRead() ? QIcon(name) : QIcon();
    return themed({name});
}

QIcon urlIcon(const QString& url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return themed(
            {QStringLiteral("mail-message-new"), QStringLiteral("mail-unread"), QStringLiteral("text-html")});
    return themed({QStringLiteral("text-html"), QStringLiteral("web-browser"),
                   QStringLiteral("applications-internet")});
}

} // namespace

void XdgIconProvider::ensureTheme() const
{
    if (m_themeChecked)
        return;
    m_themeChecked = true;
    // Without a desktop environment Qt may look for themes nowhere but in its resources, and name
    // no theme at all: then the system's icon folders are searched and Adwaita is the theme.
    QStringList paths = QIcon::themeSearchPaths();
    bool added = false;
    const QStringList systemFolders = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& folder : systemFolders) {
        if (!paths.contains(folder)) {
            paths.append(folder);
            added = true;
        }
    }
    if (added)
        QIcon::setThemeSearchPaths(paths);
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor")) {
        for (const QString& folder : paths) {
            if (QFileInfo::exists(folder + QStringLiteral("/Adwaita/index.theme"))) {
                QIcon::setThemeName(QStringLiteral("Adwaita"));
                break;
            }
        }
    }
}

QIcon XdgIconProvider::iconForPath(const QString& path) const
{
    ensureTheme();
    const shelltarget::Resolved target = shelltarget::resolve(path, QDir::rootPath());
    const QFileIconProvider files;
    switch (target.kind) {
    case shelltarget::Kind::Missing:
        return {};
    case shelltarget::Kind::Url:
        return urlIcon(target.location);
    case shelltarget::Kind::Folder: {
        const QIcon icon = themed({QStringLiteral("folder")});
        return icon.isNull() ? files.icon(QFileIconProvider::Folder) : icon;
    }
    case shelltarget::Kind::Program:
    case shelltarget::Kind::Document:
        break;
    }

    const QMimeDatabase mimes;
    const QMimeType mime = mimes.mimeTypeForFile(target.location);
    if (mime.inherits(QStringLiteral("application/x-desktop"))) {
        const QIcon icon = desktopFileIcon(target.location);
        if (!icon.isNull())
            return icon;
    }
    QStringList names;
    if (target.kind == shelltarget::Kind::Program)
        names << QStringLiteral("application-x-executable");
    names << mime.iconName() << mime.genericIconName() << QStringLiteral("text-x-generic");
    const QIcon icon = themed(names);
    return icon.isNull() ? files.icon(QFileInfo(target.location)) : icon;
}

QString XdgIconProvider::nameFor(const QString& path, int lang) const
{
    if (path.endsWith(QLatin1String(".desktop"))) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QString text = QString::fromUtf8(file.read(256 * 1024));
            for (const QString& key : {lang == 0 ? QStringLiteral("Name[fr]") : QStringLiteral("Name[en]"),
                                       QStringLiteral("Name")}) {
                const QString name = desktopentry::entryValue(text, key).trimmed();
                if (!name.isEmpty())
                    return name;
            }
        }
    }
    return IconProvider::nameFor(path, lang);
}

QPixmap XdgIconProvider::iconFor(const QString& path, int sizePixels) const
{
    const QIcon icon = iconForPath(path);
    if (icon.isNull())
        return {};
    return icon.pixmap(sizePixels, sizePixels);
}

} // namespace platform
