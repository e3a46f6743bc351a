#include "platform/linux/x11windowservices.h"

#include <QWidget>

namespace platform {

void X11WindowServices::setSkipTaskbar(QWidget* window)
{
    Q_UNUSED(window);
}

void X11WindowServices::setKeepAbove(QWidget* window, bool above)
{
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    if (visible)
        window->show();
}

void X11WindowServices::setOpacity(QWidget* window, int level)
{
    window->setWindowOpacity(level >= 255 ? 1.0 : qBound(0, level, 255) / 255.0);
}

bool X11WindowServices::translucencyAvailable(QString* whyNot) const
{
    Q_UNUSED(whyNot);
    return false;
}

} // namespace platform
