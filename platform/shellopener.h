#pragma once

#include "platform/export.h"

#include <QString>

namespace platform {

// Show states of a launched target's window.
enum class ShowState { Normal = 1, Minimized = 2, Maximized = 3 };

struct ShellRequest {
    QString verb;       // "Open"
    QString target;     // program, document, folder or URL
    QString parameters; // always empty for buttons
    QString folder;     // working folder of a started program
    ShowState show = ShowState::Normal;
};

// Opens programs, documents, folders and URLs; never through a command interpreter.
class DOVI_PLATFORM_EXPORT ShellOpener {
public:
    virtual ~ShellOpener();
    // False when the target could not be handed to a program at all.
    virtual bool open(const ShellRequest& request) = 0;
    // The working folder given to launched programs: the root of the system drive.
    virtual QString systemDriveRoot() const = 0;
    // After an open that failed because the system lacks something (a terminal emulator for a program
    // that runs in one): what is missing, in French for lang 0 and in English otherwise. Empty when
    // the target alone is to blame.
    virtual QString failureDetail(int /*lang*/) const { return {}; }
};

} // namespace platform
