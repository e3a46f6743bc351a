#pragma once

#include "platform/shellopener.h"

#include <QString>

#include <optional>

class frmMain;
class QWidget;

// Opening targets: a button's target, the author's site and a mail to the author.
namespace modStartProg {

// The show state for a button's OpenWindowsStyle: 1 normal, 2 minimized, 3 maximized, nothing else.
std::optional<platform::ShowState> showStateFor(int openWindowsStyle);

// "Open" target, no parameters, the system drive's root as working folder.
platform::ShellRequest requestFor(const QString& target, platform::ShowState show);

// Opens the target of element index of the bar's Command1. False when nothing was opened.
bool StartProgram(frmMain& bar, int index);

// Tells the user that target could not be opened.
void tellNotOpened(QWidget* parent, const QString& target);

// The project's web site and a mail to it. False when nothing could open them.
bool OpenAuthorSite();
bool MailAuthor();

} // namespace modStartProg
