#pragma once

#include "platform/messageboxes.h"

namespace platform {

class QtMessageBoxes final : public MessageBoxes {
public:
    MsgAnswer show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override;
};

} // namespace platform
