#pragma once

#include "platform/export.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reading and writing values of freedesktop.org Desktop Entry files.
namespace platform::desktopentry {

// One Exec= argument: quoted when it holds a reserved character, with " ` $ \ escaped inside.
DOVI_PLATFORM_EXPORT QString quoteArgument(const QString& argument);

// The whole Exec= value for a command line: quoted arguments, "%" written as "%%", and the
// string escapes (\\ \n \t \r) applied last, as the file format wants them.
DOVI_PLATFORM_EXPORT QString execValue(const QStringList& arguments);

// The reverse: the arguments an Exec= value stands for, with field codes (%f, %U, ...) left out;
// no value when the quoting is broken.
DOVI_PLATFORM_EXPORT std::optional<QStringList> parseExec(const QString& value);

// A string value as written after "Key=": \\ \n \t \r escaped, a leading blank as \s.
DOVI_PLATFORM_EXPORT QString escapeString(const QString& text);
DOVI_PLATFORM_EXPORT QString unescapeString(const QString& value);

// The value of key in the [Desktop Entry] group of a file's text, empty when it is not there.
DOVI_PLATFORM_EXPORT QString entryValue(const QString& fileText, const QString& key);

// What an application's entry starts: its Exec= arguments, field codes left out, the folder of its
// Path= (empty when it names none) and whether it runs in a terminal (Terminal=true). No value for an
// entry that cannot be started so: not of the Application type, or without a usable Exec=.
struct Command {
    QStringList arguments;
    QString folder;
    bool terminal = false;
};
DOVI_PLATFORM_EXPORT std::optional<Command> applicationCommand(const QString& fileText);

} // namespace platform::desktopentry
