#include "platform/linux/qtpictureloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <sys/stat.h>

namespace platform {

LoadedPicture QtPictureLoader::load(const QString& path) const
{
    LoadedPicture result;
    if (path.isEmpty())
        return result;
    // One stat tells whether the file is there and whether it changed. The bar asks for the same
    // skins several times per button: QFileInfo would stat again for each question and read the
    // time zone to give the modification time in local time.
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0 || S_ISDIR(file.st_mode)) {
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
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
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
