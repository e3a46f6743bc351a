#include "button/buttondrag.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <utility>

ButtonDrag::ButtonDrag(QWidget* button, std::function<void()> atStart)
    : QObject(button), m_button(button), m_atStart(std::move(atStart))
{
    setObjectName(QStringLiteral("ButtonDrag"));
}

void ButtonDrag::watch(QWidget* part)
{
    part->installEventFilter(this);
}

bool ButtonDrag::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        // A press after a drag whose release never came here starts afresh.
        m_releaseAfterDrag = false;
        m_armed = press->button() == Qt::LeftButton;
        m_pressAt = press->globalPosition().toPoint();
        break;
    }
    case QEvent::MouseMove:
        if (m_armed && follow(*static_cast<QMouseEvent*>(event)))
            return true;
        break;
    case QEvent::MouseButtonRelease:
        m_armed = false;
        // The window system hands the release that ended the drag on afterwards: it starts nothing.
        if (std::exchange(m_releaseAfterDrag, false))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool ButtonDrag::follow(const QMouseEvent& move)
{
    if (!(move.buttons() & Qt::LeftButton)) {
        m_armed = false;
        return false;
    }
    if ((move.globalPosition().toPoint() - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return false;
    m_armed = false;
    if (!m_button)
        return false;
    // The button is being moved, not pressed: it shows at rest while it travels.
    if (m_atStart)
        m_atStart();
    QWidget* button = m_button;
    auto* drag = new QDrag(button);
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(MimeType), QByteArray());
    drag->setMimeData(data.release());
    drag->setPixmap(button->grab());
    drag->setHotSpot(button->mapFromGlobal(m_pressAt));
    m_releaseAfterDrag = true;
    // Nothing of the button is touched afterwards: the container may lay its buttons out again
    // once the drop is over.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    return true;
}
