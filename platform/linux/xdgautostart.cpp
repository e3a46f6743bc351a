#include "platform/linux/xdgautostart.h"

namespace platform {

bool XdgAutostart::setEntry(const QString& name, const QString& programPath)
{
    Q_UNUSED(name);
    Q_UNUSED(programPath);
    return false;
}

bool XdgAutostart::removeEntry(const QString& name)
{
    Q_UNUSED(name);
    return true;
}

} // namespace platform
