#pragma once

#include "platform/appinfo.h"

namespace platform {

// The folder and path of the running executable; title and version from the build.
class QtAppInfo final : public AppInfo {
public:
    QtAppInfo();
    QString programFolder() const override;
    QString programPath() const override;
    QString title() const override;
    Version version() const override;

private:
    QString m_launcher;
};

} // namespace platform
