#pragma once

#include "platform/export.h"

#include <QString>
#include <QStringList>

// How a target given to the shell opener is handed on: what it is and the exact path or address.
namespace platform::shelltarget {

enum class Kind {
    Missing,  // nothing by that name: nothing can open it
    Program,  // a native executable or a script with a #! line: started directly
    Document, // a file for the desktop's opener (also an executable-looking file that is neither)
    Folder,
    Url, // an address with a scheme: http:, mailto:, ...
};

struct Resolved {
    Kind kind = Kind::Missing;
    // Absolute path for Program, Document and Folder; the address for Url.
    QString location;
};

// Relative paths are taken from folder; a bare name that is not there is looked up in searchPaths
// (the PATH folders when empty). A file: address is the local file it names. Nothing in the
// target is ever expanded or split: "$(...)", ";" or a leading "-" are just characters of a name.
DOVI_PLATFORM_EXPORT Resolved resolve(const QString& target, const QString& folder,
                                      const QStringList& searchPaths = {});

// True for "scheme:rest" with a scheme of two or more letters, so "C:\..." is not an address.
DOVI_PLATFORM_EXPORT bool looksLikeUrl(const QString& target);

} // namespace platform::shelltarget
