#pragma once

#include "platform/export.h"

#include <QPixmap>
#include <QString>

namespace platform {

// The icon and the name the desktop associates with a path: program, document, folder, URL or .desktop file.
class DOVI_PLATFORM_EXPORT IconProvider {
public:
    virtual ~IconProvider();
    // A null pixmap when there is no icon (empty path); the picture is the system's large icon size.
    virtual QPixmap iconFor(const QString& path, int sizePixels = 32) const = 0;
    // What the desktop calls a path: an application entry's name in the program's language (lang 0
    // French, otherwise English) or else its plain name, else the file or folder name, else the
    // address itself; empty for an empty path.
    virtual QString nameFor(const QString& path, int lang) const;
};

} // namespace platform
