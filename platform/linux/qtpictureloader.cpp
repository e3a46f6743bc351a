#include "platform/linux/qtpictureloader.h"

#include <QFileInfo>
#include <QImageReader>

namespace platform {

LoadedPicture QtPictureLoader::load(const QString& path) const
{
    LoadedPicture result;
    if (path.isEmpty())
        return result;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        result.status = LoadedPicture::Status::NotFound;
        return result;
    }
    const QString key = info.absoluteFilePath();
    if (const Decoded* known = m_decoded.object(key);
        known && known->size == info.size() && known->modified == info.lastModified()) {
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
    m_decoded.insert(key, new Decoded{info.size(), info.lastModified(), result.pixmap});
    return result;
}

} // namespace platform
