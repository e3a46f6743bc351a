#pragma once

#include "platform/export.h"

#include <QPixmap>
#include <QString>

namespace platform {

struct LoadedPicture {
    enum class Status { Ok, Empty, NotFound, Unreadable };
    Status status = Status::Empty;
    QPixmap pixmap;
    bool ok() const { return status == Status::Ok || status == Status::Empty; }
};

// Pictures from files: bitmap, icon, GIF, JPEG, PNG. An empty path gives an empty picture, no error.
class DOVI_PLATFORM_EXPORT PictureLoader {
public:
    virtual ~PictureLoader();
    virtual LoadedPicture load(const QString& path) const = 0;
};

} // namespace platform
