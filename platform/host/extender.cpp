#include "platform/host/extender.h"

#include "platform/host/control.h"
#include "platform/services.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace host {

namespace {
int tppX()
{
    return platform::services().screen->twipsPerPixelX();
}
int tppY()
{
    return platform::services().screen->twipsPerPixelY();
}
// Twips beyond what a widget can take are held at the limit, instead of wrapping around to some
// other size or place; a value that is no number is none.
int toPixels(double twips, int tpp)
{
    const double pixels = twips / tpp;
    if (std::isnan(pixels))
        return 0;
    constexpr double limit = QWIDGETSIZE_MAX;
    return static_cast<int>(std::lround(std::clamp(pixels, -limit, limit)));
}
} // namespace

double Extender::Left() const
{
    return m_control->x() * static_cast<double>(tppX());
}

double Extender::Top() const
{
    return m_control->y() * static_cast<double>(tppY());
}

double Extender::Width() const
{
    return m_control->width() * static_cast<double>(tppX());
}

double Extender::Height() const
{
    return m_control->height() * static_cast<double>(tppY());
}

void Extender::setLeft(double twips)
{
    m_control->move(toPixels(twips, tppX()), m_control->y());
}

void Extender::setTop(double twips)
{
    m_control->move(m_control->x(), toPixels(twips, tppY()));
}

void Extender::setWidth(double twips)
{
    resizeTo(toPixels(twips, tppX()), m_control->height());
}

void Extender::setHeight(double twips)
{
    resizeTo(m_control->width(), toPixels(twips, tppY()));
}

void Extender::move(double leftTwips, double topTwips)
{
    m_control->move(toPixels(leftTwips, tppX()), toPixels(topTwips, tppY()));
}

void Extender::setBounds(double leftTwips, double topTwips, double widthTwips, double heightTwips)
{
    move(leftTwips, topTwips);
    resizeTo(toPixels(widthTwips, tppX()), toPixels(heightTwips, tppY()));
}

void Extender::resizeTo(int widthPixels, int heightPixels)
{
    m_control->resize(std::max(0, widthPixels), std::max(0, heightPixels));
    // The control's Resize runs now, not when Qt would deliver the held-back event at show time.
    m_control->sizeMayHaveChanged();
}

void Extender::setVisible(bool visible)
{
    m_visible = visible;
    m_control->setVisible(visible);
}

void Extender::setToolTipText(const QString& text)
{
    m_toolTip = text;
    m_control->setToolTip(text);
}

QFont Extender::ambientFont() const
{
    const QWidget* container = m_control->parentWidget();
    return container ? container->font() : m_control->font();
}

} // namespace host
