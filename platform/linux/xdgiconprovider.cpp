#include "platform/linux/xdgiconprovider.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace platform {

QPixmap XdgIconProvider::iconFor(const QString& path, int sizePixels) const
{
    if (path.isEmpty())
        return {};
    const QFileIconProvider provider;
    return provider.icon(QFileInfo(path)).pixmap(sizePixels, sizePixels);
}

} // namespace platform
