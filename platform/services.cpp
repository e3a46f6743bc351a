#include "platform/services.h"

#include "platform/linux/linuxservices.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

namespace platform {

SettingsStore::~SettingsStore() = default;
MessageBoxes::~MessageBoxes() = default;
AppInfo::~AppInfo() = default;
ScreenMetrics::~ScreenMetrics() = default;

QList<QRect> ScreenMetrics::screensPixels() const
{
    return {QRect(QPoint(0, 0), screenSizePixels())};
}
InstanceLock::~InstanceLock() = default;
EventPump::~EventPump() = default;
ShellOpener::~ShellOpener() = default;
WindowServices::~WindowServices() = default;
DesktopCapture::~DesktopCapture() = default;
void DesktopCapture::watchBackground(QObject*, std::function<void()>) {}
QPixmap DesktopCapture::wallpaper(const QRect&)
{
    return {};
}
void WindowServices::waitUntilGone(QWidget*) {}
DesktopTraits WindowServices::desktop() const
{
    DesktopTraits traits;
    traits.composited = translucencyAvailable(nullptr);
    return traits;
}
void WindowServices::prepareBar(QWidget*) {}
Backdrop WindowServices::backdrop(const QWidget*) const
{
    return Backdrop::Copy;
}
void WindowServices::watchDesktop(QObject*, std::function<void()>) {}
void WindowServices::giveFocusBack(QWidget* window)
{
    if (window && window->window()->focusWidget())
        window->window()->focusWidget()->clearFocus();
}
QList<int> WindowServices::grabLauncherKeys(QObject*, std::function<void(int)>)
{
    return {};
}
Dialogs::~Dialogs() = default;
PictureLoader::~PictureLoader() = default;
IconProvider::~IconProvider() = default;

QString IconProvider::nameFor(const QString& path, int) const
{
    if (path.isEmpty())
        return {};
    const QUrl url(path);
    // An address other than a local file's ("C:" is a drive, not a scheme).
    if (url.isValid() && url.scheme().size() > 1 && !url.isLocalFile())
        return path;
    const QString local = url.isLocalFile() ? url.toLocalFile() : path;
    const QString name = QFileInfo(local).fileName();
    if (!name.isEmpty())
        return name;
    const QString folder = QDir(local).dirName();
    return folder.isEmpty() || folder == QLatin1String(".") ? path : folder;
}
Autostart::~Autostart() = default;
SystemInfo::~SystemInfo() = default;

void Services::reset()
{
    linuxsvc::fillDefaults(*this);
}

Services& services()
{
    static Services instance = [] {
        Services s;
        s.reset();
        return s;
    }();
    return instance;
}

} // namespace platform
