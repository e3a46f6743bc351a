#include "platform/linux/qtscreenmetrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {

namespace {
int twipsPerPixel(qreal dpi)
{
    if (dpi <= 0)
        return 15;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
}
} // namespace

int QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
}

int QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 96.0);
}

QSize QtScreenMetrics::screenSizePixels() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

QList<QRect> QtScreenMetrics::screensPixels() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return ScreenMetrics::screensPixels();
    QList<QRect> screens{primary->geometry()};
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            screens.append(screen->geometry());
    }
    return screens;
}

} // namespace platform
