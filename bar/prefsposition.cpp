#include "bar/prefsposition.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace prefsposition {

int roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    rounded = std::clamp(rounded, static_cast<double>(std::numeric_limits<int>::min()),
                         static_cast<double>(std::numeric_limits<int>::max()));
    return static_cast<int>(rounded);
}

int sliderMaximum(int screenPixels, double barSizeTwips, int twipsPerPixel)
{
    if (twipsPerPixel <= 0)
        return 0;
    return std::max(0, roundHalfEven(screenPixels - barSizeTwips / twipsPerPixel));
}

int sliderValue(double edgeTwips, int twipsPerPixel, int maximum)
{
    if (twipsPerPixel <= 0)
        return 0;
    return std::clamp(roundHalfEven(edgeTwips / twipsPerPixel), 0, std::max(0, maximum));
}

Outcome apply(const QString& text, int maximum)
{
    maximum = std::max(0, maximum);
    // A plain character-code comparison: empty texts and texts starting with a space or a sign go to 0.
    if (QString::compare(text, QStringLiteral("0"), Qt::CaseSensitive) < 0)
        return {QStringLiteral("0"), 0};
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return {QStringLiteral("0"), 0};
    if (number > maximum)
        return {QString::number(maximum), maximum};
    const int value = std::clamp(roundHalfEven(number), 0, maximum);
    return {QString::number(value), value};
}

} // namespace prefsposition
