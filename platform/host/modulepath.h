#pragma once

#include "platform/export.h"

#include <QString>

namespace host {

// Full path of the library or program that holds the given address.
DOVI_PLATFORM_EXPORT QString modulePathOf(const void* address);

} // namespace host
