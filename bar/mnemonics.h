#pragma once

#include <QStringList>

class QMenu;
class QWidget;

// Alt+letter keys for the captions the program sets in its own texts, which carry none: the texts
// shown stay the same, with one letter underlined.
namespace mnemonics {

// Each caption with a mnemonic ("&" before a letter) that no caption before it has: the first free
// letter that starts a word, else the first free letter. A caption that has one already keeps it,
// and one without a free letter is left without. A "&" of the text itself is doubled.
QStringList assign(const QStringList& captions);

// The form's tabs, then its push buttons, check boxes and radio buttons, in the order they were
// made, as one set of letters.
void assignTo(QWidget* form);
// A menu's items, each menu with its own letters.
void assignTo(QMenu* menu);

} // namespace mnemonics
