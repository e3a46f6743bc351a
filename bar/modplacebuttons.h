#pragma once

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

class frmMain;

// Lays the bar out from a configuration file.
namespace modPlaceButtons {

// Removes the old buttons, reads the file at path, places and sizes the bar and creates one button per
// entry. When the file cannot be read the bar is left as it was and error tells file, line and reason.
bool PlaceButtons(frmMain& bar, const QString& path, QString* error = nullptr);

// Sizes the bar to the row or column of its buttons (the template's size when there is none).
void SizeBar(frmMain& bar);

// Where the button loaded as element n goes, in twips: the first at the corner, every other one
// against the element before it ("VERTICAL" below, "HORIZONTAL" to the right, otherwise the corner).
QPointF nextPosition(const QString& align, int n, const QRectF& previous);

// The bar's size in twips from its first and last button ("VERTICAL" a column, anything else a row).
QSizeF barSize(const QString& align, const QRectF& first, const QRectF& last);

// Where a bar of the given rectangle (pixels) can be reached: where it is when a part of it is on a
// screen, otherwise as near as it gets inside the first screen.
QPoint reachablePosition(const QRect& bar, const QList<QRect>& screens);

// The screen that holds a bar (pixels): the one it covers most, else the first; an empty rectangle
// when no screen is known.
QRect screenHolding(const QRect& bar, const QList<QRect>& screens);

// The rectangles of buttons of the given sizes, chained as PlaceButtons does.
QList<QRectF> chain(const QString& align, const QList<QSizeF>& sizes);

} // namespace modPlaceButtons
