#pragma once

#include <QString>

class frmMain;

// Lays the bar out from a configuration file.
namespace modPlaceButtons {

// Removes the old buttons, reads the file at path, places and sizes the bar and creates one button per
// entry. When the file cannot be read the bar is left as it was and error tells file, line and reason.
bool PlaceButtons(frmMain& bar, const QString& path, QString* error = nullptr);

} // namespace modPlaceButtons
