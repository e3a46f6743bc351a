#pragma once

#include "platform/export.h"

#include <QString>

class QWidget;

namespace platform {

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Modal message boxes; the test double records them and answers from a script.
class DOVI_PLATFORM_EXPORT MessageBoxes {
public:
    virtual ~MessageBoxes();
    virtual MsgAnswer show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                           MsgButtons buttons = MsgButtons::Ok) = 0;
};

} // namespace platform
