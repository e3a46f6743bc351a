#include "bar/moddeclarepublic.h"

namespace modDeclarePublic {

void reset()
{
    CurrentLang = 0;
    SetupDone = false;
    LangFirstChoice = false;
    FirstRun = false;
    RunFileCreated = false;
    TransparencyAvailable = false;
    TransparencyValue = 255;
    PrefsPage = 0;
    InfosTip = 0;
    CfgAutoLaunch.clear();
    CfgOnTop.clear();
    CfgIconMove.clear();
    CfgToolTip.clear();
    CfgExtractIcon.clear();
    CfgGraphicMode.clear();
    CfgAlign.clear();
    CfgMaskColor.clear();
}

} // namespace modDeclarePublic
