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
    if (!whyNot.isEmpty()) {
        sys.messages->show(nullptr,
                           modDeclarePublic::CurrentLang == 0
                               ? QStringLiteral("Impossible de lire la version de Windows")
                               : QStringLiteral("Impossible to read the version of Windows"),
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
