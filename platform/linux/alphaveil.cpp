#include "platform/linux/alphaveil.h"

#include <QChildEvent>
#include <QPainter>
#include <QPaintEvent>

namespace platform {

namespace {
AlphaVeil* veilOf(const QWidget* window)
{
    return window->findChild<AlphaVeil*>(QString(), Qt::FindDirectChildrenOnly);
}
} // namespace

AlphaVeil::AlphaVeil(QWidget* window, int level) : QWidget(window), m_level(level)
{
    setObjectName(QStringLiteral("AlphaVeil"));
    // Clicks, the pointer and tooltips belong to the parts under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    window->installEventFilter(this);
    raise();
    show();
}

void AlphaVeil::apply(QWidget* window, int level)
{
    if (!window)
        return;
    AlphaVeil* veil = veilOf(window);
    if (level >= 255) {
        if (veil) {
            delete veil;
            window->update();
        }
        return;
    }
    if (!veil) {
        new AlphaVeil(window, level); // owned by the window
        return;
    }
    if (veil->m_level != level) {
        veil->m_level = level;
        veil->update();
    }
}

int AlphaVeil::levelOf(const QWidget* window)
{
    const AlphaVeil* veil = window ? veilOf(window) : nullptr;
    return veil ? veil->m_level : 255;
}

bool AlphaVeil::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        // A part added later would lie above the veil and show opaque.
        else if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent*>(event)->child() != this)
            raise();
    }
    return QWidget::eventFilter(watched, event);
}

void AlphaVeil::paintEvent(QPaintEvent* event)
{
    // Drawn last over the parts, in the window's own picture: every pixel keeps level/255 of itself.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(event->rect(), QColor(0, 0, 0, m_level));
}

} // namespace platform
