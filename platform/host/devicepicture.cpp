#include "platform/host/devicepicture.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace host::devicepicture {

std::vector<int> symmetricMap(int source, int device)
{
    std::vector<int> map(static_cast<size_t>(std::max(0, device)));
    if (source <= 0 || device <= 0)
        return map;
    // The left half of the device pixels shows the left half of the picture (its middle pixel
    // included), rounding down from the edge so that the edge pixel takes the larger share; the
    // right half is its mirror image, and an odd middle device pixel shows the picture's middle.
    const qint64 pictureHalf = (source + 1) / 2;
    const int deviceHalf = device / 2;
    for (int d = 0; d < deviceHalf; ++d) {
        const int src = static_cast<int>(d * pictureHalf / deviceHalf);
        map[static_cast<size_t>(d)] = src;
        map[static_cast<size_t>(device - 1 - d)] = source - 1 - src;
    }
    if (device % 2 == 1)
        map[static_cast<size_t>(deviceHalf)] = source / 2;
    return map;
}

QImage scaled(const QImage& picture, QSize device)
{
    if (picture.isNull() || device.isEmpty())
        return {};
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    if (device == source.size())
        return source;
    const std::vector<int> columns = symmetricMap(source.width(), device.width());
    const std::vector<int> rows = symmetricMap(source.height(), device.height());
    QImage result(device, QImage::Format_ARGB32);
    for (int y = 0; y < device.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(rows[static_cast<size_t>(y)]));
        auto* to = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < device.width(); ++x)
            to[x] = from[columns[static_cast<size_t>(x)]];
    }
    return result;
}

QSize deviceSize(QSize logical, qreal ratio)
{
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}

QImage cut(const QImage& skin, const QImage& mask, QRgb maskColour, QSize device)
{
    QImage result = scaled(skin, device);
    if (result.isNull() || mask.size() != skin.size())
        return result;
    const QImage cutter = scaled(mask, device);
    for (int y = 0; y < device.height(); ++y) {
        const auto* by = reinterpret_cast<const QRgb*>(cutter.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < device.width(); ++x) {
            if ((by[x] & 0xFFFFFFU) == (maskColour & 0xFFFFFFU))
                to[x] = 0;
        }
    }
    return result;
}

QRegion logicalRegion(const QImage& devicePicture, QRgb colour, QSize logical)
{
    QRegion region;
    if (devicePicture.isNull() || logical.isEmpty())
        return region;
    const QImage image = devicePicture.convertToFormat(QImage::Format_ARGB32);
    const double rx = double(image.width()) / logical.width();
    const double ry = double(image.height()) / logical.height();
    for (int y = 0; y < logical.height(); ++y) {
        const int top = static_cast<int>(std::floor(y * ry));
        const int bottom = std::min(image.height(), static_cast<int>(std::ceil((y + 1) * ry)));
        int runStart = -1;
        for (int x = 0; x <= logical.width(); ++x) {
            bool shown = false;
            if (x < logical.width()) {
                const int left = static_cast<int>(std::floor(x * rx));
                const int right = std::min(image.width(), static_cast<int>(std::ceil((x + 1) * rx)));
                for (int dy = top; dy < bottom && !shown; ++dy) {
                    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(dy));
                    for (int dx = left; dx < right && !shown; ++dx)
                        shown = (line[dx] & 0xFFFFFFU) != (colour & 0xFFFFFFU);
                }
            }
            if (shown && runStart < 0)
                runStart = x;
            if (!shown && runStart >= 0) {
                region += QRect(runStart, y, x - runStart, 1);
                runStart = -1;
            }
        }
    }
    return region;
}

QString doubleSizePath(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    return file.dir().filePath(base + QStringLiteral("@2x") +
                               (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix));
}

} // namespace host::devicepicture
