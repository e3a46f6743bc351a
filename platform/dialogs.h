#pragma once

#include "platform/export.h"

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

} // namespace platform
