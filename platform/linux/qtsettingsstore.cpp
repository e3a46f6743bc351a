#include "platform/linux/qtsettingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <sys/stat.h>

namespace platform {

namespace {
QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// Qt's INI reader takes almost anything and writes back only what it understood, so a file that is
// something else (another program's file, a binary, a half-written copy) is recognised here first:
// every line must be blank, a comment, a [section] or a key=value pair.
bool looksLikeIni(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return true;
    constexpr qint64 Largest = 1 << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > Largest)
        return false;
    QByteArray data = file.readAll();
    if (data.contains('\0'))
        return false;
    // An editor may start the file with a UTF-8 byte order mark, which Qt's reader skips too.
    if (data.startsWith("\xef\xbb\xbf"))
        data.remove(0, 3);
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') ? !line.endsWith(']') : !line.contains('='))
            return false;
    }
    return true;
}

// Qt reads past a byte order mark an editor put at the start of the file, and writes the file
// back without it, but then reports the mark as a format error: the mark is taken off first.
void dropByteOrderMark(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.peek(3) != QByteArrayLiteral("\xef\xbb\xbf"))
        return;
    file.close();
    if (!looksLikeIni(fileName) || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray rest = file.readAll().mid(3);
    file.close();
    QSaveFile out(fileName);
    if (out.open(QIODevice::WriteOnly) && out.write(rest) == rest.size())
        out.commit();
}

bool usable(const QSettings& s)
{
    return s.status() == QSettings::NoError && looksLikeIni(s.fileName());
}
} // namespace

bool QtSettingsStore::FileStamp::operator==(const FileStamp& other) const
{
    return exists == other.exists && size == other.size && modifiedNs == other.modifiedNs &&
           changedNs == other.changedNs && inode == other.inode && device == other.device;
}

QtSettingsStore::FileStamp QtSettingsStore::stampOf(const QString& fileName)
{
    FileStamp stamp;
    struct stat file {};
    if (::stat(QFile::encodeName(fileName).constData(), &file) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = file.st_size;
    stamp.modifiedNs = qint64(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec;
    stamp.changedNs = qint64(file.st_ctim.tv_sec) * 1000000000 + file.st_ctim.tv_nsec;
    stamp.inode = file.st_ino;
    stamp.device = file.st_dev;
    return stamp;
}

QtSettingsStore::QtSettingsStore() = default;
QtSettingsStore::~QtSettingsStore() = default;

// The bar reads its values one by one, several at every start: the file is read and checked again
// only when it changed, which one look at the file tells.
const QtSettingsStore::Snapshot& QtSettingsStore::snapshotOf(const QString& app) const
{
    const FileStamp now = stampOf(location(app));
    Snapshot& snapshot = m_snapshots[app];
    if (snapshot.settings && snapshot.stamp == now)
        return snapshot;
    snapshot.settings.reset();
    snapshot.settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app);
    snapshot.usable = usable(*snapshot.settings);
    snapshot.stamp = now;
    return snapshot;
}

void QtSettingsStore::forget(const QString& app)
{
    m_snapshots.erase(app);
}

SettingsStore::State QtSettingsStore::state(const QString& app) const
{
    const QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    if (s.status() == QSettings::FormatError || !looksLikeIni(s.fileName()))
        return State::Unreadable;
    if (s.status() == QSettings::AccessError || !s.isWritable())
        return State::ReadOnly;
    // isWritable() answers for an existing file; a missing one needs a folder it can be created in.
    const QFileInfo file(s.fileName());
    if (!file.exists()) {
        QFileInfo folder(file.absolutePath());
        while (!folder.exists() && folder.absoluteFilePath() != folder.absolutePath())
            folder = QFileInfo(folder.absolutePath());
        if (!folder.isDir() || !folder.isWritable())
            return State::ReadOnly;
    }
    return State::Fine;
}

QString QtSettingsStore::location(const QString& app) const
{
    auto known = m_locations.constFind(app);
    if (known == m_locations.cend())
        known = m_locations.insert(
            app, QSettings(QSettings::IniFormat, QSettings::UserScope, app, app).fileName());
    return *known;
}

QString QtSettingsStore::get(const QString& app, const QString& section, const QString& key,
                             const QString& fallback) const
{
    const Snapshot& snapshot = snapshotOf(app);
    if (!snapshot.usable)
        return fallback;
    return snapshot.settings->value(keyPath(section, key), fallback).toString();
}

bool QtSettingsStore::save(const QString& app, const QString& section, const QString& key,
                           const QString& value)
{
    forget(app);
    dropByteOrderMark(location(app));
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    if (!usable(s) || !s.isWritable())
        return false;
    s.setValue(keyPath(section, key), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

void QtSettingsStore::removeKey(const QString& app, const QString& section, const QString& key)
{
    forget(app);
    dropByteOrderMark(location(app));
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
    if (!usable(s))
        return;
    s.remove(keyPath(section, key));
    s.sync();
}

void QtSettingsStore::removeApp(const QString& app)
{
    forget(app);
    QString file;
    {
        const QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
        if (!usable(s))
            return;
        file = s.fileName();
    }
    // clear() would leave an empty file behind: the whole application entry goes with its file.
    QFile::remove(file);
}

} // namespace platform
