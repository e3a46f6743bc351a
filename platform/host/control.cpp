#include "platform/host/control.h"

#include "platform/services.h"

#include <QBitmap>
#include <QPixmap>
#include <QRegion>

namespace host {

Control::Control(QWidget* parent) : QWidget(parent)
{
    m_handledSize = size();
}

Control::~Control() = default;

DispResult Control::invoke(DispId id)
{
    return DispResult::failure(QStringLiteral("No method with dispatch identifier %1").arg(id),
                               DispError::NoSuchMember);
}

void Control::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    sizeMayHaveChanged();
}

void Control::sizeMayHaveChanged()
{
    if (size() == m_handledSize)
        return;
    m_handledSize = size();
    UserControl_Resize();
}

int Control::twipsPerPixelX()
{
    return platform::services().screen->twipsPerPixelX();
}

int Control::twipsPerPixelY()
{
    return platform::services().screen->twipsPerPixelY();
}

int Control::buttonMask(Qt::MouseButtons buttons)
{
    int mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

int Control::shiftMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

int Control::keyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return qtKey & 0xFFFF;
    }
}

QColor Control::colourFromLong(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

qint32 Control::longFromColour(const QColor& colour)
{
    const quint32 bits = static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8) |
                         (static_cast<quint32>(colour.blue()) << 16);
    return static_cast<qint32>(bits);
}

void Control::applyMaskPicture(QWidget* widget, const QPixmap& picture, const QColor& maskColour)
{
    QRegion region;
    if (!picture.isNull())
        region = QRegion(picture.createMaskFromColor(maskColour, Qt::MaskInColor));
    // An empty region would mean "no mask" to Qt, that is all visible: keep one pixel outside instead.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    widget->setMask(region);
}

ClassFactory::~ClassFactory() = default;

} // namespace host
