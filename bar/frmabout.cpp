#include "bar/frmabout.h"

#include "bar/configfile.h"
#include "bar/mnemonics.h"
#include "bar/moddeclarepublic.h"
#include "bar/modstartprog.h"
#include "bar/resstrings.h"
#include "bar/ui_frmabout.h"
#include "platform/services.h"

#include <QFile>
#include <QFileInfo>

namespace {
// The texts are a few pages; a file far larger than that is not one of them and is left unread.
constexpr qint64 MaxTextBytes = 4 * 1024 * 1024;
constexpr int GapPixels = 8;

// The text as the text boxes show it: their own line breaks in place of CR LF.
QString forTextBox(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    layoutInTwips();
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &frmAbout::Command2_Click);
    Form_Load();
    fitButtons();
}

frmAbout::~frmAbout() = default;

QString frmAbout::authorMail()
{
    return QStringLiteral("mailto:dovi@example.org");
}

QString frmAbout::authorSite()
{
    return QStringLiteral("https://dovi.example.org");
}

void frmAbout::layoutInTwips()
{
    const auto& screen = *platform::services().screen;
    const int tppX = qMax(1, screen.twipsPerPixelX());
    const int tppY = qMax(1, screen.twipsPerPixelY());
    const auto place = [&](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(qRound(double(left) / tppX), qRound(double(top) / tppY),
                            qRound(double(width) / tppX), qRound(double(height) / tppY));
    };
    place(ui->Image1, 120, 120, 960, 960);
    place(ui->lblVersion, 1200, 240, 4455, 255);
    place(ui->lblDisclaimer, 1200, 600, 4455, 855);
    place(ui->Text1, 120, 1680, 5535, 1815);
    place(ui->Label1, 120, 3600, 5535, 255);
    place(ui->Text2, 120, 3960, 5535, 1935);
    place(ui->Command1, 120, 6000, 3855, 375);
    place(ui->Command2, 120, 6480, 3855, 375);
    place(ui->cmdOK, 4320, 6000, 1335, 375);
    place(ui->cmdSysInfo, 4320, 6480, 1335, 375);
    setFixedSize(qRound(5790.0 / tppX), qRound(6975.0 / tppY));
}

void frmAbout::fitButtons()
{
    // The right-hand buttons grow to the left when their caption needs more than the design width
    // with this system's fonts, as far as the link buttons allow.
    QPushButton* const right[] = {ui->cmdOK, ui->cmdSysInfo};
    int needed = 0;
    for (const QPushButton* button : right)
        needed = qMax(needed, button->sizeHint().width());
    const int leftmost =
        qMax(ui->Command1->geometry().right(), ui->Command2->geometry().right()) + 1 + GapPixels;
    for (QPushButton* button : right) {
        const QRect at = button->geometry();
        const int width = qMin(qMax(at.width(), needed), at.right() + 1 - leftmost);
        if (width > at.width())
            button->setGeometry(at.right() + 1 - width, at.y(), width, at.height());
    }
}

void frmAbout::Form_Load()
{
    using namespace modDeclarePublic;
    const bool english = CurrentLang != 0;
    const auto& app = *platform::services().app;

    setWindowTitle(resstrings::choose(103, 104, CurrentLang) + QLatin1Char(' ') + app.title());
    ui->lblDisclaimer->setText(
        english
            ? QStringLiteral("Dovi is free software, released under the MIT licence, without any warranty.")
            : QStringLiteral("Dovi est un logiciel libre, distribué sous la licence MIT, sans aucune "
                             "garantie."));
    ui->Label1->setText(resstrings::choose(207, 208, CurrentLang));
    ui->cmdSysInfo->setText(resstrings::choose(109, 110, CurrentLang));
    ui->Command1->setText(resstrings::choose(105, 106, CurrentLang));
    ui->Command2->setText(resstrings::choose(107, 108, CurrentLang));
    mnemonics::assignTo(this);
    // The additional informations are named by their label, its buddy; the licence by its own name.
    ui->Text1->setAccessibleName(QStringLiteral("Licence"));

    ui->lblVersion->setText(versionText());
    ui->Command1->setToolTip(authorMail());
    ui->Command2->setToolTip(authorSite());

    const QString folder = app.deliveredFolder() + QLatin1Char('/');
    ui->Text1->setPlainText(forTextBox(readTextFile(
        folder + (english ? QStringLiteral("Licence eng.txt") : QStringLiteral("Licence fr.txt")))));
    ui->Text2->setPlainText(
        forTextBox(readTextFile(folder + (english ? QStringLiteral("Informations eng.txt")
                                                  : QStringLiteral("Informations fr.txt")))));
}

QString frmAbout::versionText()
{
    const platform::Version version = platform::services().app->version();
    return QStringLiteral("Version %1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision);
}

QString frmAbout::readTextFile(const QString& path)
{
    // Only a file: opening a pipe would wait for a writer, and a device may have no end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaxTextBytes)
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    // Texts saved on Windows in its 8-bit code page read as they were written, like the configuration.
    const QString text = configfile::decode(bytes);

    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    // A last line without its line end still counts; a final line end opens no further line.
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1String("\r\n"));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::Command1_Click()
{
    if (!modStartProg::MailAuthor())
        modStartProg::tellNotOpened(this, authorMail());
}

void frmAbout::Command2_Click()
{
    if (!modStartProg::OpenAuthorSite())
        modStartProg::tellNotOpened(this, authorSite());
}

bool frmAbout::GetKeyValue(QString& keyValue)
{
    keyValue = platform::services().systemInfo->locateTool();
    return !keyValue.isEmpty();
}

void frmAbout::StartSysInfo()
{
    auto& services = platform::services();
    QString tool;
    if (GetKeyValue(tool) && services.systemInfo->startTool(tool))
        return;
    // The same French text whatever the language.
    services.messages->show(this,
                            QStringLiteral("Les informations système ne sont pas disponibles actuellement"),
                            services.app->title(), platform::MsgIcon::None, platform::MsgButtons::Ok);
}
