// The bar's pop-up menu: its tree and captions per language, the page each preferences item opens,
// the language, transparency and about items, reload (hand edits, broken files) and exit; the menu
// form is unloaded after every command.
#include "bar/frmlangue.h"
#include "bar/frmmain.h"
#include "bar/frmmenu.h"
#include "bar/moddeclarepublic.h"
#include "bar/resstrings.h"
#include "button/dispids.h"
#include "tst_frmmain_fixture.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using barfixture::ConfigText;
using barfixture::settingKey;
using platform::testing::ScopedDoubles;
using namespace modDeclarePublic;

namespace {
QStringList names(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result << (action->menu() ? action->menu()->objectName() : action->objectName());
    return result;
}
} // namespace

class tst_frmmenu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void tree();
    void captions_data();
    void captions();
    void prefsItemsOpenTheirPage_data();
    void prefsItemsOpenTheirPage();
    void transparencyItemOpensSlider();
    void aboutItemOpensAboutBox();
    void languageChangeShowsOnNextPopup();
    void languageChooserShowsTheSessionsLanguage_data();
    void languageChooserShowsTheSessionsLanguage();
    void reloadShowsHandEdit();
    void reloadOfBrokenFileKeepsBar();
    void noMenuWhileTheBarIsLaidOut();
    void noSecondMenuWhileThePreferencesOpen();
    void exitSavesLevelAndEnds();

private:
    void startBar(int buttons);
    frmMenu& popUp();
    QAction* action(const char* name);
    void closePopup();

    std::unique_ptr<barfixture::ProgramFolder> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
    std::unique_ptr<frmMain> m_bar;
    ConfigText m_config;
};

void tst_frmmenu::init()
{
    m_folder = std::make_unique<barfixture::ProgramFolder>();
    QVERIFY(m_folder->ok());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
    modDeclarePublic::reset();
    m_bar = std::make_unique<frmMain>();
}

void tst_frmmenu::cleanup()
{
    closePopup();
    m_bar.reset();
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

void tst_frmmenu::closePopup()
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void tst_frmmenu::startBar(int buttons)
{
    m_config = ConfigText();
    m_config.position = QStringLiteral("50 60");
    m_config.up = barfixture::saveSkin(m_folder->file(QStringLiteral("up.bmp")), {40, 40}, Qt::gray);
    m_config.down = barfixture::saveSkin(m_folder->file(QStringLiteral("down.bmp")), {40, 40}, Qt::darkGray);
    m_config.mask = barfixture::saveSkin(m_folder->file(QStringLiteral("mask.bmp")), {40, 40}, Qt::black);
    for (int i = 1; i <= buttons; ++i)
        m_config.buttons << QStringLiteral("/usr/bin/prog%1;;P%1;1").arg(i);
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
    m_doubles->settings->values.insert(settingKey("GeneralSetLng", "FirstLaunch"), QStringLiteral("1"));
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("run=1\r\n");
    marker.close();
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("Boutons")));
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(m_bar->Command1().ubound(), buttons);
}

frmMenu& tst_frmmenu::popUp()
{
    m_bar->popupMenu(QPoint(70, 80));
    return m_bar->menu();
}

QAction* tst_frmmenu::action(const char* name)
{
    return m_bar->menu().findChild<QAction*>(QString::fromLatin1(name));
}

void tst_frmmenu::tree()
{
    CurrentLang = 0;
    frmMenu& menu = m_bar->menu();
    QCOMPARE(menu.mnuFile->objectName(), QStringLiteral("mnuFile"));
    QCOMPARE(menu.mnuFile->title(), QStringLiteral("Fichier"));
    QCOMPARE(names(menu.mnuFile->actions()),
             (QStringList{QStringLiteral("mnuFilePrefs"), QStringLiteral("mnuFileLangue"),
                          QStringLiteral("mnuFileTransparency"), QStringLiteral("SP2"),
                          QStringLiteral("mnuFileReload"), QStringLiteral("SP1"),
                          QStringLiteral("mnuFileAbout"), QStringLiteral("mnuFileExit")}));
    QVERIFY(menu.SP1->isSeparator());
    QVERIFY(menu.SP2->isSeparator());
    QCOMPARE(names(menu.mnuFilePrefs->actions()),
             (QStringList{QStringLiteral("mnuFilePrefsOptGeneral"), QStringLiteral("mnuFilePrefsDoviPos"),
                          QStringLiteral("mnuFilePrefsAddBtn"), QStringLiteral("mnuFilePrefsBtnOrder"),
                          QStringLiteral("mnuFilePrefsBtnSkn")}));
    // The form itself is never seen.
    QVERIFY(menu.isHidden());
}

void tst_frmmenu::captions_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QStringList>(
        "texts"); // prefs, langue, transparency, reload, about, exit, then the 5 pages

    QTest::newRow("French") << 0
                            << QStringList{QStringLiteral("Préférences"),
                                           QStringLiteral("Language..."),
                                           QStringLiteral("Transparence de Dovi..."),
                                           QStringLiteral("Recharger"),
                                           QStringLiteral("A propos de Dovi..."),
                                           QStringLiteral("Quitter"),
                                           QStringLiteral("Options générales"),
                                           QStringLiteral("Position de Dovi"),
                                           QStringLiteral("Ajouter/Supprimer des boutons"),
                                           QStringLiteral("Ordres des boutons"),
                                           QStringLiteral("Skins des boutons")};
    QTest::newRow("English") << 1
                             << QStringList{
                                    QStringLiteral("Preferences"),          QStringLiteral("Language..."),
                                    QStringLiteral("Dovi transparency..."), QStringLiteral("Reload"),
                                    QStringLiteral("About Dovi..."),        QStringLiteral("Exit"),
                                    QStringLiteral("General options"),      QStringLiteral("Dovi position"),
                                    QStringLiteral("Add/Del buttons"),      QStringLiteral("Buttons order"),
                                    QStringLiteral("Buttons skins")};
    // Neither 0 nor 1: the captions the form was designed with.
    QTest::newRow("other flag") << 2
                                << QStringList{QStringLiteral("Préférences"),
                                               QStringLiteral("Language..."),
                                               QStringLiteral("Transparence de Dovi..."),
                                               QStringLiteral("Recharger"),
                                               QStringLiteral("A propos de Dovi..."),
                                               QStringLiteral("Quitter"),
                                               QStringLiteral("Options générales..."),
                                               QStringLiteral("Position de Dovi..."),
                                               QStringLiteral("Ajouter/Supprimer des boutons..."),
                                               QStringLiteral("Ordre des boutons..."),
                                               QStringLiteral("Skins des boutons...")};
}

void tst_frmmenu::captions()
{
    QFETCH(int, lang);
    QFETCH(QStringList, texts);
    CurrentLang = static_cast<qint16>(lang);
    const frmMenu& menu = m_bar->menu();
    const QStringList shown{menu.mnuFilePrefs->title(),          menu.mnuFileLangue->text(),
                            menu.mnuFileTransparency->text(),    menu.mnuFileReload->text(),
                            menu.mnuFileAbout->text(),           menu.mnuFileExit->text(),
                            menu.mnuFilePrefsOptGeneral->text(), menu.mnuFilePrefsDoviPos->text(),
                            menu.mnuFilePrefsAddBtn->text(),     menu.mnuFilePrefsBtnOrder->text(),
                            menu.mnuFilePrefsBtnSkn->text()};
    QStringList plain = shown;
    for (QString& caption : plain)
        caption.remove(QLatin1Char('&'));
    QCOMPARE(plain, texts);
    // Each item of a menu has a letter of its own to choose it with.
    for (const QStringList& oneMenu : {shown.mid(0, 6), shown.mid(6)}) {
        QSet<QChar> letters;
        for (const QString& caption : oneMenu) {
            const qsizetype at = caption.indexOf(QLatin1Char('&'));
            QVERIFY2(at >= 0 && at + 1 < caption.size(), qPrintable(caption));
            letters.insert(caption.at(at + 1).toLower());
        }
        QCOMPARE(letters.size(), oneMenu.size());
    }
    QCOMPARE(menu.mnuFile->title(), QStringLiteral("Fichier"));
}

void tst_frmmenu::prefsItemsOpenTheirPage_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("page");
    QTest::newRow("general options") << QStringLiteral("mnuFilePrefsOptGeneral") << 0;
    QTest::newRow("position") << QStringLiteral("mnuFilePrefsDoviPos") << 1;
    QTest::newRow("add and delete") << QStringLiteral("mnuFilePrefsAddBtn") << 2;
    QTest::newRow("order") << QStringLiteral("mnuFilePrefsBtnOrder") << 3;
    QTest::newRow("skins") << QStringLiteral("mnuFilePrefsBtnSkn") << 4;
}

void tst_frmmenu::prefsItemsOpenTheirPage()
{
    QFETCH(QString, item);
    QFETCH(int, page);
    startBar(2);
    const QRectF before(m_bar->Left(), m_bar->Top(), m_bar->Width(), m_bar->Height());
    PrefsPage = qint16(page == 0 ? 4 : 0);

    int pageSeen = -1;
    bool menuLoadedMeanwhile = false;
    barfixture::ModalAnswer answer(QStringLiteral("frmPrefs"), [&](QWidget* dialog) {
        pageSeen = PrefsPage;
        menuLoadedMeanwhile = m_bar->menuLoaded();
        static_cast<QDialog*>(dialog)->reject();
    });
    popUp();
    m_bar->menu().findChild<QAction*>(item)->trigger();
    QVERIFY(answer.answered());
    QCOMPARE(pageSeen, page);
    // Kept while its dialog is open, unloaded once it closed.
    QVERIFY(menuLoadedMeanwhile);
    QVERIFY(!m_bar->menuLoaded());
    // Cancel leaves the bar as it was.
    QCOMPARE(QRectF(m_bar->Left(), m_bar->Top(), m_bar->Width(), m_bar->Height()), before);
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(m_bar->Command1().get(1, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/prog1"));
}

void tst_frmmenu::transparencyItemOpensSlider()
{
    startBar(1);
    barfixture::ModalAnswer answer(QStringLiteral("frmTransparency"),
                                   [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    popUp();
    action("mnuFileTransparency")->trigger();
    QVERIFY(answer.answered());
    QVERIFY(!m_bar->menuLoaded());
}

void tst_frmmenu::aboutItemOpensAboutBox()
{
    startBar(1);
    barfixture::ModalAnswer answer(QStringLiteral("frmAbout"),
                                   [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    popUp();
    action("mnuFileAbout")->trigger();
    QVERIFY(answer.answered());
    QVERIFY(!m_bar->menuLoaded());
}

void tst_frmmenu::languageChangeShowsOnNextPopup()
{
    startBar(1);
    QCOMPARE(CurrentLang, qint16(0));
    QCOMPARE(popUp().mnuFileExit->text().remove(QLatin1Char('&')), QStringLiteral("Quitter"));

    bool menuGoneFirst = false;
    barfixture::ModalAnswer answer(QStringLiteral("frmLangue"), [&](QWidget* dialog) {
        menuGoneFirst = !m_bar->menuLoaded();
        auto* langue = static_cast<frmLangue*>(dialog);
        QCOMPARE(langue->Option1(0)->isChecked(), true);
        langue->Option1(1)->click();
        langue->Command1()->click();
    });
    LangFirstChoice = true;
    action("mnuFileLangue")->trigger();
    closePopup();
    QVERIFY(answer.answered());
    QVERIFY(menuGoneFirst);
    QVERIFY(!LangFirstChoice);
    QCOMPARE(CurrentLang, qint16(1));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QStringLiteral("1"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));

    QCOMPARE(popUp().mnuFileExit->text().remove(QLatin1Char('&')), QStringLiteral("Exit"));
    QCOMPARE(m_bar->menu().mnuFilePrefs->title().remove(QLatin1Char('&')), QStringLiteral("Preferences"));
    // The buttons keep the language they were laid out with until the next layout.
    QCOMPARE(m_bar->Command1().get(1, ButtonDispId::Language).toInt(), 0);
}

void tst_frmmenu::languageChooserShowsTheSessionsLanguage_data()
{
    QTest::addColumn<int>("store");
    QTest::newRow("read-only") << int(platform::SettingsStore::State::ReadOnly);
    QTest::newRow("unreadable") << int(platform::SettingsStore::State::Unreadable);
}

void tst_frmmenu::languageChooserShowsTheSessionsLanguage()
{
    QFETCH(int, store);
    startBar(1);
    // The settings cannot keep a new choice: English is this session's language all the same.
    m_doubles->settings->storeState = platform::SettingsStore::State(store);
    const auto choose = [this](int option, bool* frenchShown) {
        barfixture::ModalAnswer answer(QStringLiteral("frmLangue"), [&](QWidget* dialog) {
            auto* langue = static_cast<frmLangue*>(dialog);
            *frenchShown = langue->Option1(0)->isChecked();
            QCOMPARE(langue->Option1(1)->isChecked(), !*frenchShown);
            if (option >= 0)
                langue->Option1(option)->click();
            langue->Command1()->click();
        });
        popUp();
        action("mnuFileLangue")->trigger();
        closePopup();
        QVERIFY(answer.answered());
    };
    bool frenchShown = false;
    choose(1, &frenchShown);
    QVERIFY(frenchShown);
    QCOMPARE(CurrentLang, qint16(1));

    // Opened again, it shows English chosen, and its OK leaves the session in English.
    choose(-1, &frenchShown);
    QVERIFY(!frenchShown);
    QCOMPARE(CurrentLang, qint16(1));
    QCOMPARE(popUp().mnuFileExit->text().remove(QLatin1Char('&')), QStringLiteral("Exit"));
}

void tst_frmmenu::reloadShowsHandEdit()
{
    startBar(3);
    const int grabsBefore = m_doubles->desktop->grabs.size();
    const int opacitiesBefore = m_doubles->windows->opacities.size();
    // Settings are not read again by a reload.
    m_doubles->settings->values.insert(settingKey("GeneralSetLng", "Lang"), QStringLiteral("1"));
    m_doubles->settings->values.insert(settingKey("Transparency", "Val_Trans"), QStringLiteral("100"));

    // Edited by hand: the first button line moved below the third, LF line ends, the bar moved.
    QStringList lines = m_config.lines();
    lines.move(13, 15);
    lines[0] = QStringLiteral("5 6");
    QFile file(frmMain::configPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    file.close();

    popUp();
    action("mnuFileReload")->trigger();
    QVERIFY(!m_bar->menuLoaded());
    const host::ControlArray& buttons = m_bar->Command1();
    QCOMPARE(buttons.ubound(), 3);
    QCOMPARE(buttons.get(1, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/prog2"));
    QCOMPARE(buttons.get(2, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/prog3"));
    QCOMPARE(buttons.get(3, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/prog1"));
    QCOMPARE(buttons.at(3)->extender().Left(), 1200.0);
    QCOMPARE(m_bar->Left(), 75.0);
    QCOMPARE(m_bar->Top(), 90.0);
    QCOMPARE(m_bar->size(), QSize(120, 40));
    // The background was taken again, at the new place.
    QVERIFY(m_doubles->desktop->grabs.size() > grabsBefore);
    QCOMPARE(m_doubles->desktop->grabs.constLast(), QRect(5, 6, 120, 40));
    QCOMPARE(CurrentLang, qint16(0));
    QCOMPARE(m_doubles->windows->opacities.size(), opacitiesBefore);
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_frmmenu::reloadOfBrokenFileKeepsBar()
{
    startBar(2);
    CurrentLang = 1;
    const host::Control* first = m_bar->Command1().at(1);
    const host::Control* second = m_bar->Command1().at(2);
    const QSize size = m_bar->size();

    ConfigText broken = m_config;
    broken.buttons << QStringLiteral("/usr/bin/late;;L;?");
    QVERIFY(barfixture::writeConfig(m_folder->path(), broken));
    popUp();
    action("mnuFileReload")->trigger();

    QVERIFY(!m_bar->menuLoaded());
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(m_bar->Command1().at(1), first);
    QCOMPARE(m_bar->Command1().at(2), second);
    QCOMPARE(m_bar->size(), size);
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const QString text = m_doubles->messages->shown.constFirst().text;
    QVERIFY2(text.contains(QStringLiteral("line 16")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("DoviConfig.txt")));
    QCOMPARE(m_doubles->messages->shown.constFirst().title, frmMain::versionTitle());

    // French when the language is French.
    CurrentLang = 0;
    popUp();
    action("mnuFileReload")->trigger();
    QVERIFY(m_doubles->messages->shown.constLast().text.contains(QStringLiteral("ligne 16")));
}

void tst_frmmenu::noMenuWhileTheBarIsLaidOut()
{
    startBar(3);
    QFile file(frmMain::configPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();

    // The user right-clicks the first button while the others are still being set up, and would
    // take the preferences, which show the buttons the bar holds, and save them with OK.
    bool prefsOpened = false;
    barfixture::ModalAnswer answer(QStringLiteral("frmPrefs"), [&](QWidget* dialog) {
        prefsOpened = true;
        dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    bool menuShown = false;
    platform::testing::HookedEventPump* pump = platform::testing::installHookedEvents();
    pump->hook = [&] {
        QCOMPARE(m_bar->Command1().ubound(), 1);
        m_bar->popupMenu(QPoint(70, 80));
        menuShown = m_bar->menuLoaded() && m_bar->menu().mnuFile->isVisible();
        if (menuShown)
            action("mnuFilePrefsAddBtn")->trigger();
    };
    popUp();
    closePopup();
    action("mnuFileReload")->trigger();
    QVERIFY(!pump->hook);

    QVERIFY(!menuShown);
    QVERIFY(!prefsOpened);
    QCOMPARE(m_bar->Command1().ubound(), 3);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    file.close();

    // Once laid out, the bar has its menu again.
    QVERIFY(popUp().mnuFile->isVisible());
}

void tst_frmmenu::noSecondMenuWhileThePreferencesOpen()
{
    startBar(3);
    // The preferences read the buttons, which lets events run, before the dialog shows: a second
    // right click then would reach the menu, and a reload from it would change the buttons the
    // dialog is still reading.
    bool menuShown = false;
    platform::testing::HookedEventPump* pump = platform::testing::installHookedEvents();
    pump->hook = [&] {
        m_bar->popupMenu(QPoint(70, 80));
        menuShown = m_bar->menuLoaded() && m_bar->menu().mnuFile->isVisible();
        if (menuShown)
            action("mnuFileReload")->trigger();
    };
    barfixture::ModalAnswer answer(QStringLiteral("frmPrefs"), [&](QWidget* dialog) {
        dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    });
    popUp();
    closePopup();
    action("mnuFilePrefsOptGeneral")->trigger();
    QVERIFY(!pump->hook);
    QVERIFY(answer.answered());
    QVERIFY(!menuShown);

    // Once the dialog is gone, the bar has its menu again.
    QVERIFY(popUp().mnuFile->isVisible());
}

void tst_frmmenu::exitSavesLevelAndEnds()
{
    startBar(1);
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    TransparencyValue = 128;
    popUp();
    action("mnuFileExit")->trigger();
    closePopup();
    QVERIFY(!m_bar->menuLoaded());
    QVERIFY(!m_bar->isVisible());
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("128"));
    // No window is left, and the bar counts for ending the program when none is.
    QVERIFY(m_bar->testAttribute(Qt::WA_QuitOnClose));
    for (const QWidget* window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

QTEST_MAIN(tst_frmmenu)
#include "tst_frmmenu.moc"
