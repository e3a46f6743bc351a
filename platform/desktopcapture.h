#pragma once

#include "platform/export.h"

#include <QPixmap>
#include <QRect>

namespace platform {

// A picture of a rectangle of the desktop, in pixels.
class DOVI_PLATFORM_EXPORT DesktopCapture {
public:
    virtual ~DesktopCapture();
    virtual QPixmap grab(const QRect& screenRect) = 0;
};

} // namespace platform
