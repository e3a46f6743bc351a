#pragma once

#include "platform/desktopcapture.h"

#include <QImage>

#include <optional>
#include <xcb/xcb.h>

namespace platform {

// Grabs the root window; call while the bar is hidden so the desktop under it is what shows.
class X11DesktopCapture final : public DesktopCapture {
public:
    QPixmap grab(const QRect& screenRect) override;
    // On a screen of 32-bit pixels, the part on the screen is asked of the X server at once and
    // read at take(); on any other, it is grabbed at once.
    void request(const QRect& screenRect) override;
    QPixmap take() override;
    // The picture that wallpaper setters leave on the root window (_XROOTPMAP_ID, ESETROOT_PMAP_ID).
    QPixmap wallpaper(const QRect& screenRect) override;
    // Wallpaper setters announce the picture they set on the root window (_XROOTPMAP_ID,
    // ESETROOT_PMAP_ID); a change of either is told once the setter is done.
    void watchBackground(QObject* context, std::function<void()> changed) override;

private:
    struct Pending {
        xcb_connection_t* connection = nullptr;
        xcb_get_image_cookie_t cookie{};
        QRect rect;  // asked for
        QRect shown; // on the screen, in the same coordinates
        // Grabbed at once. Empty until then: services exist before the application, and a picture may not.
        std::optional<QPixmap> grabbed;
    };
    void forget();
    Pending m_pending;
};

} // namespace platform
