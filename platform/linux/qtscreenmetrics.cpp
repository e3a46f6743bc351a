#include "platform/linux/qtscreenmetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {
// A twip is a fifteenth of a pixel, as at 96 DPI, whatever the screen: the skins and icons are
// pictures drawn pixel for pixel, in the logical pixels Qt scales for the screen. Taken from a DPI
// that Qt does not scale for (QT_ENABLE_HIGHDPI_SCALING=0 with Xft.dpi 192), it would make the
// parts of a button larger than the skin they sit in.
constexpr int TwipsPerLogicalPixel = 15;
} // namespace

int QtScreenMetrics::twipsPerPixelX() const
{
    return TwipsPerLogicalPixel;
}

int QtScreenMetrics::twipsPerPixelY() const
{
    return TwipsPerLogicalPixel;
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
