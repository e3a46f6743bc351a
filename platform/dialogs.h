#pragma once

#include "platform/export.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

namespace platform {

// File-open and colour dialogs; an empty optional means the user cancelled.
class DOVI_PLATFORM_EXPORT Dialogs {
public:
    virtual ~Dialogs();
    // filter is in the "description|pattern|description|pattern" form.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter) = 0;
    // Colour as one RGB number, red in the low byte.
    virtual std::optional<quint32> chooseColor(QWidget* parent, const QString& title) = 0;
};

// Where a dialog of size dialog opens so that the user sees it rather than the corner the anchor
// window (the bar) is in: centred on screen (the available part of the screen that holds the
// anchor). Nothing when the anchor's centre is in the middle third of the screen both ways, where
// the toolkit's placement, centred over the anchor, is as good.
DOVI_PLATFORM_EXPORT std::optional<QPoint> dialogPosition(const QRect& screen, const QRect& anchor,
                                                          const QSize& dialog);

// From now on, each dialog of the program (forms, message boxes, file and colour choosers) that its
// own code does not place opens at dialogPosition on the screen that holds anchor. Lasts as long as
// anchor.
DOVI_PLATFORM_EXPORT void placeDialogsBy(QWidget* anchor);

} // namespace platform
