#pragma once

#include "platform/export.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace platform {

// What the desktop gives the bar's windows. Asked at start and again whenever the desktop changes.
struct DesktopTraits {
    // A compositor draws the windows, so they can have an alpha channel and be see-through: an X11
    // compositing manager, or any Wayland session (also through its XWayland server).
    bool composited = false;
    // The X server is a Wayland compositor's XWayland.
    bool xwayland = false;
    // The program is a Wayland client of its own: no X server.
    bool wayland = false;
    // The window manager puts windows where the program asks. Where it does not, the bar places
    // itself where it can.
    bool placesWindows = true;
    // The bar can be put where its file says, by the window manager or by itself.
    bool barPlaced = true;
    // The window manager's own name, empty when none says it.
    QString windowManager;
};

// How the desktop shows around the shaped parts of a window.
enum class Backdrop {
    Copy,       // the window is opaque: its owner paints a copy of the desktop under it
    SeeThrough, // the window is transparent outside its parts: the live desktop shows there
};

// What the bar asks of the window system for its own windows.
class DOVI_PLATFORM_EXPORT WindowServices {
public:
    virtual ~WindowServices();
    // No task-bar (and pager) entry, from now on: also after the window was hidden and shown again.
    virtual void setSkipTaskbar(QWidget* window) = 0;
    virtual void setKeepAbove(QWidget* window, bool above) = 0;
    // 255 makes an ordinary opaque window; lower levels a translucent one with that opacity. A
    // see-through window takes the level in its own pixels, which every compositor shows.
    virtual void setOpacity(QWidget* window, int level) = 0;
    // Whether windows can be translucent here; false with a reason in whyNot when it cannot be told.
    virtual bool translucencyAvailable(QString* whyNot = nullptr) const = 0;
    // Returns once nothing of a window just hidden is on the screen any more, the window manager's
    // frame around it included, or after a short wait.
    virtual void waitUntilGone(QWidget* window);

    virtual DesktopTraits desktop() const;
    // Makes a window ready to be the bar on this desktop, before it is first shown: an alpha channel
    // where one can be had, placed by the program where the window manager would not place it, and
    // on every workspace.
    virtual void prepareBar(QWidget* window);
    // How the desktop shows around a window's parts now. Only a window made ready as a bar is ever
    // see-through.
    virtual Backdrop backdrop(const QWidget* window) const;
    // Calls changed, from the event loop, when the desktop starts or stops compositing, for as long
    // as context lives. A desktop that cannot change never calls it.
    virtual void watchDesktop(QObject* context, std::function<void()> changed);
    // Gives the keyboard back from a window of the program to the window the user was in: the
    // topmost other one. Where the window system lets no program choose, the window only lets go of
    // its focus.
    virtual void giveFocusBack(QWidget* window);
    // Super+1 to Super+9 on the whole desktop, for as long as context lives: pressed(n), from the event
    // loop, for Super+n. Returns the numbers another program holds already, which go without. A
    // window system without such keys grabs nothing and returns none.
    virtual QList<int> grabLauncherKeys(QObject* context, std::function<void(int)> pressed);
};

} // namespace platform
