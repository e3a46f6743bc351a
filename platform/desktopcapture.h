#pragma once

#include "platform/export.h"

#include <QPixmap>
#include <QRect>

#include <functional>
#include <optional>
#include <utility>

class QObject;

namespace platform {

// A picture of a rectangle of the desktop, in pixels.
class DOVI_PLATFORM_EXPORT DesktopCapture {
public:
    virtual ~DesktopCapture();
    virtual QPixmap grab(const QRect& screenRect) = 0;

    // A grab in two steps: the picture is asked for at request() and given by the next take(). The
    // window system keeps the order it is asked things in, so a window shown in between is not in
    // the picture, and the program goes on meanwhile instead of waiting for it.
    virtual void request(const QRect& screenRect) { m_requested = grab(screenRect); }
    virtual QPixmap take() { return std::exchange(m_requested, std::nullopt).value_or(QPixmap()); }

    // The wallpaper the desktop published, the part under a rectangle, without the windows over it
    // and without hiding any; a null picture when the desktop published none that can be read.
    virtual QPixmap wallpaper(const QRect& screenRect);

    // Calls changed, from the event loop, each time the desktop's background is set anew (a new
    // wallpaper), for as long as context lives. A desktop that cannot tell never calls it.
    virtual void watchBackground(QObject* context, std::function<void()> changed);

private:
    // Empty until asked for: services exist before the application, and a picture may not.
    std::optional<QPixmap> m_requested;
};

} // namespace platform
