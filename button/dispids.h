#pragma once

#include "platform/host/dispatch.h"

// Dispatch identifiers of the launcher button (ProgID "DoviButton.UserControl1").
namespace ButtonDispId {
constexpr host::DispId BackColor = 0x68030013;
constexpr host::DispId ForeColor = 0x68030012;
constexpr host::DispId Enabled = 0x68030011;
constexpr host::DispId Font = host::DispIdFont;
constexpr host::DispId BackStyle = 0x68030010;
constexpr host::DispId BorderStyle = 0x6803000F;
constexpr host::DispId Refresh = 0x60030015;
constexpr host::DispId Icone = 0x6803000E;
constexpr host::DispId Programme = 0x6803000D;
constexpr host::DispId PictureUp = 0x6803000C;
constexpr host::DispId PictureDown = 0x6803000B;
constexpr host::DispId Button_Title = 0x6803000A;
constexpr host::DispId ToolTipText = 0x68030009;
constexpr host::DispId IconMove = 0x68030008;
constexpr host::DispId IconMovingValue = 0x68030007;
constexpr host::DispId OpenWindowsStyle = 0x68030006;
constexpr host::DispId GraphicMode = 0x68030005;
constexpr host::DispId TextModeTitle = 0x68030004;
constexpr host::DispId MaskColor = 0x68030003;
constexpr host::DispId ImageMask = 0x68030002;
constexpr host::DispId ExtractIcon = 0x68030001;
constexpr host::DispId Language = 0x68030000;
} // namespace ButtonDispId

// Event identifiers, in the order of the event interface.
namespace ButtonEventId {
constexpr int Click = 1, DblClick = 2, KeyDown = 3, KeyPress = 4, KeyUp = 5, MouseDown = 6, MouseMove = 7,
              MouseUp = 8;
} // namespace ButtonEventId

#define DOVIBUTTON_PROGID "DoviButton.UserControl1"
