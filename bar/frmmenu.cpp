#include "bar/frmmenu.h"

#include "bar/frmabout.h"
#include "bar/frmlangue.h"
#include "bar/frmmain.h"
#include "bar/frmprefs.h"
#include "bar/frmtransparency.h"
#include "bar/mnemonics.h"
#include "bar/moddeclarepublic.h"
#include "bar/resstrings.h"

#include <QAction>
#include <QMenu>
#include <QScopedValueRollback>

using namespace modDeclarePublic;

namespace {
QAction* item(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* separator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}
} // namespace

frmMenu::frmMenu(frmMain& bar) : QWidget(&bar), m_bar(bar)
{
    setObjectName(QStringLiteral("frmMenu"));
    // A form that is never shown: only its menu pops up.
    hide();

    mnuFile = new QMenu(QStringLiteral("Fichier"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFilePrefs = mnuFile->addMenu(QStringLiteral("Préférences"));
    mnuFilePrefs->setObjectName(QStringLiteral("mnuFilePrefs"));
    mnuFilePrefsOptGeneral =
        item(mnuFilePrefs, "mnuFilePrefsOptGeneral", QStringLiteral("Options générales..."));
    mnuFilePrefsDoviPos = item(mnuFilePrefs, "mnuFilePrefsDoviPos", QStringLiteral("Position de Dovi..."));
    mnuFilePrefsAddBtn =
        item(mnuFilePrefs, "mnuFilePrefsAddBtn", QStringLiteral("Ajouter/Supprimer des boutons..."));
    mnuFilePrefsBtnOrder = item(mnuFilePrefs, "mnuFilePrefsBtnOrder", QStringLiteral("Ordre des boutons..."));
    mnuFilePrefsBtnSkn = item(mnuFilePrefs, "mnuFilePrefsBtnSkn", QStringLiteral("Skins des boutons..."));
    mnuFileLangue = item(mnuFile, "mnuFileLangue", QStringLiteral("Language..."));
    mnuFileTransparency = item(mnuFile, "mnuFileTransparency", QStringLiteral("Transparence de Dovi..."));
    SP2 = separator(mnuFile, "SP2");
    mnuFileReload = item(mnuFile, "mnuFileReload", QStringLiteral("Recharger"));
    SP1 = separator(mnuFile, "SP1");
    mnuFileAbout = item(mnuFile, "mnuFileAbout", QStringLiteral("A propos de Dovi..."));
    mnuFileExit = item(mnuFile, "mnuFileExit", QStringLiteral("Quitter"));

    connect(mnuFilePrefsOptGeneral, &QAction::triggered, this, &frmMenu::mnuFilePrefsOptGeneral_Click);
    connect(mnuFilePrefsDoviPos, &QAction::triggered, this, &frmMenu::mnuFilePrefsDoviPos_Click);
    connect(mnuFilePrefsAddBtn, &QAction::triggered, this, &frmMenu::mnuFilePrefsAddBtn_Click);
    connect(mnuFilePrefsBtnOrder, &QAction::triggered, this, &frmMenu::mnuFilePrefsBtnOrder_Click);
    connect(mnuFilePrefsBtnSkn, &QAction::triggered, this, &frmMenu::mnuFilePrefsBtnSkn_Click);
    connect(mnuFileLangue, &QAction::triggered, this, &frmMenu::mnuFileLangue_Click);
    connect(mnuFileTransparency, &QAction::triggered, this, &frmMenu::mnuFileTransparency_Click);
    connect(mnuFileReload, &QAction::triggered, this, &frmMenu::mnuFileReload_Click);
    connect(mnuFileAbout, &QAction::triggered, this, &frmMenu::mnuFileAbout_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmMenu::mnuFileExit_Click);

    Form_Load();
}

frmMenu::~frmMenu() = default;

void frmMenu::Form_Load()
{
    // Exactly 0 is French and exactly 1 English; any other flag keeps the design captions.
    if (CurrentLang == 0 || CurrentLang == 1)
        setCaptions(CurrentLang);
    mnemonics::assignTo(mnuFile);
}

void frmMenu::setCaptions(int lang)
{
    auto set = [lang](QAction* action, int frenchId) {
        action->setText(resstrings::choose(frenchId, frenchId + 1, lang));
    };
    mnuFilePrefs->setTitle(resstrings::choose(135, 136, lang));
    set(mnuFileTransparency, 137);
    set(mnuFileAbout, 139);
    set(mnuFileReload, 141);
    set(mnuFileExit, 143);
    set(mnuFilePrefsOptGeneral, 145);
    set(mnuFilePrefsDoviPos, 147);
    set(mnuFilePrefsAddBtn, 149);
    set(mnuFilePrefsBtnOrder, 151);
    set(mnuFilePrefsBtnSkn, 153);
}

void frmMenu::openPrefs(qint16 page)
{
    PrefsPage = page;
    // The dialog reads the bar's buttons, which lets events run, before it shows and takes the mouse.
    const QScopedValueRollback<bool> running(m_commandRunning, true);
    frmPrefs prefs(m_bar, &m_bar);
    prefs.exec();
    m_bar.unloadMenu();
}

void frmMenu::mnuFilePrefsOptGeneral_Click()
{
    openPrefs(0);
}

void frmMenu::mnuFilePrefsDoviPos_Click()
{
    openPrefs(1);
}

void frmMenu::mnuFilePrefsAddBtn_Click()
{
    openPrefs(2);
}

void frmMenu::mnuFilePrefsBtnOrder_Click()
{
    openPrefs(3);
}

void frmMenu::mnuFilePrefsBtnSkn_Click()
{
    openPrefs(4);
}

void frmMenu::mnuFileLangue_Click()
{
    LangFirstChoice = false;
    m_bar.unloadMenu();
    frmLangue langue(&m_bar);
    langue.exec();
}

void frmMenu::mnuFileTransparency_Click()
{
    frmTransparency transparency(m_bar, &m_bar);
    transparency.exec();
    m_bar.unloadMenu();
}

void frmMenu::mnuFileReload_Click()
{
    m_bar.Reload();
}

void frmMenu::mnuFileAbout_Click()
{
    frmAbout about(&m_bar);
    about.exec();
    m_bar.unloadMenu();
}

void frmMenu::mnuFileExit_Click()
{
    m_bar.unloadMenu();
    m_bar.close();
}
