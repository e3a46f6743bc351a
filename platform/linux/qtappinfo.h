#pragma once

#include "platform/appinfo.h"

namespace platform {

// The folders of the running executable, or the user's own folder where it cannot keep its files;
// title and version from the build.
class QtAppInfo final : public AppInfo {
public:
    QtAppInfo();
    QString programFolder() const override;
    QString executableFolder() const override;
    QString deliveredFolder() const override;
    QString programPath() const override;
    QString title() const override;
    Version version() const override;

    // $XDG_DATA_HOME/Dovi (~/.local/share/Dovi by default).
    static QString userFolder();
    // Makes the user's folder and, until its skins have their folders, copies the delivered skin
    // bitmaps into it, never anything else. False when the folder cannot be made.
    static bool prepareUserFolder(const QString& folder, const QString& delivered);

private:
    QString m_launcher;
    mutable QString m_programFolder;
};

} // namespace platform
