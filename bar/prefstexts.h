#pragma once

#include "bar/prefsworkingset.h"

#include <QString>
#include <QStringList>

// The texts of the preferences dialog that are not captions: list rows, messages and chooser settings.
// lang is the language flag: 0 French, any other value English, unless said otherwise.
namespace prefstexts {

struct Message {
    QString title;
    QString text;
};

struct Chooser {
    QString title;
    QString filter; // "description|pattern" pairs, for the file dialogs only
};

enum class ChooserKind { ButtonDown, ButtonUp, Program, Icon, Mask, MaskColour };

// The three window states, for 0 (French) and 1 (English) only; none for any other flag.
QStringList windowStates(int lang);

// A button-list row: "<n> -- <title>".
QString listRow(int n, const QString& title);
// The row of an entry marked for deletion, with the suffix of the language.
QString markedRow(int n, const QString& title, int lang);
// Whether a row reads as entry n marked for deletion, in either language.
bool isMarkedRow(const QString& rowText, int n, const QString& title);

Message firstRun(int lang);
Message iconFieldEmpty(int lang);
Message fieldsMissing(int lang);
Message skinNotFound(int lang);
Message buttonInCreation(int lang);
Message buttonLacksData(int entry, PrefsWorkingSet::Field field, int lang);
Message configNotWritten(const QString& reason, int lang);
// A chosen file whose path cannot go into the configuration: it holds a ";" or a line break.
Message refusedPath(const QString& path, int lang);
Message autostartNotWritten(const QString& reason, int lang);
Message barNotReloaded(const QString& reason, int lang);

Chooser chooser(ChooserKind kind, int lang);

} // namespace prefstexts
