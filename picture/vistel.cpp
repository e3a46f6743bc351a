#include "picture/vistel.h"

#include "platform/host/devicepicture.h"
#include "platform/services.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>

namespace {
// The design size of the control, as the launcher button places it: 495 x 495 twips.
constexpr double DesignSizeTwips = 495.0;

// Theme icons have soft, half-transparent edges; drawn on the scratch colour they would leave a fringe
// of it around the icon. Each pixel is made either the icon's own colour or fully transparent.
QImage hardEdged(const QPixmap& icon)
{
    QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qAlpha(line[x]) >= 128 ? (line[x] | 0xFF000000u) : 0u;
    }
    return image;
}
} // namespace

Vistel::Vistel(QWidget* parent) : host::Control(parent)
{
    setObjectName(QStringLiteral("Vistel"));
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    resize(static_cast<int>(DesignSizeTwips / twipsPerPixelX() + 0.5),
           static_cast<int>(DesignSizeTwips / twipsPerPixelY() + 0.5));
    sizeMayHaveChanged();
    m_scratchSize = size();
    applyRegion();
}

Vistel::~Vistel() = default;

float Vistel::twipsX(qreal pixels) const
{
    return static_cast<float>(pixels * twipsPerPixelX());
}

float Vistel::twipsY(qreal pixels) const
{
    return static_cast<float>(pixels * twipsPerPixelY());
}

// --- properties

bool Vistel::AutoRedraw()
{
    m_surfaceAutoRedraw = m_autoRedraw;
    return m_autoRedraw;
}

void Vistel::setAutoRedraw(bool value)
{
    m_autoRedraw = value;
    m_surfaceAutoRedraw = value;
    Q_EMIT PropertyChanged(QStringLiteral("AutoRedraw"));
}

host::DispResult Vistel::loadScratchPicture()
{
    const QString path = m_picture.toString();
    const platform::LoadedPicture loaded = platform::services().pictures->load(path);
    if (!loaded.ok()) {
        m_scratchPicture = QPixmap();
        if (loaded.status == platform::LoadedPicture::Status::NotFound)
            return host::DispResult::failure(QStringLiteral("File not found: %1").arg(path),
                                             host::DispError::FileNotFound);
        return host::DispResult::failure(QStringLiteral("Invalid picture: %1").arg(path),
                                         host::DispError::InvalidPicture);
    }
    m_scratchPicture = loaded.pixmap;
    return {};
}

QVariant Vistel::Picture(host::DispResult* result)
{
    const host::DispResult loaded = loadScratchPicture();
    if (result)
        *result = loaded;
    return m_picture;
}

host::DispResult Vistel::setPicture(const QVariant& path)
{
    m_picture = path;
    const host::DispResult loaded = loadScratchPicture();
    // The stored path has changed even when its file cannot be loaded.
    Q_EMIT PropertyChanged(QStringLiteral("Picture"));
    return loaded;
}

QString Vistel::Programme()
{
    const QString programme = m_programme;
    m_iconPath = programme;
    DrawTargetIcon();
    return programme;
}

bool Vistel::event(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal && !m_surfacePicture.isNull() &&
        !qFuzzyCompare(m_surfacePicture.devicePixelRatio(), devicePixelRatioF())) {
        // Drawing lets events run: not inside this one.
        QMetaObject::invokeMethod(
            this, [this] { DrawTargetIcon(); }, Qt::QueuedConnection);
    }
    return host::Control::event(event);
}

void Vistel::setProgramme(const QString& path)
{
    m_programme = path;
    m_iconPath = path;
    if (DrawTargetIcon())
        Q_EMIT PropertyChanged(QStringLiteral("Programme"));
}

host::DispResult Vistel::setBackStyle(int value)
{
    if (value != 0 && value != 1)
        return host::DispResult::failure(QStringLiteral("Invalid property value"),
                                         host::DispError::InvalidValue);
    m_backStyle = value;
    applyRegion();
    update();
    Q_EMIT PropertyChanged(QStringLiteral("BackStyle"));
    return {};
}

host::DispResult Vistel::setBorderStyle(int value)
{
    if (value != 0 && value != 1)
        return host::DispResult::failure(QStringLiteral("Invalid property value"),
                                         host::DispError::InvalidValue);
    m_borderStyle = value;
    update();
    Q_EMIT PropertyChanged(QStringLiteral("BorderStyle"));
    return {};
}

QVariant Vistel::getProperty(host::DispId id, host::DispResult* result)
{
    if (result)
        *result = {};
    switch (id) {
    case VistelDispId::AutoRedraw:
        return AutoRedraw();
    case VistelDispId::Picture:
        return Picture(result);
    case VistelDispId::Programme:
        return Programme();
    case VistelDispId::BackStyle:
        return BackStyle();
    case VistelDispId::BorderStyle:
        return BorderStyle();
    // Qt paints through a painter made for each paint: there is no lasting device context.
    case VistelDispId::hDC:
        return qlonglong(0);
    // The native window that shows the control; a child widget is not given a window of its own.
    case VistelDispId::hwnd:
        return static_cast<qlonglong>(effectiveWinId());
    default:
        if (result)
            *result =
                host::DispResult::failure(QStringLiteral("No property with dispatch identifier %1").arg(id),
                                          host::DispError::NoSuchMember);
        return {};
    }
}

host::DispResult Vistel::putProperty(host::DispId id, const QVariant& value)
{
    host::DispResult result;
    switch (id) {
    case VistelDispId::AutoRedraw: {
        bool flag = false;
        if (!host::coerce::toBoolean(value, &flag, &result))
            return result;
        setAutoRedraw(flag);
        return {};
    }
    case VistelDispId::Picture:
        return setPicture(value);
    case VistelDispId::Programme:
        setProgramme(value.toString());
        return {};
    case VistelDispId::BackStyle:
    case VistelDispId::BorderStyle: {
        int number = 0;
        if (!host::coerce::toInteger(value, &number, &result))
            return result;
        return id == VistelDispId::BackStyle ? setBackStyle(number) : setBorderStyle(number);
    }
    case VistelDispId::hDC:
    case VistelDispId::hwnd:
        return host::DispResult::failure(QStringLiteral("Property is read-only"), host::DispError::ReadOnly);
    default:
        return host::DispResult::failure(QStringLiteral("No property with dispatch identifier %1").arg(id),
                                         host::DispError::NoSuchMember);
    }
}

// --- persistence

void Vistel::InitProperties()
{
    m_autoRedraw = false;
    m_picture = QString();
    m_programme = QString();
    DrawTargetIcon();
}

void Vistel::ReadProperties(const host::PropertyBag& bag)
{
    m_autoRedraw = bag.ReadProperty(QStringLiteral("AutoRedraw"), false).toBool();
    m_picture = bag.ReadProperty(QStringLiteral("Picture"), QString());
    m_programme = bag.ReadProperty(QStringLiteral("Programme"), QString()).toString();
    int backStyle = 1;
    host::DispResult ignored;
    if (host::coerce::toInteger(bag.ReadProperty(QStringLiteral("BackStyle"), 1), &backStyle, &ignored) &&
        (backStyle == 0 || backStyle == 1)) {
        m_backStyle = backStyle;
        applyRegion();
        update();
    }
}

void Vistel::WriteProperties(host::PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("AutoRedraw"), m_autoRedraw, false);
    bag.WriteProperty(QStringLiteral("Picture"), m_picture, QString());
    bag.WriteProperty(QStringLiteral("Programme"), m_programme, QString());
    bag.WriteProperty(QStringLiteral("BackStyle"), m_backStyle, 1);
}

// --- drawing

bool Vistel::DrawTargetIcon()
{
    const quint64 generation = ++m_drawGeneration;
    const QPointer<Vistel> self(this);
    auto& services = platform::services();

    // Steps 3 to 5 look up the associated icon, drawn at its own size in the top-left corner. Where
    // the screen's pixels are not the logical ones, all is drawn in the screen's: the icon is taken
    // at the screen's ratio, not enlarged from the small one.
    const qreal ratio = devicePixelRatioF();
    const bool screenPixels = !qFuzzyCompare(ratio, 1.0);
    const auto inScreenPixels = [ratio, screenPixels](QSize logical) {
        return screenPixels ? host::devicepicture::deviceSize(logical, ratio) : logical;
    };
    const QPixmap icon = services.icons->iconFor(m_iconPath, inScreenPixels(QSize(32, 32)).width());
    // Steps 1 and 2: fresh surface and scratch images; the scratch keeps its background picture.
    // Only the corner the background picture and the icon can cover is drawn: the rest of the
    // control is see-through, however big the control is made.
    m_scratchSize = size();
    const QSize background = inScreenPixels(m_scratchPicture.size());
    const QSize area =
        inScreenPixels(m_scratchSize).boundedTo(background.expandedTo(icon.size())).expandedTo(QSize(1, 1));
    QImage surface(area, QImage::Format_RGB32);
    surface.fill(surfaceBackColor());
    QImage scratch(area, QImage::Format_RGB32);
    scratch.fill(scratchBackColor());
    {
        QPainter painter(&scratch);
        if (!m_scratchPicture.isNull())
            painter.drawImage(0, 0,
                              screenPixels
                                  ? host::devicepicture::scaled(m_scratchPicture.toImage(), background)
                                  : m_scratchPicture.toImage());
        // No icon, no drawing.
        if (!icon.isNull())
            painter.drawImage(0, 0, hardEdged(icon));
    }

    services.events->doEvents();
    if (!self)
        return false;
    if (generation != m_drawGeneration)
        return true;

    // Step 7: one-to-one copy skipping the scratch background colour. The control may have been
    // resized while events ran; the copy stays within the images drawn above.
    const QRgb key = scratchBackColor().rgb();
    const QSize copied = inScreenPixels(m_scratchSize).boundedTo(scratch.size());
    for (int y = 0; y < copied.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(surface.scanLine(y));
        for (int x = 0; x < copied.width(); ++x) {
            if ((from[x] | 0xFF000000u) != (key | 0xFF000000u))
                to[x] = from[x];
        }
    }

    services.events->doEvents();
    if (!self)
        return false;
    if (generation != m_drawGeneration)
        return true;

    // Step 10: the picture is the drawing, and its background colour becomes see-through.
    m_surfaceDrawn = QImage();
    if (screenPixels) {
        surface.setDevicePixelRatio(ratio);
        // Its mask keeps whole logical pixels: within them, the background is drawn transparent.
        m_surfaceDrawn = surface.convertToFormat(QImage::Format_ARGB32);
        const QRgb back = surfaceBackColor().rgb() & 0xFFFFFFU;
        for (int y = 0; y < m_surfaceDrawn.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_surfaceDrawn.scanLine(y));
            for (int x = 0; x < m_surfaceDrawn.width(); ++x) {
                if ((line[x] & 0xFFFFFFU) == back)
                    line[x] = 0;
            }
        }
    }
    m_surfacePicture = surface;
    applyRegion();
    update();
    return true;
}

void Vistel::applyRegion()
{
    if (m_backStyle == 1) {
        clearMask();
        return;
    }
    const qreal ratio = m_surfacePicture.devicePixelRatio();
    if (!m_surfacePicture.isNull() && !qFuzzyCompare(ratio, 1.0)) {
        // Drawn in the screen's pixels: every logical pixel of which the screen shows a part is kept.
        const QSize logical(qCeil(m_surfacePicture.width() / ratio),
                            qCeil(m_surfacePicture.height() / ratio));
        QRegion region =
            host::devicepicture::logicalRegion(m_surfacePicture, surfaceBackColor().rgb(), logical);
        setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
        return;
    }
    applyMaskPicture(this, m_surfacePicture.isNull() ? QPixmap() : QPixmap::fromImage(m_surfacePicture),
                     surfaceBackColor());
}

void Vistel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_backStyle == 1)
        painter.fillRect(rect(), surfaceBackColor());
    if (!m_surfaceDrawn.isNull())
        painter.drawImage(0, 0, m_surfaceDrawn);
    else if (!m_surfacePicture.isNull())
        painter.drawImage(0, 0, m_surfacePicture);
    if (m_borderStyle == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Vistel::UserControl_Resize()
{
    // picTmpIcon follows the control's size; the drawn image stays as it is.
    m_scratchSize = size();
    Q_EMIT Resize();
}

// --- events passed on unchanged

void Vistel::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT MouseDown(buttonMask(event->button()), shiftMask(event->modifiers()),
                     twipsX(event->position().x()), twipsY(event->position().y()));
}

void Vistel::mouseReleaseEvent(QMouseEvent* event)
{
    // The container may delete the control on its MouseUp (a button's release runs its click).
    const QPointer<Vistel> self(this);
    Q_EMIT MouseUp(buttonMask(event->button()), shiftMask(event->modifiers()), twipsX(event->position().x()),
                   twipsY(event->position().y()));
    if (self && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}

void Vistel::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()),
                     twipsX(event->position().x()), twipsY(event->position().y()));
}

void Vistel::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click raises DblClick instead of MouseDown.
    Q_EMIT DblClick();
}

void Vistel::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyDown(keyCode(event->key()), shiftMask(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() != 0)
        Q_EMIT KeyPress(text.at(0).unicode());
}

void Vistel::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    Q_EMIT KeyUp(keyCode(event->key()), shiftMask(event->modifiers()));
}

DOVI_CONTROL_LIBRARY(VISTEL_PROGID, Vistel, VistelLibraryTag)
