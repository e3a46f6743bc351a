#pragma once

class QWidget;

// Translucency of whole windows.
namespace modSetFormsTransparency {

// The lowest level a window is given: below it the bar could no longer be found on the desktop.
inline constexpr int MinimumLevel = 25;

// A level brought into MinimumLevel..255.
int clampLevel(int level);

// Whether windows can be translucent here. When that cannot be told, says so in a message and answers no.
bool IsLayeredWindowsOS();

// 255 makes an ordinary window again; any other level a translucent one with that opacity.
void SetFormTransparency(QWidget* form, int level);

} // namespace modSetFormsTransparency
