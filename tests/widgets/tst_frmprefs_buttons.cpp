// The button pages of the preferences dialog: list editing, order, buttons sharing a title, the file
// and colour choosers, and a first launch that ends with a working button on the bar.
#include "tst_frmprefs_fixture.h"

#include <QApplication>
#include <QTimer>

using namespace prefstest;
namespace pub = modDeclarePublic;

class tst_frmprefs_buttons : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void addCreateTwiceWithoutListClick();
    void firstCreateGivesEntryOne();
    void createSelectsTheNewRowAndLeavesCreationMode();
    void clickOnTheListLeavesCreationMode();
    void anIncompleteButtonCanBeDeleted();
    void deletingOneOfTwoDisablesDeleteOnTheOther();
    void titleCommittedOnLeavingGoesToTheEditedEntry();
    void targetAndIconStoredAtOnce();
    void rowWithEitherSuffixCountsAsMarked_data();
    void rowWithEitherSuffixCountsAsMarked();
    void windowStateSelectsItsRowAndWritesTheBarButton();
    void windowStateChosenWhileCreatingIsTheNewButtons();
    void extractIconSwitchesTheIconControls();
    void addShowsTheTipUnlessTurnedOff();

    void sameTitleDeleteOneKeepsTheOther();
    void sameTitleMoveKeepsBothWithTheirOwnData();

    void upOnTopAndDownOnLastChangeNothing();
    void upOnTheMiddleRow();
    void cancelKeepsTheOldOrderOkWritesTheNewOne();

    void fileChoosersTitlesAndFields_data();
    void fileChoosersTitlesAndFields();
    void chosenPathWithSeparatorIsRefused();
    void lineBreakNeverReachesTheFile();
    void chooserCancelChangesNothing();
    void colourChooser();
    void deleteAndUndoSwitchTheBrowseButtons();
    void browseButtonsFollowTheSelectedRow();

    void firstLaunchToAWorkingButton();
    void firstLaunchButtonTypedWithoutAddIsNotDropped();
    void firstLaunchKeepsTheConfigurationItFound();
    void firstLaunchWithoutACopyKeepsTheConfigurationItFound();

private:
    QByteArray threeButtons() const { return f.header() + "/a;;A;1\r\n/b;;B;2\r\n/c;;C;3\r\n"; }
    void create(const QString& title, const QString& program) const
    {
        f.click("cmdAdd");
        f.type("txtButtonTitle", title);
        f.type("txtAppPath", program);
        f.click("cmdCreateButton");
    }
    Fixture f;
};

void tst_frmprefs_buttons::initTestCase()
{
    QVERIFY(f.makeFolder());
}

void tst_frmprefs_buttons::cleanup()
{
    f.stop();
}

void tst_frmprefs_buttons::addCreateTwiceWithoutListClick()
{
    f.start(threeButtons());
    f.open(2);
    create(QStringLiteral("D"), QStringLiteral("/d"));
    create(QStringLiteral("E"), QStringLiteral("/e"));
    QCOMPARE(f.rows("List1"), QStringList({"1 -- A", "2 -- B", "3 -- C", "4 -- D", "5 -- E"}));
    QCOMPARE(f.rows("List2"), QStringList({"A", "B", "C", "D", "E"}));
    const PrefsWorkingSet& set = f.prefs->workingSet();
    QCOMPARE(set.entry(4).program, QStringLiteral("/d"));
    QCOMPARE(set.entry(5).program, QStringLiteral("/e"));
    QCOMPARE(set.entry(5).title, QStringLiteral("E"));
    // Each has its hidden button on the bar at once.
    QCOMPARE(f.bar->Command1().get(4, ButtonDispId::Programme).toString(), QStringLiteral("/d"));
    QVERIFY(!f.bar->Command1().at(5)->extender().Visible());
    QVERIFY(pub::SetupDone);
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/b;;B;2", "/c;;C;3", "/d;;D;1", "/e;;E;1"}));
}

void tst_frmprefs_buttons::firstCreateGivesEntryOne()
{
    f.start({});
    f.open(2);
    create(QStringLiteral("One"), QStringLiteral("/one"));
    create(QStringLiteral("Two"), QStringLiteral("/two"));
    QCOMPARE(f.rows("List1"), QStringList({"1 -- One", "2 -- Two"}));
    QCOMPARE(f.prefs->workingSet().count(), 2);
    QCOMPARE(f.bar->Command1().get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("One"));
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::Button_Title).toString(), QStringLiteral("Two"));
}

void tst_frmprefs_buttons::createSelectsTheNewRowAndLeavesCreationMode()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    create(QStringLiteral("D"), QStringLiteral("/d"));
    QVERIFY(!f.prefs->creatingButton());
    QCOMPARE(f.list("List1")->currentRow(), 3);
    QVERIFY(f.button("cmdAdd")->isEnabled());
    QVERIFY(f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdCreateButton")->isEnabled());
    // Later edits go to the new button, not to the row selected before.
    f.type("txtAppPath", QStringLiteral("/d2"));
    f.type("txtButtonTitle", QStringLiteral("D2"));
    f.list("List3")->setCurrentRow(1);
    const PrefsWorkingSet& set = f.prefs->workingSet();
    QCOMPARE(set.entry(2).program, QStringLiteral("/b"));
    QCOMPARE(set.entry(2).title, QStringLiteral("B"));
    QCOMPARE(set.entry(4).program, QStringLiteral("/d2"));
    QCOMPARE(set.entry(4).title, QStringLiteral("D2"));
    QCOMPARE(f.bar->Command1().get(4, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/b;;B;2", "/c;;C;3", "/d2;;D2;2"}));
}

void tst_frmprefs_buttons::clickOnTheListLeavesCreationMode()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(2);
    f.click("cmdAdd");
    QVERIFY(f.prefs->creatingButton());
    QVERIFY(!f.button("cmdAdd")->isEnabled());
    QVERIFY(!f.button("cmdDel")->isEnabled());
    f.type("txtAppPath", QStringLiteral("/typed"));
    // A click on the row that is selected already.
    QListWidget* list = f.list("List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    QVERIFY(!f.prefs->creatingButton());
    QCOMPARE(f.edit("txtAppPath")->text(), QStringLiteral("/c"));
    QCOMPARE(f.prefs->workingSet().entry(3).program, QStringLiteral("/c"));
    QCOMPARE(f.prefs->workingSet().count(), 3);
}

void tst_frmprefs_buttons::anIncompleteButtonCanBeDeleted()
{
    // Typed by hand: a button without target nor title.
    f.start(f.header() + "/a;;A;1\r\n/b;;B;1\r\n;;;1\r\n");
    QCOMPARE(f.bar->Command1().ubound(), 3);
    f.open(2);
    f.list("List1")->setCurrentRow(2);
    f.click("cmdDel");
    QVERIFY(!f.edit("txtAppPath")->isEnabled());
    // Saved with the marked row selected, whose empty fields can no longer be filled in.
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList());
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/b;;B;1"}));
    QCOMPARE(f.bar->Command1().ubound(), 2);
}

void tst_frmprefs_buttons::deletingOneOfTwoDisablesDeleteOnTheOther()
{
    f.start(f.header() + "/a;;A;1\r\n/b;;B;1\r\n");
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    f.click("cmdDel");
    QCOMPARE(f.rows("List1"), QStringList({"1 -- A", "2 -- B >> Prêt à être supprimé."}));
    QCOMPARE(f.rows("List2"), QStringList({"A"}));
    QVERIFY(!f.button("cmdDel")->isEnabled());
    QVERIFY(f.button("cmdUndoSuppr")->isEnabled());
    QVERIFY(!f.edit("txtAppPath")->isEnabled());
    f.list("List1")->setCurrentRow(0);
    QVERIFY(!f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdUndoSuppr")->isEnabled());
    QVERIFY(f.edit("txtAppPath")->isEnabled());
    // Back on the marked row: undo restores it at the end of the order.
    f.list("List1")->setCurrentRow(1);
    f.click("cmdUndoSuppr");
    QCOMPARE(f.rows("List1"), QStringList({"1 -- A", "2 -- B"}));
    QCOMPARE(f.rows("List2"), QStringList({"A", "B"}));
    QVERIFY(f.button("cmdDel")->isEnabled());
}

void tst_frmprefs_buttons::titleCommittedOnLeavingGoesToTheEditedEntry()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    QLineEdit* title = f.edit("txtButtonTitle");
    title->selectAll();
    title->del();
    QTest::keyClicks(title, QStringLiteral("Bee"));
    QCOMPARE(f.prefs->workingSet().entry(2).title, QStringLiteral("B")); // not on every key
    // Clicking another row: the field loses the focus before the list changes its selection.
    f.leave("txtButtonTitle");
    f.list("List1")->setCurrentRow(2);
    QCOMPARE(f.prefs->workingSet().entry(2).title, QStringLiteral("Bee"));
    QCOMPARE(f.prefs->workingSet().entry(3).title, QStringLiteral("C"));
    QCOMPARE(f.edit("txtButtonTitle")->text(), QStringLiteral("C"));
    QCOMPARE(f.rows("List2"), QStringList({"A", "Bee", "C"}));
    QCOMPARE(f.rows("List1"), QStringList({"1 -- A", "2 -- B", "3 -- C"}));

    // The same without a focus change reaching the field (a click straight into the list).
    QTest::keyClicks(f.edit("txtButtonTitle"), QStringLiteral("ee"));
    f.list("List1")->setCurrentRow(0);
    QCOMPARE(f.prefs->workingSet().entry(3).title, QStringLiteral("Cee"));
    QCOMPARE(f.prefs->workingSet().entry(1).title, QStringLiteral("A"));
}

void tst_frmprefs_buttons::targetAndIconStoredAtOnce()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    QTest::keyClicks(f.edit("txtAppPath"), QStringLiteral("x"));
    QCOMPARE(f.prefs->workingSet().entry(2).program, QStringLiteral("/bx"));
    QTest::keyClicks(f.edit("txtIconPath"), QStringLiteral("/i.ico"));
    QCOMPARE(f.prefs->workingSet().entry(2).icon, QStringLiteral("/i.ico"));
    // A ";" would cut the button line apart.
    QTest::keyClicks(f.edit("txtAppPath"), QStringLiteral(";y"));
    QCOMPARE(f.prefs->workingSet().entry(2).program, QStringLiteral("/bxy"));
    QCOMPARE(f.rows("List1").at(1), QStringLiteral("2 -- B"));
}

void tst_frmprefs_buttons::rowWithEitherSuffixCountsAsMarked_data()
{
    QTest::addColumn<int>("markedIn");
    QTest::newRow("French suffix") << 0;
    QTest::newRow("English suffix") << 1;
}

void tst_frmprefs_buttons::rowWithEitherSuffixCountsAsMarked()
{
    QFETCH(int, markedIn);
    f.start(threeButtons());
    pub::CurrentLang = static_cast<qint16>(markedIn);
    f.open(2);
    f.list("List1")->setCurrentRow(2);
    f.click("cmdDel");
    QCOMPARE(f.rows("List1").at(2), markedIn == 0 ? QStringLiteral("3 -- C >> Prêt à être supprimé.")
                                                  : QStringLiteral("3 -- C >> Loan has to be removed."));
    pub::CurrentLang = static_cast<qint16>(1 - markedIn);
    f.list("List1")->setCurrentRow(0);
    f.list("List1")->setCurrentRow(2);
    QVERIFY(f.button("cmdUndoSuppr")->isEnabled());
    QVERIFY(!f.button("cmdDel")->isEnabled());
    QVERIFY(!f.button("cmdAdd")->isEnabled());
    QVERIFY(!f.edit("txtButtonTitle")->isEnabled());
}

void tst_frmprefs_buttons::windowStateSelectsItsRowAndWritesTheBarButton()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    QCOMPARE(f.list("List3")->currentItem()->text(), QStringLiteral("2 - Fenêtre minimizée"));
    f.list("List1")->setCurrentRow(2);
    QCOMPARE(f.list("List3")->currentRow(), 2);
    f.list("List3")->setCurrentRow(0);
    QCOMPARE(f.bar->Command1().get(3, ButtonDispId::OpenWindowsStyle).toInt(), 1);
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::OpenWindowsStyle).toInt(), 2);
}

void tst_frmprefs_buttons::windowStateChosenWhileCreatingIsTheNewButtons()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(2);
    f.click("cmdAdd");
    // The list shows what the new button gets unless another state is chosen.
    QCOMPARE(f.list("List3")->currentRow(), 0);
    f.type("txtButtonTitle", QStringLiteral("D"));
    f.type("txtAppPath", QStringLiteral("/d"));
    f.list("List3")->setCurrentRow(1);
    // The row still selected in the list keeps its own state.
    QCOMPARE(f.bar->Command1().get(3, ButtonDispId::OpenWindowsStyle).toInt(), 3);
    f.click("cmdCreateButton");
    QCOMPARE(f.bar->Command1().get(4, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    // The next button made without a choice opens normally.
    create(QStringLiteral("E"), QStringLiteral("/e"));
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/b;;B;2", "/c;;C;3", "/d;;D;2", "/e;;E;1"}));
}

void tst_frmprefs_buttons::extractIconSwitchesTheIconControls()
{
    f.start(threeButtons());
    f.open(0);
    QVERIFY(f.button("Command2_1")->isEnabled());
    f.click("chkExtractIcon");
    QCOMPARE(pub::CfgExtractIcon, QStringLiteral("TRUE"));
    for (const char* name : {"chkActiveIconMoving", "txtIconPath", "Command2_1", "txtMovingIconValue"})
        QVERIFY2(!f.w<QWidget>(name)->isEnabled(), name);
    // Selecting a row keeps the icon field off while icons are extracted.
    f.list("List1")->setCurrentRow(1);
    QVERIFY(!f.edit("txtIconPath")->isEnabled());
    f.click("cmdOK");
    QCOMPARE(readAll(f.configPath()).split('\n').at(5), QByteArray("TRUE\r"));

    // Unchecked, icon paths are required: a button without one is refused.
    f.open(0);
    f.click("chkExtractIcon");
    QCOMPARE(pub::CfgExtractIcon, QStringLiteral("FALSE"));
    QVERIFY(f.button("Command2_1")->isEnabled());
    f.click("cmdOK");
    QCOMPARE(f.messageTitles().last(), QStringLiteral("Erreur informations des boutons..."));
    QVERIFY(f.doubles->messages->shown.last().text.contains(QStringLiteral("'Icône du bouton' .")));
    QVERIFY(f.prefs->isVisible());
}

void tst_frmprefs_buttons::addShowsTheTipUnlessTurnedOff()
{
    f.start(threeButtons());
    settings::saveInfosToolTip(0);
    f.open(2);
    QString shownTip;
    // The tips window is modal: note what it shows and close it.
    QTimer::singleShot(0, this, [&] {
        if (QWidget* tip = QApplication::activeModalWidget()) {
            shownTip = tip->objectName();
            tip->close();
        }
    });
    f.click("cmdAdd");
    QCOMPARE(shownTip, QStringLiteral("frmInfos"));
    QCOMPARE(pub::InfosTip, qint16(0));

    settings::saveInfosToolTip(1);
    pub::InfosTip = -1;
    f.list("List1")->setCurrentRow(0);
    f.click("cmdAdd");
    QCOMPARE(pub::InfosTip, qint16(-1));
}

void tst_frmprefs_buttons::sameTitleDeleteOneKeepsTheOther()
{
    f.start(f.header() +
            "/usr/bin/gedit;;Editor;1\r\n/usr/bin/xterm;;Terminal;1\r\n/usr/bin/vim;;Editor;3\r\n");
    f.open(2);
    f.list("List1")->setCurrentRow(0);
    f.click("cmdDel");
    QCOMPARE(f.rows("List2"), QStringList({"Terminal", "Editor"}));
    f.click("cmdUndoSuppr");
    QCOMPARE(f.rows("List2"), QStringList({"Terminal", "Editor", "Editor"}));
    f.click("cmdDel");
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;1", "/usr/bin/vim;;Editor;3"}));
}

void tst_frmprefs_buttons::sameTitleMoveKeepsBothWithTheirOwnData()
{
    f.start(f.header() +
            "/usr/bin/gedit;;Editor;1\r\n/usr/bin/xterm;;Terminal;1\r\n/usr/bin/vim;;Editor;3\r\n");
    f.open(3);
    f.list("List2")->setCurrentRow(2);
    f.click("cmdUp");
    f.click("cmdUp");
    QCOMPARE(f.list("List2")->currentRow(), 0);
    QCOMPARE(f.rows("List2"), QStringList({"Editor", "Editor", "Terminal"}));
    // Typing the same title again into the first entry changes nothing of the order.
    f.list("List1")->setCurrentRow(0);
    f.type("txtButtonTitle", QStringLiteral("Editor"));
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/vim;;Editor;3", "/usr/bin/gedit;;Editor;1",
                                                 "/usr/bin/xterm;;Terminal;1"}));
    QCOMPARE(f.bar->Command1().get(1, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/vim"));
}

void tst_frmprefs_buttons::upOnTopAndDownOnLastChangeNothing()
{
    f.start(threeButtons());
    f.open(3);
    f.list("List2")->setCurrentRow(0);
    f.click("cmdUp");
    f.list("List2")->setCurrentRow(2);
    f.click("cmdDown");
    QCOMPARE(f.rows("List2"), QStringList({"A", "B", "C"}));
    QVERIFY(!f.prefs->buttonsChanged());
    // Two Downs from the top bring the first title to the bottom, still selected.
    f.list("List2")->setCurrentRow(0);
    f.click("cmdDown");
    f.click("cmdDown");
    QCOMPARE(f.rows("List2"), QStringList({"B", "C", "A"}));
    QCOMPARE(f.list("List2")->currentRow(), 2);
    QVERIFY(f.prefs->buttonsChanged());
}

void tst_frmprefs_buttons::upOnTheMiddleRow()
{
    f.start(threeButtons());
    f.open(3);
    f.list("List2")->setCurrentRow(1);
    f.click("cmdUp");
    QCOMPARE(f.rows("List2"), QStringList({"B", "A", "C"}));
    QCOMPARE(f.list("List2")->currentRow(), 0);
    QCOMPARE(f.list("List2")->currentItem()->text(), QStringLiteral("B"));
    // The entries themselves keep their numbers.
    QCOMPARE(f.rows("List1"), QStringList({"1 -- A", "2 -- B", "3 -- C"}));
}

void tst_frmprefs_buttons::cancelKeepsTheOldOrderOkWritesTheNewOne()
{
    f.start(threeButtons());
    const QByteArray before = readAll(f.configPath());
    f.open(3);
    f.list("List2")->setCurrentRow(2);
    f.click("cmdUp");
    f.click("cmdCancel");
    QCOMPARE(readAll(f.configPath()), before);
    f.open(3);
    QCOMPARE(f.rows("List2"), QStringList({"A", "B", "C"}));
    f.list("List2")->setCurrentRow(2);
    f.click("cmdUp");
    f.click("cmdOK");
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/c;;C;3", "/b;;B;2"}));
    QCOMPARE(f.bar->Command1().get(2, ButtonDispId::Button_Title).toString(), QStringLiteral("C"));
}

void tst_frmprefs_buttons::fileChoosersTitlesAndFields_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QByteArray>("chooser");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::newRow("pressed, English")
        << 1 << QByteArray("Command1_0") << QByteArray("txtButtonDown")
        << "Choose a file -- [Down Button state]..."
        << "Windows Bitmap (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif|JPeg images (*.jpg)|*.jpg";
    QTest::newRow("released, English")
        << 1 << QByteArray("Command1_1") << QByteArray("txtButtonUp")
        << "Choose a file -- [Up Button state]..."
        << "Windows Bitmap (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif|JPeg Images (*.jpg)|*.jpg";
    QTest::newRow("pressed, French")
        << 0 << QByteArray("Command1_0") << QByteArray("txtButtonDown")
        << "Choisir un fichier -- [Etat Pressé du bouton]..."
        << "Bitmap Windows (*.bmp)|*.bmp|Images GIF (*.gif)|*.gif|Images JPeg (*.jpg)|*.jpg";
    QTest::newRow("program") << 0 << QByteArray("Command2_0") << QByteArray("txtAppPath")
                             << "Choisir un programme..."
                             << "Application (*.exe)|*.exe";
    QTest::newRow("icon") << 1 << QByteArray("Command2_1") << QByteArray("txtIconPath")
                          << "Choose an icon for the button..."
                          << "Icon (*.ico)|*.ico";
    QTest::newRow("mask") << 0 << QByteArray("Command4") << QByteArray("txtImgMask")
                          << "Choisir une image de masque pour les boutons..."
                          << "Bitmaps Windows (*.bmp)|*.bmp";
}

void tst_frmprefs_buttons::fileChoosersTitlesAndFields()
{
    QFETCH(int, lang);
    QFETCH(QByteArray, chooser);
    QFETCH(QByteArray, field);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    f.start(threeButtons());
    pub::CurrentLang = static_cast<qint16>(lang);
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    f.doubles->dialogs->files.push_back(QStringLiteral("/chosen/file"));
    f.click(chooser.constData());
    QCOMPARE(f.doubles->dialogs->titles, QStringList({title}));
    QCOMPARE(f.doubles->dialogs->filters, QStringList({filter}));
    QCOMPARE(f.edit(field.constData())->text(), QStringLiteral("/chosen/file"));
    if (field == "txtAppPath")
        QCOMPARE(f.prefs->workingSet().entry(2).program, QStringLiteral("/chosen/file"));
}

void tst_frmprefs_buttons::chosenPathWithSeparatorIsRefused()
{
    f.start(threeButtons());
    pub::CurrentLang = 1;
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    const QString program = f.prefs->workingSet().entry(2).program;
    const int shown = f.doubles->messages->shown.size();
    f.doubles->dialogs->files.push_back(QStringLiteral("/home/me/a;b/run.sh"));
    f.click("Command2_0");
    // Told, and nothing changed: the field, the entry.
    QCOMPARE(f.doubles->messages->shown.size(), shown + 1);
    QVERIFY(f.doubles->messages->shown.last().text.contains(QStringLiteral("/home/me/a;b/run.sh")));
    QCOMPARE(f.edit("txtAppPath")->text(), program);
    QCOMPARE(f.prefs->workingSet().entry(2).program, program);
    // The skins are whole lines of their own: a ";" is fine there.
    f.open(4);
    f.doubles->dialogs->files.push_back(QStringLiteral("/skins/a;b/up.bmp"));
    f.click("Command1_1");
    QCOMPARE(f.edit("txtButtonUp")->text(), QStringLiteral("/skins/a;b/up.bmp"));
    QCOMPARE(f.doubles->messages->shown.size(), shown + 1);
}

void tst_frmprefs_buttons::lineBreakNeverReachesTheFile()
{
    f.start(threeButtons());
    pub::CurrentLang = 1;
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    // A pasted line keeps the line break it was copied with; each field refuses the paste whole.
    for (const char* name : {"txtAppPath", "txtIconPath", "txtButtonTitle"}) {
        QLineEdit* field = f.edit(name);
        const QString before = field->text();
        field->end(false);
        field->insert(QStringLiteral("/usr/bin/xterm\n"));
        QCOMPARE(field->text(), before);
        field->insert(QStringLiteral("x\ry"));
        QCOMPARE(field->text(), before);
    }
    QCOMPARE(f.prefs->workingSet().entry(2).program, QStringLiteral("/b"));
    QCOMPARE(f.prefs->workingSet().entry(2).title, QStringLiteral("B"));

    // A chosen file named with a line break is refused and named in the message.
    const int shown = f.doubles->messages->shown.size();
    f.doubles->dialogs->files.push_back(QStringLiteral("/home/me/a\nb/run.sh"));
    f.click("Command2_0");
    QCOMPARE(f.doubles->messages->shown.size(), shown + 1);
    QVERIFY(f.doubles->messages->shown.last().text.contains(QStringLiteral("line break")));
    QCOMPARE(f.edit("txtAppPath")->text(), QStringLiteral("/b"));

    // The skins are whole lines: a line break would shift every line after them.
    f.open(4);
    const QString up = f.edit("txtButtonUp")->text();
    f.edit("txtButtonUp")->insert(QStringLiteral("\n/other.bmp"));
    QCOMPARE(f.edit("txtButtonUp")->text(), up);
    f.doubles->dialogs->files.push_back(QStringLiteral("/skins/a\nb/up.bmp"));
    f.click("Command1_1");
    QCOMPARE(f.doubles->messages->shown.size(), shown + 2);
    QCOMPARE(f.edit("txtButtonUp")->text(), up);

    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/a;;A;1", "/b;;B;2", "/c;;C;3"}));
}

void tst_frmprefs_buttons::chooserCancelChangesNothing()
{
    f.start(threeButtons());
    f.open(4);
    f.click("Command1_0"); // the script is empty: cancelled
    QCOMPARE(f.edit("txtButtonDown")->text(), f.skinDown());
    QCOMPARE(f.doubles->dialogs->titles.size(), 1);
}

void tst_frmprefs_buttons::colourChooser()
{
    f.start(threeButtons());
    f.open(4);
    const QString before = pub::CfgMaskColor;
    f.click("Command3");
    QCOMPARE(f.doubles->dialogs->titles, QStringList({"Choisir une couleur de masque pour les boutons..."}));
    QCOMPARE(f.prefs->maskColour(), 16744703u);
    QCOMPARE(pub::CfgMaskColor, before);

    f.doubles->dialogs->colours.push_back(0x0000FFu); // red
    f.click("Command3");
    QCOMPARE(f.prefs->maskColour(), 255u);
    QCOMPARE(pub::CfgMaskColor, QStringLiteral("255"));
    QCOMPARE(f.w<QLabel>("Picture2")->palette().color(QPalette::Window), QColor(255, 0, 0));
    f.click("cmdOK");
    QCOMPARE(readAll(f.configPath()).split('\n').at(9), QByteArray("255\r"));
}

void tst_frmprefs_buttons::deleteAndUndoSwitchTheBrowseButtons()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(1);
    f.click("cmdDel");
    QVERIFY(!f.button("Command2_0")->isEnabled());
    QVERIFY(!f.button("Command2_1")->isEnabled());
    f.click("cmdUndoSuppr");
    QVERIFY(f.button("Command2_0")->isEnabled());
    QVERIFY(f.button("Command2_1")->isEnabled());
}

void tst_frmprefs_buttons::browseButtonsFollowTheSelectedRow()
{
    f.start(threeButtons());
    f.open(2);
    f.list("List1")->setCurrentRow(0);
    f.click("cmdDel");
    // Another entry, not marked, can have its program and icon chosen.
    f.list("List1")->setCurrentRow(1);
    QVERIFY(f.button("Command2_0")->isEnabled());
    QVERIFY(f.button("Command2_1")->isEnabled());
    f.click("cmdDel");
    f.click("cmdUndoSuppr");

    // Back on the marked entry nothing can be chosen for it, nor typed after switching the icon option.
    f.list("List1")->setCurrentRow(0);
    QVERIFY(!f.edit("txtAppPath")->isEnabled());
    QVERIFY(!f.button("Command2_0")->isEnabled());
    QVERIFY(!f.button("Command2_1")->isEnabled());
    f.click("chkExtractIcon");
    f.click("chkExtractIcon");
    QVERIFY(!f.edit("txtIconPath")->isEnabled());
    QVERIFY(!f.button("Command2_1")->isEnabled());
    f.doubles->dialogs->files.push_back(QStringLiteral("/chosen"));
    f.click("Command2_0");
    QCOMPARE(f.prefs->workingSet().entry(1).program, QStringLiteral("/a"));

    // With icons extracted from the targets, an unmarked entry's icon chooser stays off.
    f.click("chkExtractIcon");
    f.list("List1")->setCurrentRow(1);
    QVERIFY(f.button("Command2_0")->isEnabled());
    QVERIFY(!f.button("Command2_1")->isEnabled());
}

void tst_frmprefs_buttons::firstLaunchToAWorkingButton()
{
    f.start({});
    f.open(2);
    QVERIFY(!pub::SetupDone);
    create(QStringLiteral("Terminal"), QStringLiteral("/usr/bin/xterm"));
    f.list("List3")->setCurrentRow(1);
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QVERIFY(pub::SetupDone);
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;2"}));
    host::ControlArray& buttons = f.bar->Command1();
    QCOMPARE(buttons.ubound(), 1);
    QVERIFY(buttons.at(1)->extender().Visible());
    emit buttons.Click(1);
    QCOMPARE(f.doubles->shell->requests.size(), 1);
    QCOMPARE(f.doubles->shell->requests.at(0).target, QStringLiteral("/usr/bin/xterm"));
}

void tst_frmprefs_buttons::firstLaunchButtonTypedWithoutAddIsNotDropped()
{
    // The first launch opens with the fields ready: a button typed there and OK is offered for creation.
    f.start({});
    f.open(2);
    f.type("txtButtonTitle", QStringLiteral("Terminal"));
    f.type("txtAppPath", QStringLiteral("/usr/bin/xterm"));
    f.list("List3")->setCurrentRow(2);
    f.doubles->messages->shown.clear();
    f.doubles->messages->answers.push_back(platform::MsgAnswer::Yes);
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Bouton en cours de création...")}));
    QVERIFY(!f.prefs->isVisible());
    QVERIFY(pub::SetupDone);
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;3"}));
    QCOMPARE(f.bar->Command1().ubound(), 1);
}

void tst_frmprefs_buttons::firstLaunchKeepsTheConfigurationItFound()
{
    // The settings were lost, the buttons' file was not: the first launch starts from the defaults.
    f.start({});
    const QByteArray before = threeButtons();
    QVERIFY(writeAll(f.configPath(), before));
    f.open(2);
    QVERIFY(f.rows("List1").isEmpty());
    create(QStringLiteral("Terminal"), QStringLiteral("/usr/bin/xterm"));
    f.click("cmdOK");
    QVERIFY(!f.prefs->isVisible());
    QCOMPARE(f.buttonLines(), QList<QByteArray>({"/usr/bin/xterm;;Terminal;1"}));
    QCOMPARE(readAll(f.folder() + QStringLiteral("/DoviConfig.old.txt")), before);

    // Later saves keep no copy.
    QVERIFY(QFile::remove(f.folder() + QStringLiteral("/DoviConfig.old.txt")));
    pub::FirstRun = false;
    pub::RunFileCreated = false;
    f.open(2);
    f.click("cmdOK");
    QVERIFY(!QFile::exists(f.folder() + QStringLiteral("/DoviConfig.old.txt")));
}

void tst_frmprefs_buttons::firstLaunchWithoutACopyKeepsTheConfigurationItFound()
{
    // No copy can be made where the copy goes: the file found stays as it is, and the user is told.
    f.start({});
    const QByteArray before = threeButtons();
    QVERIFY(writeAll(f.configPath(), before));
    QVERIFY(QDir(f.folder()).mkdir(QStringLiteral("DoviConfig.old.txt")));
    f.open(2);
    create(QStringLiteral("Terminal"), QStringLiteral("/usr/bin/xterm"));
    f.doubles->messages->shown.clear();
    f.click("cmdOK");
    QCOMPARE(f.messageTitles(), QStringList({QStringLiteral("Erreur d'enregistrement...")}));
    QVERIFY(f.doubles->messages->shown.constLast().text.contains(QStringLiteral("DoviConfig.old.txt")));
    QCOMPARE(readAll(f.configPath()), before);
    QVERIFY(f.prefs->isVisible());
}

QTEST_MAIN(tst_frmprefs_buttons)
#include "tst_frmprefs_buttons.moc"
