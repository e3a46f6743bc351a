#pragma once

#include <QString>

// The string table of bar/resources (ids 101 to 218), French on odd ids and English on the next one.
namespace resstrings {

// The text stored under an id, or the system's own where the stored one describes another system
// (platform::SystemInfo::ownText); an empty text for an id not in the table.
QString LoadResString(int id);

// The French text when lang is 0, the English one otherwise.
QString choose(int frenchId, int englishId, int lang);

// Makes the texts Qt draws itself (the buttons of message boxes, the file dialog) speak the bar's
// language: French when lang is 0, where Qt's translations are installed, English otherwise.
void useToolkitLanguage(int lang);

} // namespace resstrings
