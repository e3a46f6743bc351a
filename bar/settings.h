#pragma once

#include <QString>

// The per-user settings of the bar, each key with its reader, writer and default. The application is
// the program's title.
namespace settings {

// "GeneralSetLng"/"FirstLaunch": non-zero once the language has been chosen. Default 0.
int FirstLaunch();
bool saveFirstLaunch(int value);

// "GeneralSetLng"/"Lang": 0 French, 1 English. Default 0; any other stored value reads as 1.
int Lang();
bool saveLang(int value);

// "Transparency"/"Val_Trans": 0..255, 255 opaque. Default 255.
int ValTrans();
bool saveValTrans(int value);

// "Infos"/"ToolTip": 0 the tips window is shown, 1 never. Default 0.
int InfosToolTip();
bool saveInfosToolTip(int value);

// "Notices"/"Placement": 1 once the user was told that the desktop places the bar itself. Default 0.
int PlacementNotice();
bool savePlacementNotice(int value);

// "Notices"/"TakenKeys": the Super+digit keys the user was told another program holds, bit n for
// Super+n. Default 0.
int TakenKeysNotice();
bool saveTakenKeysNotice(int value);

// Deletes every setting of the program.
void deleteAll();

// True when the settings can be read and written, so that what was saved is what is read back.
bool storeKeeps();

// Why the settings cannot be kept, as a message for the user in the language given (0 French,
// otherwise English); empty when they can be read and written.
QString storeProblem(int lang);

} // namespace settings
