#include "platform/linux/xdgsysteminfo.h"

namespace platform {

QString XdgSystemInfo::locateTool() const
{
    return {};
}

bool XdgSystemInfo::startTool(const QString& path)
{
    Q_UNUSED(path);
    return false;
}

} // namespace platform
