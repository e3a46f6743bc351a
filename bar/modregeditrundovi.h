#pragma once

#include <QString>

// Starting the bar with the user's session: one entry named "Dovi" whose data is the program's full path.
namespace modRegEditRunDovi {

// Name of the entry.
inline constexpr const char* EntryName = "Dovi";

// Writes (or rewrites) the named entry with data. False with the reason when it could not be written.
bool SetRegistryString(const QString& valueName, const QString& data, QString* error = nullptr);
// Removes the named entry; one that does not exist is no failure.
bool DeleteRegistryValue(const QString& valueName, QString* error = nullptr);

// The entry "Dovi" pointing at this program as it is now.
bool EnableAutoLaunch(QString* error = nullptr);
bool DisableAutoLaunch(QString* error = nullptr);

} // namespace modRegEditRunDovi
