#include "platform/linux/x11desktopcapture.h"

#include "platform/linux/x11eventwatch.h"
#include "platform/linux/x11util.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSysInfo>

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

// The picture in a GetImage reply of a 32-bit drawable, as RGB32; null when the reply is not the size asked.
QPixmap pictureOfReply(const xcb_get_image_reply_t* reply, QSize size)
{
    const qsizetype rowBytes = qsizetype(size.width()) * 4;
    if (!reply || xcb_get_image_data_length(reply) != rowBytes * size.height())
        return {};
    QImage image(size, QImage::Format_RGB32);
    const uint8_t* data = xcb_get_image_data(reply);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::memcpy(row, data + rowBytes * y, static_cast<size_t>(rowBytes));
        // The server leaves the byte above the colour undefined; an RGB32 pixel has it set.
        for (int x = 0; x < size.width(); ++x)
            row[x] |= 0xff000000U;
    }
    return QPixmap::fromImage(std::move(image));
}

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

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
    const auto isWallpaper = [root, properties](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        return notify.window == root && notify.atom != XCB_ATOM_NONE &&
               std::find(properties.begin(), properties.end(), notify.atom) != properties.end();
    };
    // A setter may write both properties, and a fading one several times: one call for all.
    new X11EventWatch(context, isWallpaper, 150, std::move(changed)); // owned by the context
}

QPixmap X11DesktopCapture::wallpaper(const QRect& screenRect)
{
    xcb_connection_t* c = x11::connection();
    const xcb_window_t root = c ? x11::rootWindow(c) : xcb_window_t(XCB_WINDOW_NONE);
    if (root == XCB_WINDOW_NONE || screenRect.isEmpty() || !rootHoldsRgb32(c, root))
        return {};
    for (const xcb_atom_t property : x11::atoms(c, {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})) {
        // A setter that went may have left the property behind with a picture freed since: every
        // step fails quietly, and the next property or the screen itself is used instead.
        const std::optional<quint32> id = x11::idProperty(c, root, property);
        if (!id || *id == XCB_PIXMAP_NONE)
            continue;
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, *id), nullptr), &std::free);
        if (!geometry || geometry->depth != x11::rootDepth(c))
            continue;
        // The picture lies on the root from its corner; beyond it, the desktop shows black.
        const QRect shown = screenRect.intersected(QRect(0, 0, geometry->width, geometry->height));
        if (shown.isEmpty())
            continue;
        const Reply<xcb_get_image_reply_t> reply(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, *id,
                                              static_cast<qint16>(shown.x()), static_cast<qint16>(shown.y()),
                                              static_cast<quint16>(shown.width()),
                                              static_cast<quint16>(shown.height()), ~0U),
                                nullptr),
            &std::free);
        const QPixmap part = pictureOfReply(reply.get(), shown.size());
        if (!part.isNull())
            return placedOnBlack(screenRect, shown, part);
    }
    return {};
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
        const Reply<xcb_get_image_reply_t> reply(
            xcb_get_image_reply(m_pending.connection, m_pending.cookie, nullptr), &std::free);
        m_pending.connection = nullptr;
        part = pictureOfReply(reply.get(), m_pending.shown.size());
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
