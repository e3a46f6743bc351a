#pragma once

#include "platform/export.h"
#include "platform/windowservices.h"

namespace platform {

// EWMH states for the bar's own windows. Without an X connection (offscreen) the Qt-level parts
// still apply and translucency is reported as unknown.
class DOVI_PLATFORM_EXPORT X11WindowServices final : public WindowServices {
public:
    void setSkipTaskbar(QWidget* window) override;
    void setKeepAbove(QWidget* window, bool above) override;
    void setOpacity(QWidget* window, int level) override;
    bool translucencyAvailable(QString* whyNot) const override;
    // The window manager takes its frame down once it sees the window withdrawn.
    void waitUntilGone(QWidget* window) override;
};

} // namespace platform
