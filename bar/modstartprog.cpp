#include "bar/modstartprog.h"

#include "bar/frmabout.h"
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "button/dispids.h"
#include "platform/services.h"

#include <QDir>

namespace modStartProg {

namespace {
bool openNormal(const QString& target)
{
    return platform::services().shell->open(requestFor(target, platform::ShowState::Normal));
}
} // namespace

std::optional<platform::ShowState> showStateFor(int openWindowsStyle)
{
    switch (openWindowsStyle) {
    case 1:
        return platform::ShowState::Normal;
    case 2:
        return platform::ShowState::Minimized;
    case 3:
        return platform::ShowState::Maximized;
    default:
        return std::nullopt;
    }
}

platform::ShellRequest requestFor(const QString& target, platform::ShowState show)
{
    platform::ShellRequest request;
    request.verb = QStringLiteral("Open");
    request.target = target;
    request.folder = platform::services().shell->systemDriveRoot();
    request.show = show;
    return request;
}

bool StartProgram(frmMain& bar, int index)
{
    const host::ControlArray& buttons = bar.Command1();
    const auto show =
        showStateFor(static_cast<qint16>(buttons.get(index, ButtonDispId::OpenWindowsStyle).toInt()));
    const QString target = buttons.get(index, ButtonDispId::Programme).toString();
    if (!show)
        return false;
    if (platform::services().shell->open(requestFor(target, *show)))
        return true;
    tellNotOpened(&bar, target);
    return false;
}

void tellNotOpened(QWidget* parent, const QString& target)
{
    // Nothing else would tell the user why the click did nothing.
    const QString text = modDeclarePublic::CurrentLang == 0 ? QStringLiteral("Dovi n'a pas pu ouvrir :\r\n%1")
                                                            : QStringLiteral("Dovi could not open:\r\n%1");
    QString message = text.arg(QDir::toNativeSeparators(target));
    // What the system lacks, when that is why: the user can install it.
    const QString detail = platform::services().shell->failureDetail(modDeclarePublic::CurrentLang);
    if (!detail.isEmpty())
        message += QStringLiteral("\r\n\r\n") + detail;
    platform::services().messages->show(parent, message, frmMain::versionTitle(), platform::MsgIcon::Warning);
}

bool OpenAuthorSite()
{
    return openNormal(frmAbout::authorSite());
}

bool MailAuthor()
{
    return openNormal(frmAbout::authorMail());
}

} // namespace modStartProg
