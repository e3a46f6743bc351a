#pragma once

#include <QString>
#include <QtGlobal>

// The program state that every form and module of the bar shares.
namespace modDeclarePublic {

inline qint16 CurrentLang = 0;       // 0 French, 1 English
inline bool SetupDone = false;       // the first launch has been completed
inline bool LangFirstChoice = false; // the language chooser runs as part of the first launch
inline bool FirstRun = false;        // the run-marker file was created at this start
inline bool RunFileCreated = false;
inline bool TransparencyAvailable = false;
inline qint16 TransparencyValue = 255; // 255 opaque
inline qint16 PrefsPage = 0;           // page the preferences dialog opens on, 0..4
inline qint16 InfosTip = 0;            // tip shown by the tips window

// Bar-wide options, mirrors of lines 2 to 8 and 10 of the configuration file.
inline QString CfgAutoLaunch;
inline QString CfgOnTop;
inline QString CfgIconMove;
inline QString CfgToolTip;
inline QString CfgExtractIcon;
inline QString CfgGraphicMode;
inline QString CfgAlign;
inline QString CfgMaskColor;

// Back to the values at program start.
void reset();

// True when a text is chosen in English: any non-zero language flag.
inline bool english()
{
    return CurrentLang != 0;
}

} // namespace modDeclarePublic
