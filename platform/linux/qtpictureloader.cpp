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
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        result.status = LoadedPicture::Status::Unreadable;
        return result;
    }
    result.status = LoadedPicture::Status::Ok;
    result.pixmap = QPixmap::fromImage(image);
    return result;
}

} // namespace platform
