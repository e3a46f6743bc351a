#pragma once

#include <QObject>

namespace platform {

// Lives on a window and writes skip-taskbar, skip-pager and sticky (every workspace) into its
// _NET_WM_STATE each time the window is shown: the window manager drops the state when the window is hidden.
class X11TaskbarKeeper final : public QObject {
    Q_OBJECT
public:
    explicit X11TaskbarKeeper(QWidget* window);

    // Writes the state now: onto the window, and also as a request when it is mapped.
    static void apply(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace platform
