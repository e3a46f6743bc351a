#pragma once

#include "platform/host/dispatch.h"

// Dispatch identifiers of the picture control (ProgID "VistelPerso.Vistel").
namespace VistelDispId {
constexpr host::DispId AutoRedraw = 0x68030006;
constexpr host::DispId Picture = 0x68030005;
constexpr host::DispId Programme = 0x68030004;
constexpr host::DispId BackStyle = 0x68030003;
constexpr host::DispId BorderStyle = 0x68030002;
constexpr host::DispId hDC = 0x68030001;
constexpr host::DispId hwnd = 0x68030000;
} // namespace VistelDispId

// Event identifiers, in the order of the event interface.
namespace VistelEventId {
constexpr int Paint = 1, Click = 2, DblClick = 3, KeyDown = 4, KeyPress = 5, KeyUp = 6, MouseDown = 7,
              MouseMove = 8, MouseUp = 9, Resize = 10;
} // namespace VistelEventId

#define VISTEL_PROGID "VistelPerso.Vistel"
