#pragma once

#include "platform/dialogs.h"

namespace platform {

class QtDialogs final : public Dialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<quint32> chooseColor(QWidget* parent, const QString& title) override;

    // "desc|pattern|desc|pattern" into the file dialog's ";;"-separated filters.
    static QString toQtFilter(const QString& filter);
};

} // namespace platform
