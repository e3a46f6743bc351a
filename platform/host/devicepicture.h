#pragma once

#include "platform/export.h"

#include <QImage>
#include <QPixmap>
#include <QRegion>

#include <vector>

// Skins drawn in a screen's own pixels. At a whole ratio each picture pixel becomes a square of
// screen pixels; at a fractional one (1.25, 1.5) some picture pixels take one screen pixel more than
// others, chosen the same from both edges: an outline keeps one width on every side, and the
// cut-out corners stay mirror images.
namespace host::devicepicture {

// For each of device pixels, the picture pixel it shows out of source; the same count of device
// pixels for a picture pixel and its mirror image.
DOVI_PLATFORM_EXPORT std::vector<int> symmetricMap(int source, int device);

// picture scaled to device pixels with symmetricMap in each direction.
DOVI_PLATFORM_EXPORT QImage scaled(const QImage& picture, QSize device);

// The size in screen pixels of a logical size at ratio.
DOVI_PLATFORM_EXPORT QSize deviceSize(QSize logical, qreal ratio);

// skin cut by mask in screen pixels: both are scaled to device with symmetricMap, and where the
// mask has maskColour the skin is transparent. A mask of another size than the skin cuts nothing.
DOVI_PLATFORM_EXPORT QImage cut(const QImage& skin, const QImage& mask, QRgb maskColour, QSize device);

// The logical pixels (of logical size) that show any device pixel of picture not in colour: where a
// widget cut by it keeps its mouse and its drawing.
DOVI_PLATFORM_EXPORT QRegion logicalRegion(const QImage& devicePicture, QRgb colour, QSize logical);

// The @2x sibling of a picture file ("XP_Up.bmp" gives "XP_Up@2x.bmp"); empty for an empty path.
DOVI_PLATFORM_EXPORT QString doubleSizePath(const QString& path);

} // namespace host::devicepicture
