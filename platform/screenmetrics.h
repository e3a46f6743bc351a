#pragma once

#include "platform/export.h"

#include <QList>
#include <QRect>
#include <QSize>

namespace platform {

// Twips per pixel (15: a twip is a fifteenth of a logical pixel, as at 96 DPI) and the screens in
// logical pixels.
class DOVI_PLATFORM_EXPORT ScreenMetrics {
public:
    virtual ~ScreenMetrics();
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;
    virtual QSize screenSizePixels() const = 0;
    // Every screen's rectangle on the desktop in pixels, the primary screen first.
    virtual QList<QRect> screensPixels() const;
};

} // namespace platform
