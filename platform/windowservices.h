#pragma once

#include "platform/export.h"

#include <QString>

class QWidget;

namespace platform {

// What the bar asks of the window system for its own windows.
class DOVI_PLATFORM_EXPORT WindowServices {
public:
    virtual ~WindowServices();
    // No task-bar (and pager) entry, from now on: also after the window was hidden and shown again.
    virtual void setSkipTaskbar(QWidget* window) = 0;
    virtual void setKeepAbove(QWidget* window, bool above) = 0;
    // 255 makes an ordinary opaque window; lower levels a translucent one with that opacity.
    virtual void setOpacity(QWidget* window, int level) = 0;
    // Whether windows can be translucent here; false with a reason in whyNot when it cannot be told.
    virtual bool translucencyAvailable(QString* whyNot = nullptr) const = 0;
    // Returns once nothing of a window just hidden is on the screen any more, the window manager's
    // frame around it included, or after a short wait.
    virtual void waitUntilGone(QWidget* window);
};

} // namespace platform
