#pragma once

#include <QtGlobal>

// The platform layer is one shared library, so the program and both control libraries see one set of
// services and one control host.
#if defined(DOVI_PLATFORM_LIBRARY)
#define DOVI_PLATFORM_EXPORT Q_DECL_EXPORT
#else
#define DOVI_PLATFORM_EXPORT Q_DECL_IMPORT
#endif
