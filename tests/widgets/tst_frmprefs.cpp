// The preferences dialog: opening and loading, the closing decision, the OK checks and the saving of
// the configuration, the position rule and the start-with-the-session entry.
#include "bar/modregeditrundovi.h"
#include "platform/linux/desktopentry.h"
#include "platform/linux/xdgautostart.h"
#include "tst_frmprefs_fixture.h"

#include <QAccessible>
#include <QProcess>
#include <QStandardPaths>

using namespace prefstest;
namespace pub = modDeclarePublic;

namespace {
// A desktop that notes, at each picture taken of it, whether the preferences dialog was on the screen.
class WatchedDesktop final : public platform::DesktopCapture {
public:
    QPixmap grab(const QRect& rect) override
    {
        dialogShownAtGrab << (dialog && dialog->isVisible());
        QPixmap picture(rect.size());
        picture.fill(Qt::darkCyan);
        return picture;
    }
    QWidget* dialog = nullptr;
    QList<bool> dialogShownAtGrab;
};
} // namespace

class tst_frmprefs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void partsAreNamedForScreenReaders_data();
    void partsAreNamedForScreenReaders();
    void opensOnThePageAsked_data();
    void opensOnThePageAsked();
    void loadsFromTheBar();
    void oneButtonBarDisablesDeleteAndUndo();
    void firstRunDefaults();
    void firstRunClosedBeforeAnyButtonWritesNothing();
    void everyPageTabIsShownWhole_data();
    void everyPageTabIsShownWhole();

    void okRefusesAnEmptyRequiredField_data();
    void okRefusesAnEmptyRequiredField();
    void okRefusesAMissingSkin();
    void okAsksAboutAButtonInCreation_data();
    void okAsksAboutAButtonInCreation();
    void okNamesTheEntryLackingATitle();
    void okWritesTheExactFileAndReloadsTheBar();
    void cancelAfterEditsWritesNothing();
    void cancelledOptionsStayCancelledAtTheNextOpening();
    void escapeIsCancel();
    void closeBoxSavesAsShown();
    void closeBoxSavesATitleStillBeingTyped();
    void closeBoxAsksAboutAButtonInCreation_data();
    void closeBoxAsksAboutAButtonInCreation();
    void closeBoxWithAnEmptyButtonInCreationSavesTheRest();
    void savedBarIsPaintedFromTheDesktopOnceTheDialogIsGone_data();
    void savedBarIsPaintedFromTheDesktopOnceTheDialogIsGone();
    void secondCloseDuringTheSaveIsNotTaken();
    void unwritableConfigurationKeepsTheDialogOpen();
    void unwritableConfigurationLeavesTheAutorunAsTheFileSays();

    void positionRule_data();
    void positionRule();
    void slidersMoveTheBarLive();
    void escapeWhileTypingAPositionLeavesTheBar();
    void barOnASecondScreenStaysThere();
    void iconMovingValueTakesDigitsOnly();

    void autorunCheckedTwiceLeavesOneEntry();
    void autorunUncheckedWithoutEntryChangesNothing();
    void autorunThatCannotBeWrittenIsReported();
    void autorunEntrySurvivesSpecialCharacters();

private:
    QByteArray twoButtons() const
    {
        return f.header() + "/usr/bin/xterm;;Terminal;1\r\n/usr/bin/gedit;;Editor;2\r\n";
    }
    Fixture f;
};

void tst_frmprefs::initTestCase()
{
    QVERIFY(f.makeFolder());
}

void tst_frmprefs::cleanup()
{
    f.stop();
}

void tst_frmprefs::partsAreNamedForScreenReaders_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("name");
    // Fields by their labels, the rest by what they stand for, glyph buttons in words.
    QTest::newRow("X field") << "txtPosX" << 1 << "\"X\" position";
    QTest::newRow("X field, French") << "txtPosX" << 0 << "Position \"X\"";
    QTest::newRow("title field") << "txtButtonTitle" << 1 << "Button title :";
    QTest::newRow("program field") << "txtAppPath" << 1 << "Program to launching :";
    QTest::newRow("window state list") << "List3" << 1 << "State of the program to launching";
    QTest::newRow("mask field") << "txtImgMask" << 1 << "Mask Picture for the button form :";
    QTest::newRow("pressed skin field") << "txtButtonDown" << 1 << "State of the \"Down Button\" :";
    QTest::newRow("released skin field") << "txtButtonUp" << 1 << "State of the \"Up Button\" :";
    QTest::newRow("pressed skin field, French") << "txtButtonDown" << 0 << "Etat du bouton \"Pressé\" :";
    QTest::newRow("left slider") << "HScroll1" << 1 << "Change the Dovi Left (X) position";
    QTest::newRow("buttons list") << "List1" << 1 << "Buttons list";
    QTest::newRow("order list, French") << "List2" << 0 << "Ordres des boutons";
    QTest::newRow("move up") << "cmdUp" << 1 << "Move up";
    QTest::newRow("move down, French") << "cmdDown" << 0 << "Descendre";
    QTest::newRow("browse") << "Command2_0" << 1 << "Browse…";
    QTest::newRow("browse, French") << "Command4" << 0 << "Parcourir…";
}

void tst_frmprefs::partsAreNamedForScreenReaders()
{
    QFETCH(QString, part);
    QFETCH(int, lang);
    QFETCH(QString, name);
    f.start(twoButtons());
    modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
    f.open();
    QWidget* widget = f.prefs->findChild<QWidget*>(part);
    QVERIFY(widget);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
}

void tst_frmprefs::opensOnThePageAsked_data()
{
    QTest::addColumn<int>("page");
    for (int page = 0; page < 5; ++page)
        QTest::addRow("page %d", page) << page;
}

void tst_frmprefs::opensOnThePageAsked()
{
    QFETCH(int, page);
    f.start(twoButtons());
    f.open(static_cast<qint16>(page));
    QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), page);
}

void tst_frmprefs::loadsFromTheBar()
{
    f.start(twoButtons());
    pub::CurrentLang = 1;
    f.open();
    QCOMPARE(f.prefs->windowTitle(), QStringLiteral("Dovi preferences..."));
    QCOMPARE(f.w<QTabWidget>("SSTab1")->tabText(2).remove(QLatin1Char('&')), QStringLiteral("Buttons list"));
    QCOMPARE(f.rows("List1"), QStringList({"1 -- Terminal", "2 -- Editor"}));
    QCOMPARE(f.rows("List2"), QStringList({"Terminal", "Editor"}));
    QCOMPARE(f.rows("List3"),
             QStringList({"1 - Normal windows", "2 - Minimized windows", "3 - Maximized windows"}));
    QCOMPARE(f.edit("txtAppPath")->text(), QStringLiteral("/usr/bin/xterm"));
    QCOMPARE(f.edit("txtButtonTitle")->text(), QStringLiteral("Terminal"));
    QCOMPARE(f.edit("txtButtonUp")->text(), f.skinUp());
    QCOMPARE(f.edit("txtButtonDown")->text(), f.skinDown());
    QCOMPARE(f.edit("txtImgMask")->text(), f.skinMask());
    QCOMPARE(f.edit("txtMovingIconValue")->text(), QStringLiteral("10"));
    QCOMPARE(f.prefs->maskColour(), 16744703u);
    QVERIFY(f.button("chkActiveIconMoving")->isChecked());
    QVERIFY(!f.button("chkWinPosOaver")->isChecked());
    QVERIFY(f.button("chkToolTip")->isChecked() == false); // the fixture turned the tips off
    QVERIFY(f.button("Option1_0")->isChecked());
    QVERIFY(f.button("Option2_0")->isChecked());
    QVERIFY(f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdUndoSuppr")->isEnabled());
    QVERIFY(!f.button("cmdCreateButton")->isEnabled());
    QVERIFY(f.prefs->saveOnClose());
    // A bar at 100, 50 pixels.
    QCOMPARE(f.edit("txtPosX")->text(), QStringLiteral("100"));
    QCOMPARE(f.w<QScrollBar>("HScroll1")->value(), 100);
    QCOMPARE(f.w<QLabel>("Label9")->text(), QStringLiteral("100"));
    QCOMPARE(f.edit("txtPosY")->text(), QStringLiteral("50"));
    QCOMPARE(f.w<QScrollBar>("HScroll2")->value(), 50);
    QCOMPARE(f.bar->Left(), 1500.0);
    // The screen less the bar: 1024 pixels less two buttons of 40.
    QCOMPARE(f.w<QScrollBar>("HScroll1")->maximum(), 1024 - 80);
    QCOMPARE(f.w<QScrollBar>("HScroll2")->maximum(), 768 - 40);
}

void tst_frmprefs::oneButtonBarDisablesDeleteAndUndo()
{
    f.start(f.header() + "/usr/bin/xterm;;Terminal;1\r\n");
    f.open();
    QVERIFY(!f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdUndoSuppr")->isEnabled());
    QVERIFY(f.button("cmdAdd")->isEnabled());
}

void tst_frmprefs::firstRunDefaults()
{
    f.start({});
    f.open();
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Premier lancement de Dovi...")}));
    QCOMPARE(f.edit("txtButtonUp")->text(), f.skinUp());
    QCOMPARE(f.edit("txtButtonDown")->text(), f.skinDown());
    QCOMPARE(f.edit("txtImgMask")->text(), f.skinMask());
    QCOMPARE(f.edit("txtPosX")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("txtPosY")->text(), QStringLiteral("0"));
    QVERIFY(!f.w<QScrollBar>("HScroll1")->isEnabled());
    QVERIFY(!f.w<QScrollBar>("HScroll2")->isEnabled());
    QCOMPARE(f.prefs->maskColour(), 15073535u);
    QCOMPARE(f.edit("txtMovingIconValue")->text(), QStringLiteral("10"));
    QVERIFY(f.button("chkExtractIcon")->isChecked());
    QVERIFY(!f.button("Command2_1")->isEnabled());
    QVERIFY(f.button("chkToolTip")->isChecked());
    QCOMPARE(pub::CfgGraphicMode, QStringLiteral("TRUE"));
    QCOMPARE(pub::CfgAlign, QStringLiteral("HORIZONTAL"));
    QVERIFY(!f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdCreateButton")->isEnabled());
    QCOMPARE(f.list("List1")->count(), 0);
}

void tst_frmprefs::firstRunClosedBeforeAnyButtonWritesNothing()
{
    f.start({});
    f.open().close();
    QVERIFY(!f.prefs->isVisible());
    QVERIFY(!QFile::exists(f.configPath()));
    QVERIFY(!pub::SetupDone);
}

void tst_frmprefs::everyPageTabIsShownWhole_data()
{
    QTest::addColumn<int>("lang");
    QTest::newRow("French") << 0;
    QTest::newRow("English") << 1;
}

void tst_frmprefs::everyPageTabIsShownWhole()
{
    // The French page names are longer than the dialog's design width: none may be cut or scrolled.
    QFETCH(int, lang);
    f.start(twoButtons());
    pub::CurrentLang = qint16(lang);
    f.open();
    QVERIFY(QTest::qWaitForWindowExposed(f.prefs.get()));
    const QTabBar* tabs = f.w<QTabWidget>("SSTab1")->tabBar();
    for (int page = 0; page < tabs->count(); ++page) {
        const QRect tab = tabs->tabRect(page);
        QVERIFY2(tabs->rect().contains(tab), qPrintable(tabs->tabText(page)));
        QVERIFY2(tab.width() >= tabs->fontMetrics().horizontalAdvance(tabs->tabText(page)),
                 qPrintable(tabs->tabText(page)));
    }
}

void tst_frmprefs::okRefusesAnEmptyRequiredField_data()
{
    QTest::addColumn<QByteArray>("field");
    for (const char* name :
         {"txtAppPath", "txtButtonDown", "txtButtonTitle", "txtButtonUp", "txtPosX", "txtPosY", "txtImgMask"})
        QTest::newRow(name) << QByteArray(name);
}

void tst_frmprefs::okRefusesAnEmptyRequiredField()
{
    QFETCH(QByteArray, field);
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.edit(field.constData())->clear();
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Informations manquantes")}));
    QVERIFY(f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
}

void tst_frmprefs::okRefusesAMissingSkin()
{
    f.start(twoButtons());
    pub::CurrentLang = 1;
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.edit("txtImgMask")->setText(f.folder() + QStringLiteral("/nothing.bmp"));
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Error:  < file not found... >")}));
    QCOMPARE(f.doubles->messages->shown.at(0).icon, platform::MsgIcon::Critical);
    QVERIFY(f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
}

void tst_frmprefs::okAsksAboutAButtonInCreation_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void tst_frmprefs::okAsksAboutAButtonInCreation()
{
    QFETCH(bool, yes);
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.click("chkWinPosOaver");
    f.click("cmdAdd");
    QVERIFY(f.prefs->creatingButton());
    f.type("txtButtonTitle", QStringLiteral("Files"));
    f.type("txtAppPath", QStringLiteral("/usr/bin/pcmanfm"));
    f.doubles->messages->answers.push_back(yes ? platform::MsgAnswer::Yes : platform::MsgAnswer::No);
    f.click("cmdOK");

    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Bouton en cours de création...")}));
    QCOMPARE(f.doubles->messages->shown.at(0).buttons, platform::MsgButtons::YesNo);
    QVERIFY(!f.prefs->isVisible());
    if (yes) {
        QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;1", "/usr/bin/gedit;;Editor;2",
                                                     "/usr/bin/pcmanfm;;Files;1"}));
        QCOMPARE(f.bar->Command1().ubound(), 3);
    } else {
        QCOMPARE(readAll(f.configPath()), before);
        // The button created on the bar for this opening is gone again.
        QCOMPARE(f.bar->Command1().ubound(), 2);
    }
}

void tst_frmprefs::okNamesTheEntryLackingATitle()
{
    f.start(f.header() + "/a;;A;1\r\n/b;;B;1\r\n/c;;;1\r\n");
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Erreur informations des boutons...")}));
    const QString text = f.doubles->messages->shown.at(0).text;
    QVERIFY2(text.contains(QStringLiteral("pour index : 3 dans la partie 'Titre du bouton' .")),
             qPrintable(text));
    QVERIFY(f.prefs->isVisible());
    QVERIFY(!f.prefs->saveOnClose());
    QCOMPARE(readAll(f.configPath()), before);
    // A refused close stays refused until the next OK.
    f.prefs->close();
    QVERIFY(f.prefs->isVisible());
}

void tst_frmprefs::okWritesTheExactFileAndReloadsTheBar()
{
    f.start(twoButtons());
    f.open();
    f.click("chkWinPosOaver");
    f.click("chkActiveToolTipText");
    f.click("Option2_1");
    f.type("txtPosX", QStringLiteral("120"));
    f.type("txtButtonTitle", QStringLiteral("Console"));
    f.list("List3")->setCurrentRow(2);
    f.type("txtMovingIconValue", QStringLiteral("4"));
    f.click("cmdOK");

    QVERIFY(f.doubles->messages->shown.isEmpty());
    QVERIFY(!f.prefs->isVisible());
    const QByteArray expected =
        "120 50\r\nFALSE\r\nTRUE\r\nTRUE\r\nFALSE\r\nFALSE\r\nTRUE\r\nVERTICAL\r\n4\r\n16744703\r\n" +
        f.skinUp().toUtf8() + "\r\n" + f.skinDown().toUtf8() + "\r\n" + f.skinMask().toUtf8() +
        "\r\n/usr/bin/xterm;;Console;3\r\n/usr/bin/gedit;;Editor;2\r\n";
    QCOMPARE(readAll(f.configPath()), expected);
    QVERIFY(!QFile::exists(f.folder() + QStringLiteral("/tmpconfig.txt")));
    // The bar shows what was written.
    host::ControlArray& buttons = f.bar->Command1();
    QCOMPARE(buttons.ubound(), 2);
    QCOMPARE(buttons.get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("Console"));
    QCOMPARE(buttons.get(1, ButtonDispId::OpenWindowsStyle).toInt(), 3);
    QCOMPARE(buttons.at(2)->extender().Top(), buttons.at(1)->extender().Height()); // a column now
    QCOMPARE(f.bar->Left(), 1800.0);
    QCOMPARE(pub::CfgOnTop, QStringLiteral("TRUE"));
    QCOMPARE(f.doubles->windows->keepAbove, std::optional<bool>(true));
    QVERIFY(!f.doubles->desktop->grabs.isEmpty());
    QCOMPARE(settings::InfosToolTip(), 1);
}

void tst_frmprefs::cancelAfterEditsWritesNothing()
{
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.click("Option2_1");
    f.type("txtButtonTitle", QStringLiteral("Console"));
    f.click("cmdAdd");
    f.type("txtButtonTitle", QStringLiteral("New"));
    f.type("txtAppPath", QStringLiteral("/bin/new"));
    f.click("cmdCreateButton");
    QCOMPARE(f.bar->Command1().ubound(), 3);
    f.list("List1")->setCurrentRow(1);
    f.list("List3")->setCurrentRow(0);
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::OpenWindowsStyle).toInt(), 1);
    f.click("cmdCancel");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
    QCOMPARE(f.bar->Command1().ubound(), 2);
    // The bar's button launches as the file says again.
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    // The option changed at once goes back with the rest of the opening.
    QCOMPARE(pub::CfgAlign, QStringLiteral("HORIZONTAL"));

    // The next opening shows the bar as it is and OK then saves.
    f.open();
    QCOMPARE(f.rows("List1"), QStringList({"1 -- Terminal", "2 -- Editor"}));
    QVERIFY(f.w<QRadioButton>("Option2_0")->isChecked());
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
}

void tst_frmprefs::cancelledOptionsStayCancelledAtTheNextOpening()
{
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.click("chkAutoLaunch");
    f.click("chkExtractIcon");
    f.click("Option1_1");
    f.click("Option2_1");
    f.doubles->dialogs->colours.push_back(0x0000FFu);
    f.click("Command3");
    QCOMPARE(pub::CfgAlign, QStringLiteral("VERTICAL"));
    f.click("cmdCancel");

    // Reopened for something else, the dialog shows the options as saved, and OK keeps them so.
    f.open();
    QVERIFY(!f.w<QCheckBox>("chkAutoLaunch")->isChecked());
    QVERIFY(!f.w<QCheckBox>("chkExtractIcon")->isChecked());
    QVERIFY(f.w<QRadioButton>("Option1_0")->isChecked());
    QVERIFY(f.w<QRadioButton>("Option2_0")->isChecked());
    QCOMPARE(f.prefs->maskColour(), 16744703u);
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
    QVERIFY(f.doubles->autostart->entries.isEmpty());
}

void tst_frmprefs::escapeIsCancel()
{
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    f.open();
    f.click("chkWinPosOaver");
    QTest::keyClick(f.prefs.get(), Qt::Key_Escape);
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
}

void tst_frmprefs::closeBoxSavesAsShown()
{
    // Written with LF ends: the saved file has CR LF, so it was written again.
    QByteArray config = twoButtons();
    config.replace("\r\n", "\n");
    f.start(config);
    f.open().close();
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), twoButtons());
    QCOMPARE(f.bar->Command1().ubound(), 2);
}

void tst_frmprefs::closeBoxAsksAboutAButtonInCreation_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void tst_frmprefs::closeBoxAsksAboutAButtonInCreation()
{
    QFETCH(bool, yes);
    f.start(twoButtons());
    f.open(2);
    f.click("chkWinPosOaver");
    f.click("cmdAdd");
    f.type("txtButtonTitle", QStringLiteral("Files"));
    f.type("txtAppPath", QStringLiteral("/usr/bin/pcmanfm"));
    f.doubles->messages->answers.push_back(yes ? platform::MsgAnswer::Yes : platform::MsgAnswer::No);
    f.prefs->close();

    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Bouton en cours de création...")}));
    QVERIFY(!f.prefs->isVisible());
    if (yes) {
        QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;1", "/usr/bin/gedit;;Editor;2",
                                                     "/usr/bin/pcmanfm;;Files;1"}));
        QCOMPARE(f.bar->Command1().ubound(), 3);
    } else {
        // Declined, the rest is saved as shown.
        QCOMPARE(readAll(f.configPath()).split('\n').at(2), QByteArray("TRUE\r"));
        QCOMPARE(f.buttonLines(),
                 QList<QByteArray>({"/usr/bin/xterm;;Terminal;1", "/usr/bin/gedit;;Editor;2"}));
        QCOMPARE(f.bar->Command1().ubound(), 2);
    }
}

void tst_frmprefs::closeBoxWithAnEmptyButtonInCreationSavesTheRest()
{
    f.start(twoButtons());
    f.open(2);
    f.click("chkWinPosOaver");
    f.click("cmdAdd");
    f.prefs->close();
    QVERIFY(f.messageTitles().isEmpty());
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()).split('\n').at(2), QByteArray("TRUE\r"));
    QCOMPARE(f.buttonLines().size(), 2);
}

void tst_frmprefs::savedBarIsPaintedFromTheDesktopOnceTheDialogIsGone_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("OK") << false;
    QTest::newRow("close box") << true;
}

void tst_frmprefs::savedBarIsPaintedFromTheDesktopOnceTheDialogIsGone()
{
    // The dialog opens over the bar: a picture taken while it is still shown puts it on the bar.
    QFETCH(bool, closeBox);
    f.start(twoButtons());
    auto owned = std::make_unique<WatchedDesktop>();
    WatchedDesktop* desktop = owned.get();
    platform::services().desktop = std::move(owned);
    desktop->dialog = &f.open();
    if (closeBox)
        f.prefs->close();
    else
        f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QVERIFY(!desktop->dialogShownAtGrab.isEmpty());
    QVERIFY(!desktop->dialogShownAtGrab.contains(true));
}

void tst_frmprefs::closeBoxSavesATitleStillBeingTyped()
{
    f.start(twoButtons());
    f.open();
    QLineEdit* title = f.edit("txtButtonTitle");
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("Console"));
    f.prefs->close();
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Console;1", "/usr/bin/gedit;;Editor;2"}));
}

void tst_frmprefs::secondCloseDuringTheSaveIsNotTaken()
{
    f.start(twoButtons());
    f.open();
    f.type("txtButtonTitle", QStringLiteral("Console"));
    // The user clicks again while the save lets events run.
    platform::testing::HookedEventPump* raw = platform::testing::installHookedEvents();
    raw->hook = [this] {
        f.click("cmdOK");
        f.click("cmdCancel");
        f.prefs->close();
    };
    f.click("cmdOK");
    QVERIFY(!raw->hook);
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Console;1", "/usr/bin/gedit;;Editor;2"}));
    QCOMPARE(f.bar->Command1().ubound(), 2);
    QCOMPARE(f.bar->Command1().get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("Console"));
}

void tst_frmprefs::unwritableConfigurationKeepsTheDialogOpen()
{
    f.start(twoButtons());
    const QByteArray before = readAll(f.configPath());
    // A folder where the temporary file would go: it can't be created.
    QVERIFY(QDir().mkdir(f.folder() + QStringLiteral("/tmpconfig.txt")));
    f.open();
    f.type("txtButtonTitle", QStringLiteral("Console"));
    f.click("cmdOK");
    QDir().rmdir(f.folder() + QStringLiteral("/tmpconfig.txt"));

    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Erreur d'enregistrement...")}));
    QVERIFY(f.prefs->isVisible());
    QCOMPARE(readAll(f.configPath()), before);
    QCOMPARE(f.prefs->workingSet().entry(1).title, QStringLiteral("Console"));
    QCOMPARE(f.bar->Command1().get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("Terminal"));
    // Once the folder is writable again, the same OK saves.
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines().at(0), QByteArray("/usr/bin/xterm;;Console;1"));
}

void tst_frmprefs::unwritableConfigurationLeavesTheAutorunAsTheFileSays()
{
    f.start(twoButtons());
    f.open();
    f.click("chkAutoLaunch");
    QVERIFY(QDir().mkdir(f.folder() + QStringLiteral("/tmpconfig.txt")));
    f.click("cmdOK");
    QDir().rmdir(f.folder() + QStringLiteral("/tmpconfig.txt"));
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Erreur d'enregistrement...")}));
    QVERIFY(f.prefs->isVisible());
    // The file still says FALSE: the bar does not start with the session, also after a Cancel.
    QVERIFY(f.doubles->autostart->entries.isEmpty());
    f.click("cmdCancel");
    QVERIFY(f.doubles->autostart->entries.isEmpty());
}

void tst_frmprefs::positionRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("slider");
    QTest::newRow("negative") << "-20"
                              << "0" << 0;
    QTest::newRow("over the maximum") << "5000"
                                      << "944" << 944;
    QTest::newRow("same value with a fraction") << "100.4"
                                                << "100" << 100;
    QTest::newRow("half to even") << "102.5"
                                  << "102" << 102;
    QTest::newRow("not a number") << "abc"
                                  << "0" << 0;
    QTest::newRow("empty") << ""
                           << "0" << 0;
}

void tst_frmprefs::positionRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, slider);
    f.start(twoButtons());
    f.open();
    f.type("txtPosX", typed);
    QCOMPARE(f.edit("txtPosX")->text(), shown);
    QCOMPARE(f.w<QScrollBar>("HScroll1")->value(), slider);
    QCOMPARE(f.bar->Left(), slider * 15.0);
    // Saving writes the same whole number (an empty field is refused by OK before that).
    if (typed.isEmpty())
        return;
    f.edit("txtPosX")->setText(typed);
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QVERIFY(readAll(f.configPath()).startsWith((shown + QStringLiteral(" 50\r\n")).toUtf8()));
}

void tst_frmprefs::slidersMoveTheBarLive()
{
    f.start(twoButtons());
    f.open(1);
    f.w<QScrollBar>("HScroll2")->setValue(300);
    QCOMPARE(f.w<QLabel>("Label10")->text(), QStringLiteral("300"));
    QCOMPARE(f.edit("txtPosY")->text(), QStringLiteral("300"));
    QCOMPARE(f.bar->Top(), 4500.0);
    // Cancel puts the bar back where the file has it, and the next opening shows it there.
    f.click("cmdCancel");
    QCOMPARE(f.bar->Top(), 750.0);
    f.open(1);
    QCOMPARE(f.edit("txtPosY")->text(), QStringLiteral("50"));
    f.type("txtPosX", QStringLiteral("300"));
    QCOMPARE(f.bar->Left(), 4500.0);
    f.click("cmdCancel");
    QCOMPARE(f.bar->Left(), 1500.0);
    f.open(1);
    f.click("cmdOK");
    QVERIFY(readAll(f.configPath()).startsWith("100 50\r\n"));
}

void tst_frmprefs::escapeWhileTypingAPositionLeavesTheBar()
{
    f.start(twoButtons());
    frmPrefs& prefs = f.open(1);
    prefs.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&prefs));
    // Typed and not yet left: the dialog closing takes the focus from the field as it goes.
    QLineEdit* x = f.edit("txtPosX");
    x->setFocus(Qt::OtherFocusReason);
    QVERIFY(x->hasFocus());
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("300"));
    QCOMPARE(f.bar->Left(), 1500.0);
    QTest::keyClick(&prefs, Qt::Key_Escape);
    QVERIFY(!prefs.isVisible());
    QCOMPARE(f.bar->Left(), 1500.0);
    QVERIFY(readAll(f.configPath()).startsWith("100 50\r\n"));
}

void tst_frmprefs::barOnASecondScreenStaysThere()
{
    f.start(twoButtons());
    f.doubles->screen->screens = {QRect(0, 0, 1024, 768), QRect(1024, 0, 1024, 768)};
    const QByteArray config = f.header("1500 50") + "/usr/bin/xterm;;Terminal;1\r\n";
    QVERIFY(writeAll(f.configPath(), config));
    QVERIFY(modPlaceButtons::PlaceButtons(*f.bar, f.configPath()));
    QCOMPARE(f.bar->Left(), 22500.0);

    // The position page reaches over both screens; an OK that did not touch it keeps the bar there.
    f.open(1);
    QCOMPARE(f.edit("txtPosX")->text(), QStringLiteral("1500"));
    QCOMPARE(f.w<QScrollBar>("HScroll1")->maximum(), 2048 - 40);
    f.click("cmdOK");
    QVERIFY(readAll(f.configPath()).startsWith("1500 50\r\n"));
    QCOMPARE(f.bar->Left(), 22500.0);
}

void tst_frmprefs::iconMovingValueTakesDigitsOnly()
{
    f.start(twoButtons());
    f.open(2);
    f.type("txtMovingIconValue", QStringLiteral("-5a7"));
    QCOMPARE(f.edit("txtMovingIconValue")->text(), QStringLiteral("57"));
    f.type("txtMovingIconValue", QStringLiteral("99999"));
    QCOMPARE(f.edit("txtMovingIconValue")->text(), QStringLiteral("32767"));
    f.type("txtMovingIconValue", QString());
    QCOMPARE(f.edit("txtMovingIconValue")->text(), QStringLiteral("0"));
}

void tst_frmprefs::autorunCheckedTwiceLeavesOneEntry()
{
    f.start(twoButtons());
    f.open().findChild<QCheckBox*>(QStringLiteral("chkAutoLaunch"))->setChecked(true);
    QCOMPARE(pub::CfgAutoLaunch, QStringLiteral("TRUE"));
    f.click("cmdOK");
    QCOMPARE(f.doubles->autostart->entries.size(), 1);
    QCOMPARE(readAll(f.configPath()).split('\n').at(1), QByteArray("TRUE\r"));

    // The program has moved: the next save points the entry at the new place.
    f.doubles->app->folder = f.folder() + QStringLiteral("/moved");
    QVERIFY(QDir().mkpath(f.doubles->app->folder));
    f.open();
    QVERIFY(f.button("chkAutoLaunch")->isChecked());
    f.prefs->close();
    QCOMPARE(f.doubles->autostart->entries.size(), 1);
    QCOMPARE(f.doubles->autostart->entries.value(QStringLiteral("Dovi")),
             f.folder() + QStringLiteral("/moved/Dovi"));
    QVERIFY(QFile::remove(f.doubles->app->folder + QStringLiteral("/DoviConfig.txt")));
}

void tst_frmprefs::autorunUncheckedWithoutEntryChangesNothing()
{
    f.start(twoButtons());
    f.open();
    f.click("cmdOK");
    QVERIFY(f.doubles->autostart->entries.isEmpty());
    QVERIFY(f.doubles->messages->shown.isEmpty());
    QVERIFY(!f.prefs->isVisible());
}

void tst_frmprefs::autorunThatCannotBeWrittenIsReported()
{
    // An autostart folder that cannot be written does not keep the preferences from being saved.
    f.start(twoButtons());
    f.doubles->autostart->writable = false;
    f.open();
    f.click("chkAutoLaunch");
    f.click("chkWinPosOaver");
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Lancement automatique de Dovi")}));
    QVERIFY(!f.prefs->isVisible());
    const QList<QByteArray> lines = readAll(f.configPath()).split('\n');
    QCOMPARE(lines.at(1), QByteArray("TRUE\r"));
    QCOMPARE(lines.at(2), QByteArray("TRUE\r"));
    QVERIFY(f.doubles->autostart->entries.isEmpty());
}

void tst_frmprefs::autorunEntrySurvivesSpecialCharacters()
{
    // The real entry file, under this test's own configuration folder.
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(configHome.contains(QStringLiteral("tst_frmprefs")));
    f.start(twoButtons());
    platform::services().autostart = std::make_unique<platform::XdgAutostart>();
    const QString entryFile = configHome + QStringLiteral("/autostart/Dovi.desktop");

    struct Case {
        QString folder;
        bool launchable; // gio refuses an Exec= whose program path holds a "%"
    };
    const QTemporaryDir root;
    const QList<Case> cases = {{root.filePath(QStringLiteral("my \"dir\" $HOME `x`")), true},
                               {root.filePath(QStringLiteral("my dir 100%")), false}};
    for (const Case& c : cases) {
        QVERIFY(QDir().mkpath(c.folder));
        f.doubles->app->folder = c.folder;
        const QString program = f.doubles->app->programPath();
        QVERIFY(modRegEditRunDovi::EnableAutoLaunch());
        QVERIFY(modRegEditRunDovi::EnableAutoLaunch()); // twice: still one entry
        const QString text = QString::fromUtf8(readAll(entryFile));
        QCOMPARE(platform::desktopentry::entryValue(text, QStringLiteral("Type")),
                 QStringLiteral("Application"));
        QCOMPARE(platform::desktopentry::entryValue(text, QStringLiteral("Name")), QStringLiteral("Dovi"));
        const auto args = platform::desktopentry::parseExec(platform::desktopentry::unescapeString(
            platform::desktopentry::entryValue(text, QStringLiteral("Exec"))));
        QVERIFY(args.has_value());
        QCOMPARE(*args, QStringList({program}));

        // The session's own launcher runs the program from that path.
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (c.launchable && !gio.isEmpty()) {
            const QString marker = root.filePath(QStringLiteral("launched.txt"));
            QVERIFY(writeAll(program, "#!/bin/sh\nprintf '%s' \"$0\" > \"$DOVI_MARKER\"\n"));
            QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
            QProcess launch;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DOVI_MARKER"), marker);
            launch.setProcessEnvironment(env);
            launch.start(gio, {QStringLiteral("launch"), entryFile});
            QVERIFY(launch.waitForFinished());
            QCOMPARE(launch.exitCode(), 0);
            QTRY_VERIFY(QFile::exists(marker));
            QTRY_COMPARE(QString::fromUtf8(readAll(marker)), program);
        }
    }
    QVERIFY(modRegEditRunDovi::DisableAutoLaunch());
    QVERIFY(!QFile::exists(entryFile));
    QVERIFY(modRegEditRunDovi::DisableAutoLaunch()); // none left: still no failure
}

QTEST_MAIN(tst_frmprefs)
#include "tst_frmprefs.moc"
