#include "platform/linux/qteventpump.h"

#include <QCoreApplication>

namespace platform {

void QtEventPump::doEvents()
{
    QCoreApplication::processEvents();
}

} // namespace platform
