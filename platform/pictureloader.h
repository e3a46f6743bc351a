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

    // Between the two, each file is looked at once: a later load of the same path gives what the
    // first one found. A bar lays out all its buttons from the same few files. Batches nest.
    virtual void beginBatch() const {}
    virtual void endBatch() const {}
};

// A batch of loads for the life of the scope.
class PictureBatch {
public:
    explicit PictureBatch(const PictureLoader& loader) : m_loader(loader) { m_loader.beginBatch(); }
    ~PictureBatch() { m_loader.endBatch(); }
    PictureBatch(const PictureBatch&) = delete;
    PictureBatch& operator=(const PictureBatch&) = delete;

private:
    const PictureLoader& m_loader;
};

} // namespace platform
