#pragma once

#include "platform/desktopcapture.h"

namespace platform {

// Grabs the root window; call while the bar is hidden so the desktop under it is what shows.
class X11DesktopCapture final : public DesktopCapture {
public:
    QPixmap grab(const QRect& screenRect) override;
};

} // namespace platform
