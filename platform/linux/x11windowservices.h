#pragma once

#include "platform/export.h"
#include "platform/windowservices.h"

#include <optional>

namespace platform {

// The bar's windows on a Linux desktop: through X11 (EWMH states, the compositing manager's
// selection), a Wayland compositor's XWayland included, or as a Wayland client. Without a window
// system (offscreen) the Qt-level parts still apply and translucency is reported as unknown.
class DOVI_PLATFORM_EXPORT X11WindowServices final : public WindowServices {
public:
    void setSkipTaskbar(QWidget* window) override;
    void setKeepAbove(QWidget* window, bool above) override;
    void setOpacity(QWidget* window, int level) override;
    bool translucencyAvailable(QString* whyNot) const override;
    // The window manager takes its frame down once it sees the window withdrawn.
    void waitUntilGone(QWidget* window) override;
    DesktopTraits desktop() const override;
    void prepareBar(QWidget* window) override;
    Backdrop backdrop(const QWidget* window) const override;
    // An X11 compositing manager announces itself by owning _NET_WM_CM_Sn: its coming and going.
    void watchDesktop(QObject* context, std::function<void()> changed) override;
    // Through the window manager: the topmost other window on this workspace that is not minimized,
    // a dock or the desktop is activated as a task bar would.
    void giveFocusBack(QWidget* window) override;
    // A key grab on the root window; BadAccess tells a key another client holds.
    QList<int> grabLauncherKeys(QObject* context, std::function<void(int)> pressed) override;

    // Whether a window manager of that name, running in XWayland, puts windows where they are asked.
    static bool placesWindowsAsAsked(const QString& windowManager);

private:
    bool composited() const;
    // The X server stays what it is while the program runs.
    mutable std::optional<bool> m_xwayland;
};

} // namespace platform
