#pragma once

#include "platform/pictureloader.h"

#include <QCache>
#include <QHash>

namespace platform {

// Decodes picture files with Qt's image readers. A bar loads the same few skins for every button
// and again at every reload, so decoded pictures are kept, keyed by path, and decoded again only
// when the file's size or modification time changes.
class QtPictureLoader final : public PictureLoader {
public:
    LoadedPicture load(const QString& path) const override;
    void beginBatch() const override;
    void endBatch() const override;

private:
    LoadedPicture lookUp(const QString& path) const;

    struct Decoded {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        QPixmap pixmap;
    };
    mutable QCache<QString, Decoded> m_decoded{64};
    mutable int m_batchDepth = 0;
    mutable QHash<QString, LoadedPicture> m_batch;
};

} // namespace platform
