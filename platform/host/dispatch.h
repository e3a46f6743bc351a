#pragma once

#include <QString>
#include <QtGlobal>

namespace host {

using DispId = qint32;

// Result codes of the library entry points.
enum HResult : long { S_Ok = 0, S_False = 1, E_Fail = -1, E_ClassNotAvailable = -2, E_NoInterface = -3 };

// Outcome of a late-bound property put or method call: a failure carries a text the caller can show.
struct DispResult {
    bool ok = true;
    QString error;

    static DispResult success() { return {}; }
    static DispResult failure(const QString& why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

// The standard dispatch identifier of a control's font.
constexpr DispId DispIdFont = -512;

} // namespace host
