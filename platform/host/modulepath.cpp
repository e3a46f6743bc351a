#include "platform/host/modulepath.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace host {

QString modulePathOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace host
