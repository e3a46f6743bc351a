#include "platform/host/control.h"

#include "platform/services.h"

#include <QBitmap>
#include <QCache>
#include <QHash>
#include <QImage>
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

namespace {

// Every button of a bar is cut by the same mask picture, and working a region out of pixels is the
// costly part of a mask: each picture and colour is worked out once. Pictures are known by their
// pixels, not by their pixmap, since each button loads or draws its own.
class MaskRegions {
public:
    QRegion regionFor(const QPixmap& picture, const QColor& colour)
    {
        const QRgb rgb = colour.rgba();
        // The same pixmap again (buttons share the pictures they load): its key stands for its pixels.
        const auto shared = std::make_pair(picture.cacheKey(), rgb);
        if (const auto found = m_byPixmap.constFind(shared); found != m_byPixmap.constEnd())
            return *found;
        if (m_byPixmap.size() >= 64)
            m_byPixmap.clear();
        const QRegion region = regionOfPixels(picture, rgb, colour);
        m_byPixmap.insert(shared, region);
        return region;
    }

private:
    QRegion regionOfPixels(const QPixmap& picture, QRgb rgb, const QColor& colour)
    {
        const QImage image = picture.toImage();
        const size_t key = keyOf(image, rgb);
        if (const Known* known = m_known.object(key); known && known->colour == rgb && known->image == image)
            return known->region;
        QRegion region(picture.createMaskFromColor(colour, Qt::MaskInColor));
        m_known.insert(key, new Known{image, rgb, region});
        return region;
    }

    struct Known {
        QImage image;
        QRgb colour;
        QRegion region;
    };

    static size_t keyOf(const QImage& image, QRgb colour)
    {
        size_t key = qHashMulti(0, image.width(), image.height(), int(image.format()), colour);
        // Line by line: the padding at the end of a line is not part of the picture.
        const auto used = static_cast<size_t>((image.width() * image.depth() + 7) / 8);
        for (int y = 0; y < image.height(); ++y)
            key = qHashBits(image.constScanLine(y), used, key);
        return key;
    }

    QCache<size_t, Known> m_known{32};
    QHash<std::pair<qint64, QRgb>, QRegion> m_byPixmap;
};

} // namespace

void Control::applyMaskPicture(QWidget* widget, const QPixmap& picture, const QColor& maskColour)
{
    static MaskRegions regions;
    QRegion region;
    if (!picture.isNull())
        region = regions.regionFor(picture, maskColour);
    // An empty region would mean "no mask" to Qt, that is all visible: keep one pixel outside instead.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    widget->setMask(region);
}

ClassFactory::~ClassFactory() = default;

} // namespace host
