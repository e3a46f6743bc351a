#pragma once

#include "platform/systeminfo.h"

namespace platform {

class XdgSystemInfo final : public SystemInfo {
public:
    QString locateTool() const override;
    bool startTool(const QString& path) override;
};

} // namespace platform
