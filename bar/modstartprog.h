#pragma once

#include "platform/shellopener.h"

#include <QString>

#include <optional>

class frmMain;

// Opening targets: a button's target, the author's site and a mail to the author.
namespace modStartProg {

// The show state for a button's OpenWindowsStyle: 1 normal, 2 minimized, 3 maximized, nothing else.
std::optional<platform::ShowState> showStateFor(int openWindowsStyle);

// "Open" target, no parameters, the system drive's root as working folder.
platform::ShellRequest requestFor(const QString& target, platform::ShowState show);

// Opens the target of element index of the bar's Command1. False when nothing was opened.
bool StartProgram(frmMain& bar, int index);

void OpenAuthorSite();
void MailAuthor();

} // namespace modStartProg
