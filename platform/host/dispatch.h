#pragma once

#include <QString>
#include <QtGlobal>
#include <QVariant>

#include <cmath>
#include <limits>

namespace host {

using DispId = qint32;

// Result codes of the library entry points.
enum HResult : long { S_Ok = 0, S_False = 1, E_Fail = -1, E_ClassNotAvailable = -2, E_NoInterface = -3 };

// Error numbers a failed property call carries, as the runtime numbers them.
namespace DispError {
constexpr long Overflow = 6;
constexpr long TypeMismatch = 13;
constexpr long FileNotFound = 53;
constexpr long InvalidValue = 380;
constexpr long ReadOnly = 383;
constexpr long NoSuchMember = 438;
constexpr long InvalidPicture = 481;
} // namespace DispError

// Outcome of a late-bound property get, put or method call: a failure carries a text the caller can
// show and the error number.
struct DispResult {
    bool ok = true;
    QString error;
    long number = 0;

    static DispResult success() { return {}; }
    static DispResult failure(const QString& why, long number = 0) { return {false, why, number}; }
    explicit operator bool() const { return ok; }
};

// The standard dispatch identifier of a control's font.
constexpr DispId DispIdFont = -512;

// Conversions of a put's value to the property's type, as the runtime coerces them; false when the
// value does not fit (then result says why).
namespace coerce {

inline bool toBoolean(const QVariant& value, bool* out, DispResult* result)
{
    if (value.typeId() == QMetaType::Bool) {
        *out = value.toBool();
        return true;
    }
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            *out = true;
            return true;
        }
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            *out = false;
            return true;
        }
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !value.isValid()) {
        *result = DispResult::failure(QStringLiteral("Type mismatch"), DispError::TypeMismatch);
        return false;
    }
    *out = number != 0.0;
    return true;
}

// Whole numbers round half to even, as the runtime's CInt and CLng do; True counts as -1.
inline bool toWhole(const QVariant& value, qint64 low, qint64 high, qint64* out, DispResult* result)
{
    double number = 0.0;
    if (value.typeId() == QMetaType::Bool) {
        number = value.toBool() ? -1.0 : 0.0;
    } else {
        bool ok = false;
        number = value.typeId() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok)
                                                      : value.toDouble(&ok);
        if (!ok || !value.isValid() || !std::isfinite(number)) {
            *result = DispResult::failure(QStringLiteral("Type mismatch"), DispError::TypeMismatch);
            return false;
        }
    }
    const double rounded = std::nearbyint(number);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
        *result = DispResult::failure(QStringLiteral("Overflow"), DispError::Overflow);
        return false;
    }
    *out = static_cast<qint64>(rounded);
    return true;
}

// A 16-bit Integer.
inline bool toInteger(const QVariant& value, int* out, DispResult* result)
{
    qint64 whole = 0;
    if (!toWhole(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), &whole,
                 result))
        return false;
    *out = static_cast<int>(whole);
    return true;
}

// A 32-bit Long; colours given as unsigned numbers up to 0xFFFFFFFF are taken bit for bit.
inline bool toLong(const QVariant& value, qint32* out, DispResult* result)
{
    qint64 whole = 0;
    if (!toWhole(value, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max(), &whole,
                 result))
        return false;
    *out = static_cast<qint32>(static_cast<quint32>(whole));
    return true;
}

} // namespace coerce

} // namespace host
