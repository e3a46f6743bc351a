#include "platform/linux/x11desktopcapture.h"

#include "platform/linux/x11util.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {

namespace {

QScreen* screenOfRect(const QRect& screenRect)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || screenRect.isEmpty())
        return nullptr;
    QScreen* screen = QGuiApplication::screenAt(screenRect.topLeft());
    return screen ? screen : QGuiApplication::primaryScreen();
}

// Only what lies on a screen is read from the server: a bar of many buttons can reach far beyond
// the screen's edge, and there is nothing to see there. That part stays black.
QPixmap placedOnBlack(const QRect& screenRect, const QRect& shown, const QPixmap& part)
{
    if (shown == screenRect)
        return part;
    QPixmap picture(screenRect.size());
    picture.fill(Qt::black);
    if (!part.isNull()) {
        QPainter painter(&picture);
        painter.drawPixmap(shown.topLeft() - screenRect.topLeft(), part);
    }
    return picture;
}

// The X screen's own pixels are 32-bit words of 8-bit red, green and blue, as QImage's RGB32 ones
// are, in the byte order of this machine.
bool rootHoldsRgb32(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if (setup->image_byte_order != (littleEndian ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST))
        return false;
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens)) {
        const xcb_screen_t* screen = screens.data;
        if (screen->root != root)
            continue;
        if (screen->root_depth != 24 && screen->root_depth != 32)
            return false;
        bool pixels32 = false;
        for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
            if (formats.data->depth == screen->root_depth)
                pixels32 = formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
        for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                const xcb_visualtype_t* visual = visuals.data;
                if (visual->visual_id == screen->root_visual)
                    return pixels32 && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 &&
                           visual->blue_mask == 0xff;
            }
        }
        return false;
    }
    return false;
}

// Watches the root window's wallpaper properties while its context lives (it is the context's child).
class BackgroundWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    BackgroundWatch(QObject* context, xcb_window_t root, std::array<xcb_atom_t, 2> properties,
                    std::function<void()> changed)
        : QObject(context), m_root(root), m_properties(properties), m_changed(std::move(changed))
    {
        // A setter may write both properties, and a fading one several times: one call for all.
        m_settle.setSingleShot(true);
        m_settle.setInterval(150);
        connect(&m_settle, &QTimer::timeout, this, [this] { m_changed(); });
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~BackgroundWatch() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    BackgroundWatch(const BackgroundWatch&) = delete;
    BackgroundWatch& operator=(const BackgroundWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != QByteArrayLiteral("xcb_generic_event_t"))
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == m_root && notify->atom != XCB_ATOM_NONE &&
            std::find(m_properties.begin(), m_properties.end(), notify->atom) != m_properties.end())
            m_settle.start();
        // Qt and other watchers of the root window see the event too.
        return false;
    }

private:
    xcb_window_t m_root;
    std::array<xcb_atom_t, 2> m_properties;
    std::function<void()> m_changed;
    QTimer m_settle;
};

} // namespace

void X11DesktopCapture::watchBackground(QObject* context, std::function<void()> changed)
{
    xcb_connection_t* c = x11::connection();
    if (!context || !changed || !c || !QCoreApplication::instance())
        return;
    const xcb_window_t root = x11::rootWindow(c);
    if (!root)
        return;
    const auto properties = x11::atoms(c, {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"});
    x11::addEventMask(c, root, XCB_EVENT_MASK_PROPERTY_CHANGE);
    new BackgroundWatch(context, root, properties, std::move(changed)); // owned by the context
}

QPixmap X11DesktopCapture::grab(const QRect& screenRect)
{
    QScreen* screen = screenOfRect(screenRect);
    if (!screen)
        return {};
    // Window 0 is the whole desktop, given relative to the screen asked.
    const QRect shown = screenRect.intersected(screen->virtualGeometry());
    const QPoint origin = screen->geometry().topLeft();
    QPixmap part;
    if (!shown.isEmpty())
        part = screen->grabWindow(0, shown.x() - origin.x(), shown.y() - origin.y(), shown.width(),
                                  shown.height());
    return placedOnBlack(screenRect, shown, part);
}

void X11DesktopCapture::request(const QRect& screenRect)
{
    forget();
    QScreen* screen = screenOfRect(screenRect);
    xcb_connection_t* c = x11::connection();
    const xcb_window_t root = c ? x11::rootWindow(c) : xcb_window_t(XCB_WINDOW_NONE);
    if (!screen || root == XCB_WINDOW_NONE || !rootHoldsRgb32(c, root) ||
        !qFuzzyCompare(screen->devicePixelRatio(), 1.0)) {
        m_pending.grabbed = grab(screenRect);
        return;
    }
    m_pending.rect = screenRect;
    m_pending.shown = screenRect.intersected(screen->virtualGeometry());
    if (m_pending.shown.isEmpty())
        return;
    // The root window spans the whole virtual desktop, in the same coordinates as the rectangle.
    m_pending.connection = c;
    m_pending.cookie =
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<qint16>(m_pending.shown.x()),
                      static_cast<qint16>(m_pending.shown.y()), static_cast<quint16>(m_pending.shown.width()),
                      static_cast<quint16>(m_pending.shown.height()), ~0U);
    xcb_flush(c);
}

QPixmap X11DesktopCapture::take()
{
    if (m_pending.grabbed || m_pending.rect.isEmpty()) {
        const QPixmap grabbed = m_pending.grabbed.value_or(QPixmap());
        forget();
        return grabbed;
    }
    QPixmap part;
    if (m_pending.connection) {
        const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
            xcb_get_image_reply(m_pending.connection, m_pending.cookie, nullptr), &std::free);
        m_pending.connection = nullptr;
        const QSize size = m_pending.shown.size();
        const qsizetype rowBytes = qsizetype(size.width()) * 4;
        if (reply && xcb_get_image_data_length(reply.get()) == rowBytes * size.height()) {
            QImage image(size, QImage::Format_RGB32);
            const uint8_t* data = xcb_get_image_data(reply.get());
            for (int y = 0; y < size.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                std::memcpy(row, data + rowBytes * y, static_cast<size_t>(rowBytes));
                // The server leaves the byte above the colour undefined; an RGB32 pixel has it set.
                for (int x = 0; x < size.width(); ++x)
                    row[x] |= 0xff000000U;
            }
            part = QPixmap::fromImage(std::move(image));
        }
    }
    const QPixmap picture = placedOnBlack(m_pending.rect, m_pending.shown, part);
    forget();
    return picture;
}

void X11DesktopCapture::forget()
{
    // A reply asked for and never read is thrown away when it comes.
    if (m_pending.connection)
        xcb_discard_reply(m_pending.connection, m_pending.cookie.sequence);
    m_pending = Pending();
}

} // namespace platform
