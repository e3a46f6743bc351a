#include "platform/linux/shelltarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace platform::shelltarget {

namespace {

// A file with the exec bit is started only when the kernel can run it itself: files on FAT or NTFS
// mounts carry the bit on every document, and those must go to the opener instead.
bool isRunnable(const QFileInfo& info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(info.absoluteFilePath());
    // A program the user may run but not read (mode 711): the opener could not read it either, and
    // the system starts it.
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(4);
    return head == QByteArrayLiteral("\x7f"
                                     "ELF") ||
           head.startsWith("#!");
}

Resolved fromFile(const QFileInfo& info)
{
    if (!info.exists())
        return {};
    const QString path = info.absoluteFilePath();
    if (info.isDir())
        return {Kind::Folder, path};
    if (isRunnable(info))
        return {Kind::Program, path};
    return {Kind::Document, path};
}

QString expandHome(const QString& target)
{
    if (target == QLatin1String("~"))
        return QDir::homePath();
    if (target.startsWith(QLatin1String("~/")))
        return QDir::homePath() + target.mid(1);
    return target;
}

} // namespace

bool looksLikeUrl(const QString& target)
{
    const qsizetype colon = target.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    const auto isAsciiLetter = [](QChar ch) {
        return (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ||
               (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'));
    };
    if (!isAsciiLetter(target.at(0)))
        return false;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar ch = target.at(i);
        const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        if (!isAsciiLetter(ch) && !digit && ch != QLatin1Char('+') && ch != QLatin1Char('.') &&
            ch != QLatin1Char('-'))
            return false;
    }
    return true;
}

Resolved resolve(const QString& target, const QString& folder, const QStringList& searchPaths)
{
    if (target.isEmpty())
        return {};
    const QString name = expandHome(target);
    if (QDir::isAbsolutePath(name))
        return fromFile(QFileInfo(name));

    const QString base = folder.isEmpty() ? QDir::rootPath() : folder;
    const QFileInfo relative(QDir(base), name);
    if (relative.exists())
        return fromFile(relative);

    if (looksLikeUrl(name)) {
        QUrl url(name);
        if (url.isLocalFile()) {
            // "file://localhost/..." names this machine like "file:///..." (not a network share).
            if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
                url.setHost(QString());
            return fromFile(QFileInfo(url.toLocalFile()));
        }
        // Handed on fully encoded: no blank or quote reaches the opener as such.
        if (url.isValid())
            return {Kind::Url, url.toString(QUrl::FullyEncoded)};
        return {};
    }

    // A bare program name, as typed at a prompt.
    if (!name.contains(QLatin1Char('/'))) {
        const QString found = QStandardPaths::findExecutable(name, searchPaths);
        if (!found.isEmpty())
            return fromFile(QFileInfo(found));
    }
    return {};
}

} // namespace platform::shelltarget
