#pragma once

namespace platform {
struct Services;
namespace linuxsvc {

// Fills every member with the implementation for Linux (X11).
void fillDefaults(Services& services);

} // namespace linuxsvc
} // namespace platform
