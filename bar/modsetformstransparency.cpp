#include "bar/modsetformstransparency.h"

#include "bar/moddeclarepublic.h"
#include "platform/services.h"

#include <QtGlobal>

namespace modSetFormsTransparency {

int clampLevel(int level)
{
    return qBound(MinimumLevel, level, 255);
}

bool IsLayeredWindowsOS()
{
    platform::Services& sys = platform::services();
    QString whyNot;
    if (sys.windows->translucencyAvailable(&whyNot))
        return true;
    // The system says why it cannot tell: a window system that cannot be asked, a version of the
    // system that cannot be read.
    if (!whyNot.isEmpty()) {
        sys.messages->show(
            nullptr,
            (modDeclarePublic::CurrentLang == 0
                 ? QStringLiteral("Dovi ne peut pas savoir si ses fenêtres peuvent être "
                                  "translucides : ")
                 : QStringLiteral("Dovi cannot tell whether its windows can be translucent: ")) +
                whyNot,
            sys.app->title(), platform::MsgIcon::None);
    }
    return false;
}

void SetFormTransparency(QWidget* form, int level)
{
    if (form)
        platform::services().windows->setOpacity(form, clampLevel(level));
}

} // namespace modSetFormsTransparency
