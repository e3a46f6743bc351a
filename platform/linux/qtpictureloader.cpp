#include "platform/linux/qtpictureloader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <sys/stat.h>

namespace platform {

namespace {

// Skins are bitmaps and icons mostly PNG files, both read by Qt itself. Told by their first bytes,
// they are read without asking every image plugin in turn whether it knows the file, which loads
// each plugin library.
QByteArray builtInFormatOf(const QByteArray& head)
{
    if (head.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    return {};
}

// An icon file holds one icon at several sizes, in no set order: the picture is the one of the usual
// icon size, or the nearest, as the desktop shows such a file, not whichever the file lists first.
QImage usualIconOf(QImageReader& reader)
{
    constexpr int usualSide = 32;
    QImage best;
    int bestDistance = 0;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        const int distance = qAbs(image.width() - usualSide) + qAbs(image.height() - usualSide);
        if (best.isNull() || distance < bestDistance) {
            best = image;
            bestDistance = distance;
        }
    }
    return best;
}

QImage readAs(QIODevice& device, const QByteArray& format)
{
    QImageReader reader(&device, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage decode(const QString& path)
{
    // Skins and icons are small files: read at once, they are decoded from memory instead of through
    // the file's buffer in many small reads.
    constexpr qint64 ReadAtOnce = 4 << 20;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && file.size() <= ReadAtOnce) {
        QByteArray data = file.readAll();
        if (const QByteArray format = builtInFormatOf(data.left(8)); !format.isEmpty()) {
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            if (const QImage image = readAs(buffer, format); !image.isNull())
                return image;
        }
    } else if (file.isOpen()) {
        file.close();
        if (file.open(QIODevice::ReadOnly)) {
            if (const QByteArray format = builtInFormatOf(file.peek(8)); !format.isEmpty()) {
                if (const QImage image = readAs(file, format); !image.isNull())
                    return image;
            }
        }
    }
    // Any other format, or a file that only starts like one: the content decides, whatever the name.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (reader.format() == "ico" && reader.imageCount() > 1)
        return usualIconOf(reader);
    return reader.read();
}

} // namespace

LoadedPicture QtPictureLoader::load(const QString& path) const
{
    if (path.isEmpty())
        return {};
    if (m_batchDepth == 0)
        return lookUp(path);
    if (const auto known = m_batch.constFind(path); known != m_batch.cend())
        return *known;
    const LoadedPicture result = lookUp(path);
    m_batch.insert(path, result);
    return result;
}

void QtPictureLoader::beginBatch() const
{
    ++m_batchDepth;
}

void QtPictureLoader::endBatch() const
{
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        m_batch.clear();
}

LoadedPicture QtPictureLoader::lookUp(const QString& path) const
{
    LoadedPicture result;
    // One stat tells whether the file is there and whether it changed. The bar asks for the same
    // skins several times per button: QFileInfo would stat again for each question and read the
    // time zone to give the modification time in local time.
    struct stat file {};
    // Only a file is a picture: a pipe would hold the layout up until written to, a device may have no end.
    if (::stat(QFile::encodeName(path).constData(), &file) != 0 || !S_ISREG(file.st_mode)) {
        result.status = LoadedPicture::Status::NotFound;
        return result;
    }
    const qint64 size = file.st_size;
    const qint64 modifiedNs = qint64(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec;
    const QString key = QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath();
    if (const Decoded* known = m_decoded.object(key);
        known && known->size == size && known->modifiedNs == modifiedNs) {
        result.status = LoadedPicture::Status::Ok;
        result.pixmap = known->pixmap;
        return result;
    }
    const QImage image = decode(path);
    if (image.isNull()) {
        m_decoded.remove(key);
        result.status = LoadedPicture::Status::Unreadable;
        return result;
    }
    result.status = LoadedPicture::Status::Ok;
    result.pixmap = QPixmap::fromImage(image);
    m_decoded.insert(key, new Decoded{size, modifiedNs, result.pixmap});
    return result;
}

} // namespace platform
