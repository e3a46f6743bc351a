// Clicks on the bar's buttons: a left click opens the button's target through the shell with its
// window state, a right click pops the menu up at the pointer; never the one for the other.
#include "bar/frmabout.h"
#include "bar/frmmain.h"
#include "bar/frmmenu.h"
#include "bar/moddeclarepublic.h"
#include "bar/modstartprog.h"
#include "button/dispids.h"
#include "tst_frmmain_fixture.h"

#include <QAccessible>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>

using barfixture::ConfigText;
using platform::testing::ScopedDoubles;
using namespace modDeclarePublic;

class tst_frmmain_launch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void buttonsAreAccessiblePushButtons();
    void keysAlongTheBar_data();
    void keysAlongTheBar();
    void leftClickOpensTarget_data();
    void leftClickOpensTarget();
    void targetIsPassedAsIs_data();
    void targetIsPassedAsIs();
    void failedOpenIsTold();
    void rightClickPopsMenuOnly_data();
    void rightClickPopsMenuOnly();
    void translucencyFollowsTheSystem_data();
    void translucencyFollowsTheSystem();
    void barWithoutButtonsOffersMenu();
    void authorLinks();
    void dropActions_data();
    void dropActions();

private:
    void layOut(const QStringList& buttons);
    QPoint centreOf(int element) const;
    void closePopup();

    std::unique_ptr<barfixture::ProgramFolder> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
    std::unique_ptr<frmMain> m_bar;
};

void tst_frmmain_launch::init()
{
    m_folder = std::make_unique<barfixture::ProgramFolder>();
    QVERIFY(m_folder->ok());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
    modDeclarePublic::reset();
    m_bar = std::make_unique<frmMain>();
}

void tst_frmmain_launch::cleanup()
{
    closePopup();
    m_bar.reset();
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

void tst_frmmain_launch::closePopup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void tst_frmmain_launch::layOut(const QStringList& buttons)
{
    ConfigText text;
    text.position = QStringLiteral("10 10");
    text.up = barfixture::saveSkin(m_folder->file(QStringLiteral("up.bmp")), {40, 40}, Qt::gray);
    text.down = barfixture::saveSkin(m_folder->file(QStringLiteral("down.bmp")), {40, 40}, Qt::darkGray);
    text.mask = barfixture::saveSkin(m_folder->file(QStringLiteral("mask.bmp")), {40, 40}, Qt::black);
    text.buttons = buttons;
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    m_doubles->settings->values.insert(barfixture::settingKey("GeneralSetLng", "FirstLaunch"),
                                       QStringLiteral("1"));
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("run=1\r\n");
    marker.close();
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("Boutons")));
    QVERIFY(m_bar->Form_Load());
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    QCOMPARE(m_bar->Command1().ubound(), buttons.size());
}

QPoint tst_frmmain_launch::centreOf(int element) const
{
    const host::Extender& e = m_bar->Command1().at(element)->extender();
    return QPoint(int((e.Left() + e.Width() / 2) / 15), int((e.Top() + e.Height() / 2) / 15));
}

void tst_frmmain_launch::buttonsAreAccessiblePushButtons()
{
    const QString entry = m_folder->file(QStringLiteral("mail.desktop"));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nName=Mail Reader\nExec=/usr/bin/mail-reader\n");
    file.close();
    layOut({QStringLiteral("/usr/bin/first;;First;1"), entry + QStringLiteral(";;;1"),
            QStringLiteral("/home/me/Documents/;;;1"), QStringLiteral("https://example.org/news;;;1")});
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(m_bar.get());
    QVERIFY(bar);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Dovi"));
    // Named by the title, else by what the desktop calls the target.
    const QStringList names{QStringLiteral("First"), QStringLiteral("Mail Reader"),
                            QStringLiteral("Documents"), QStringLiteral("https://example.org/news")};
    for (int element = 1; element <= names.size(); ++element) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(m_bar->Command1().at(element));
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), names.at(element - 1));
        QVERIFY(button->actionInterface());
    }
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(m_bar->Command1().at(1));
    QCOMPARE(first->text(QAccessible::Description), QStringLiteral("First"));
    // Press starts the target as a left click does.
    first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_doubles->shell->requests.size(), 1);
    QCOMPARE(m_doubles->shell->requests.at(0).target, QStringLiteral("/usr/bin/first"));
    // The menu opens at the button, wherever the pointer is.
    QCursor::setPos(m_bar->mapToGlobal(QPoint(500, 500)));
    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(m_bar->Command1().at(2));
    second->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    QTRY_VERIFY(m_bar->menuLoaded() && m_bar->menu().mnuFile->isVisible());
    QVERIFY((m_bar->menu().mnuFile->pos() - m_bar->mapToGlobal(centreOf(2))).manhattanLength() <= 2);
    closePopup();
    QCOMPARE(m_doubles->shell->requests.size(), 1);
}

void tst_frmmain_launch::keysAlongTheBar_data()
{
    QTest::addColumn<QString>("align");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("focused"); // 0: no button has the keyboard
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("menu");

    const QString row = QStringLiteral("HORIZONTAL");
    const QString column = QStringLiteral("VERTICAL");
    const QString none;
    QTest::newRow("activated") << row << QStringList{} << 1 << none << false;
    QTest::newRow("row: right") << row << QStringList{"Right", "Right"} << 3 << none << false;
    QTest::newRow("row: past the end") << row << QStringList{"End", "Right"} << 3 << none << false;
    QTest::newRow("row: left and home") << row << QStringList{"End", "Left", "Home"} << 1 << none << false;
    QTest::newRow("row: not down") << row << QStringList{"Down"} << 1 << none << false;
    QTest::newRow("column: down") << column << QStringList{"Down"} << 2 << none << false;
    QTest::newRow("column: not right") << column << QStringList{"Right"} << 1 << none << false;
    QTest::newRow("return") << row << QStringList{"Right", "Return"} << 2 << QStringLiteral("/usr/bin/second")
                            << false;
    QTest::newRow("space") << row << QStringList{"Space"} << 1 << QStringLiteral("/usr/bin/first") << false;
    QTest::newRow("ctrl+return") << row << QStringList{"Ctrl+Return"} << 1 << none << false;
    QTest::newRow("menu key") << row << QStringList{"Right", "Menu"} << 2 << none << true;
    QTest::newRow("shift+F10") << row << QStringList{"Shift+F10"} << 1 << none << true;
    QTest::newRow("escape") << row << QStringList{"Escape"} << 0 << none << false;
}

void tst_frmmain_launch::keysAlongTheBar()
{
    QFETCH(QString, align);
    QFETCH(QStringList, keys);
    QFETCH(int, focused);
    QFETCH(QString, opened);
    QFETCH(bool, menu);
    layOut({QStringLiteral("/usr/bin/first;;First;1"), QStringLiteral("/usr/bin/second;;Second;1"),
            QStringLiteral("/usr/bin/third;;Third;1")});
    modDeclarePublic::CfgAlign = align;
    QCursor::setPos(m_bar->mapToGlobal(QPoint(500, 500)));
    // Brought forward, the bar gives the keyboard to its first button.
    m_bar->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_bar.get()));
    for (const QString& key : keys) {
        const QKeyCombination combination = QKeySequence::fromString(key)[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
    }
    host::Control* const withKeyboard = focused > 0 ? m_bar->Command1().at(focused) : nullptr;
    QCOMPARE(m_bar->focusWidget() && m_bar->focusWidget()->hasFocus() ? m_bar->focusWidget() : nullptr,
             static_cast<QWidget*>(withKeyboard));
    if (withKeyboard) {
        // Marked once a key was used.
        const auto* mark = withKeyboard->findChild<QWidget*>(QStringLiteral("focusMark"));
        QVERIFY(mark);
        QCOMPARE(mark->isVisible(), !keys.isEmpty());
    }
    QCOMPARE(m_doubles->shell->requests.size(), opened.isEmpty() ? 0 : 1);
    if (!opened.isEmpty())
        QCOMPARE(m_doubles->shell->requests.at(0).target, opened);
    QCOMPARE(m_bar->menuLoaded() && m_bar->menu().mnuFile->isVisible(), menu);
    if (menu)
        QVERIFY((m_bar->menu().mnuFile->pos() - m_bar->mapToGlobal(centreOf(focused))).manhattanLength() <=
                2);
}

void tst_frmmain_launch::leftClickOpensTarget_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("show"); // -1: nothing opened

    QTest::newRow("1 normal") << QStringLiteral("1") << int(platform::ShowState::Normal);
    QTest::newRow("2 minimized") << QStringLiteral("2") << int(platform::ShowState::Minimized);
    QTest::newRow("3 maximized") << QStringLiteral("3") << int(platform::ShowState::Maximized);
    QTest::newRow("0") << QStringLiteral("0") << -1;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("4") << QStringLiteral("4") << -1;
}

void tst_frmmain_launch::leftClickOpensTarget()
{
    QFETCH(QString, state);
    QFETCH(int, show);
    layOut({QStringLiteral("/usr/bin/first;;First;1"), QStringLiteral("/usr/bin/second;;Second;") + state});

    QTest::mouseClick(m_bar->windowHandle(), Qt::LeftButton, {}, centreOf(2));
    QVERIFY(!QApplication::activePopupWidget());
    if (show < 0) {
        QVERIFY(m_doubles->shell->requests.isEmpty());
        QVERIFY(m_doubles->messages->shown.isEmpty());
        return;
    }
    QCOMPARE(m_doubles->shell->requests.size(), 1);
    const platform::ShellRequest request = m_doubles->shell->requests.constFirst();
    QCOMPARE(request.verb, QStringLiteral("Open"));
    QCOMPARE(request.target, QStringLiteral("/usr/bin/second"));
    QCOMPARE(request.parameters, QString());
    QCOMPARE(request.folder, QStringLiteral("/"));
    QCOMPARE(int(request.show), show);
}

void tst_frmmain_launch::targetIsPassedAsIs_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("spaces") << QStringLiteral("/opt/My Apps/run me");
    QTest::newRow("quotes") << QStringLiteral("/tmp/\"quoted\" 'name'");
    QTest::newRow("command substitution") << QStringLiteral("$(touch /tmp/owned)");
    QTest::newRow("leading dash") << QStringLiteral("-rf");
    QTest::newRow("url") << QStringLiteral("https://example.org/a?b=c&d");
}

void tst_frmmain_launch::targetIsPassedAsIs()
{
    QFETCH(QString, target);
    layOut({target + QStringLiteral(";;T;1")});
    QTest::mouseClick(m_bar->windowHandle(), Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(m_doubles->shell->requests.size(), 1);
    QCOMPARE(m_doubles->shell->requests.constFirst().target, target);
    QCOMPARE(m_doubles->shell->requests.constFirst().parameters, QString());
}

void tst_frmmain_launch::failedOpenIsTold()
{
    layOut({QStringLiteral("/nowhere/tool;;T;1")});
    CurrentLang = 1;
    m_doubles->shell->result = false;
    QTest::mouseClick(m_bar->windowHandle(), Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    QVERIFY(m_doubles->messages->shown.constFirst().text.contains(QStringLiteral("/nowhere/tool")));
    QCOMPARE(m_doubles->messages->shown.constFirst().title, frmMain::versionTitle());
}

void tst_frmmain_launch::rightClickPopsMenuOnly_data()
{
    QTest::addColumn<bool>("available");
    QTest::newRow("translucency") << true;
    QTest::newRow("no translucency") << false;
}

void tst_frmmain_launch::rightClickPopsMenuOnly()
{
    QFETCH(bool, available);
    m_doubles->windows->translucent = available;
    layOut({QStringLiteral("/usr/bin/a;;A;1"), QStringLiteral("/usr/bin/b;;B;1")});
    QCOMPARE(TransparencyAvailable, available);
    QVERIFY(!m_bar->menuLoaded());

    const QPoint at = centreOf(2);
    QCursor::setPos(m_bar->mapToGlobal(at));
    QTest::mouseClick(m_bar->windowHandle(), Qt::RightButton, {}, at);
    QVERIFY(m_doubles->shell->requests.isEmpty());
    QVERIFY(m_bar->menuLoaded());
    frmMenu& menu = m_bar->menu();
    QTRY_VERIFY(menu.mnuFile->isVisible());
    QCOMPARE(QApplication::activePopupWidget(), menu.mnuFile);
    QCOMPARE(menu.mnuFileTransparency->isVisible(), available);
    // At the pointer.
    QCOMPARE(menu.mnuFile->pos(), QCursor::pos());
}

void tst_frmmain_launch::translucencyFollowsTheSystem_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<bool>("later");
    QTest::newRow("compositing manager started after the bar") << false << true;
    QTest::newRow("compositing manager gone") << true << false;
}

void tst_frmmain_launch::translucencyFollowsTheSystem()
{
    QFETCH(bool, atStart);
    QFETCH(bool, later);
    m_doubles->settings->values.insert(barfixture::settingKey("Transparency", "Val_Trans"),
                                       QStringLiteral("128"));
    m_doubles->windows->translucent = atStart;
    layOut({QStringLiteral("/usr/bin/a;;A;1")});
    QCOMPARE(m_doubles->windows->opacities, atStart ? QList<int>{128} : QList<int>{});

    m_doubles->windows->translucent = later;
    const QPoint at = centreOf(1);
    QTest::mouseClick(m_bar->windowHandle(), Qt::RightButton, {}, at);
    frmMenu& menu = m_bar->menu();
    QTRY_VERIFY(menu.mnuFile->isVisible());
    QCOMPARE(menu.mnuFileTransparency->isVisible(), later);
    QCOMPARE(TransparencyAvailable, later);
    // The stored level is what the bar shows once it can; without a compositor the bar is opaque,
    // and keeps the level for when one comes back.
    QCOMPARE(m_doubles->windows->opacities.value(m_doubles->windows->opacities.size() - 1, 255),
             later ? 128 : 255);
    QCOMPARE(TransparencyValue, qint16(128));
}

void tst_frmmain_launch::barWithoutButtonsOffersMenu()
{
    layOut({});
    QCOMPARE(m_bar->size(), QSize(48, 48));
    QTest::mouseClick(m_bar->windowHandle(), Qt::RightButton, {}, QPoint(20, 20));
    QVERIFY(m_bar->menuLoaded());
    QTRY_VERIFY(m_bar->menu().mnuFile->isVisible());
    closePopup();

    // A left click on the empty bar does nothing.
    m_bar->unloadMenu();
    QTest::mouseClick(m_bar->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!m_bar->menuLoaded());
    QVERIFY(m_doubles->shell->requests.isEmpty());
}

void tst_frmmain_launch::authorLinks()
{
    modStartProg::OpenAuthorSite();
    modStartProg::MailAuthor();
    QCOMPARE(m_doubles->shell->requests.size(), 2);
    QCOMPARE(m_doubles->shell->requests.at(0).target, frmAbout::authorSite());
    QCOMPARE(m_doubles->shell->requests.at(1).target, frmAbout::authorMail());
    QVERIFY(frmAbout::authorMail().startsWith(QLatin1String("mailto:")));
    for (const platform::ShellRequest& request : std::as_const(m_doubles->shell->requests)) {
        QCOMPARE(request.verb, QStringLiteral("Open"));
        QCOMPARE(request.parameters, QString());
        QCOMPARE(request.folder, QStringLiteral("/"));
        QCOMPARE(request.show, platform::ShowState::Normal);
    }
}

void tst_frmmain_launch::dropActions_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("taken"); // IgnoreAction: refused

    // A launcher points at what it is given: a move would have the giver delete its file.
    QTest::newRow("copy or move") << true << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::CopyAction);
    QTest::newRow("link, copy or move")
        << true << int(Qt::LinkAction | Qt::CopyAction | Qt::MoveAction) << int(Qt::LinkAction);
    QTest::newRow("move only") << true << int(Qt::MoveAction) << int(Qt::IgnoreAction);
    QTest::newRow("no such file") << false << int(Qt::CopyAction) << int(Qt::IgnoreAction);
}

void tst_frmmain_launch::dropActions()
{
    QFETCH(bool, exists);
    QFETCH(int, offered);
    QFETCH(int, taken);
    layOut({QStringLiteral("/usr/bin/first;;First;1")});
    const QString document = m_folder->file(QStringLiteral("notes.txt"));
    if (exists) {
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(document)});
    QDragEnterEvent enter(centreOf(1), Qt::DropActions(offered), &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_bar.get(), &enter);
    QCOMPARE(enter.isAccepted(), taken != Qt::IgnoreAction);
    if (enter.isAccepted())
        QCOMPARE(int(enter.dropAction()), taken);
}

QTEST_MAIN(tst_frmmain_launch)
#include "tst_frmmain_launch.moc"
