#pragma once

#include "platform/export.h"

#include <QList>
#include <QRect>
#include <QSize>

namespace platform {

// Twips per pixel (1440 / logical DPI, 15 at 96 DPI) and the screen size in pixels.
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
