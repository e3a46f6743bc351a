// Feeds arbitrary bytes to the configuration reader; it must answer with a configuration or an error,
// and whatever it reads must survive a write and a second read unchanged.
#include "bar/configfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto result = configfile::parse(configfile::decode(bytes), QStringLiteral("DoviConfig.txt"));
    if (!result.ok()) {
        if (result.error.line < 1 || result.error.message(0).isEmpty() || result.error.message(1).isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray written = configfile::encode(configfile::format(*result.config));
    const auto again = configfile::parse(configfile::decode(written), QStringLiteral("DoviConfig.txt"));
    if (!again.ok() || configfile::encode(configfile::format(*again.config)) != written)
        std::abort();
    return 0;
}
