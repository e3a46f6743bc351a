#pragma once

#include "platform/screenmetrics.h"

namespace platform {

class QtScreenMetrics final : public ScreenMetrics {
public:
    int twipsPerPixelX() const override;
    int twipsPerPixelY() const override;
    QSize screenSizePixels() const override;
    QList<QRect> screensPixels() const override;
};

} // namespace platform
