#pragma once

#include "platform/windowservices.h"

namespace platform {

class X11WindowServices final : public WindowServices {
public:
    void setSkipTaskbar(QWidget* window) override;
    void setKeepAbove(QWidget* window, bool above) override;
    void setOpacity(QWidget* window, int level) override;
    bool translucencyAvailable(QString* whyNot) const override;
};

} // namespace platform
