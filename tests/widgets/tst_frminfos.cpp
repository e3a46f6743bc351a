// The tips window: its texts by tip and language, the five-tick timer, the box that stops the tips
// and its mirror in the preferences dialog, the setting written on every way of closing, its place.
#include "bar/frminfos.h"
#include "bar/moddeclarepublic.h"
#include "bar/settings.h"
#include "platform/testing/doubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

using platform::testing::ScopedDoubles;

namespace {
const QString ToolTipKey = QStringLiteral("Dovi/Infos/ToolTip");

// What the tips window expects of the preferences dialog: a window named "frmPrefs" holding the
// check box "chkToolTip", ticked while the tips are shown.
struct PrefsStandIn {
    PrefsStandIn()
    {
        dialog.setObjectName(QStringLiteral("frmPrefs"));
        chkToolTip = new QCheckBox(QStringLiteral("Show the infos dialog box"), &dialog);
        chkToolTip->setObjectName(QStringLiteral("chkToolTip"));
        chkToolTip->setChecked(true);
        dialog.setGeometry(200, 150, 400, 300);
        dialog.show();
    }
    QDialog dialog;
    QCheckBox* chkToolTip = nullptr;
};

QCheckBox* check1(frmInfos& infos)
{
    return infos.findChild<QCheckBox*>(QStringLiteral("Check1"));
}

QPushButton* command1(frmInfos& infos)
{
    return infos.findChild<QPushButton*>(QStringLiteral("Command1"));
}

// One second of the window's timer.
void tick(frmInfos& infos)
{
    QVERIFY(QMetaObject::invokeMethod(&infos, "Timer1_Timer"));
}
} // namespace

class tst_frminfos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void tipTexts_data();
    void tipTexts();
    void closesByItselfAtTheFifthTick();
    void realTimerClosesTheWindow();
    void modalShowingEndsAtTheFifthTick();
    void tickedThenTimerWritesOneAndTipsStop();
    void tickedThenClearedWritesNothing();
    void everyWayOfClosingKeepsTheChoice_data();
    void everyWayOfClosingKeepsTheChoice();
    void untickedClosingWritesNothing();
    void showingAgainStartsAfresh();
    void translucentWhenAvailable();
    void layoutInTwips();
    void designSizeWithNarrowTexts();
    void tooltipColoursWithBorder();
    void placedNearThePreferences_data();
    void placedNearThePreferences();
    void shownBelowTheOpenPreferences();

private:
    std::unique_ptr<ScopedDoubles> m_doubles;
};

void tst_frminfos::init()
{
    modDeclarePublic::reset();
    m_doubles = std::make_unique<ScopedDoubles>();
}

void tst_frminfos::cleanup()
{
    m_doubles.reset();
    modDeclarePublic::reset();
}

void tst_frminfos::tipTexts_data()
{
    QTest::addColumn<int>("tip");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("box");
    const QString boxFr = QStringLiteral("Ne plus afficher les bulles d'infos.");
    const QString boxEn = QStringLiteral("Never show the infos window.");
    QTest::newRow("add fr") << 0 << 0 << "Pour annuler cette action,"
                            << "cliquez sur la liste des boutons." << boxFr;
    QTest::newRow("add en") << 0 << 1 << "For cancel this action,"
                            << "click of the buttons list." << boxEn;
    QTest::newRow("create fr") << 1 << 0 << "Le bouton sera créé lors de la fermeture"
                               << "de la boîte de dialogue des options." << boxFr;
    QTest::newRow("create en") << 1 << 1 << "The button will be created during the"
                               << "closing of the options dialog box." << boxEn;
    QTest::newRow("delete fr") << 2 << 0 << "Le bouton sera supprimé lors de la"
                               << "fermeture de la boîte de dialogue des options." << boxFr;
    QTest::newRow("delete en") << 2 << 1 << "The button will be deleted during the"
                               << "closing of the options dialog box." << boxEn;
    // Any non-zero flag is English for the box; an unknown tip keeps the design texts.
    QTest::newRow("unknown tip, en") << 3 << 1 << "Pour annuler cette action,"
                                     << "cliquez sur la liste des bouton !" << boxEn;
    QTest::newRow("negative tip, fr") << -1 << 0 << "Pour annuler cette action,"
                                      << "cliquez sur la liste des bouton !" << boxFr;
    QTest::newRow("flag 2 is English") << 0 << 2 << "For cancel this action,"
                                       << "click of the buttons list." << boxEn;
}

void tst_frminfos::tipTexts()
{
    QFETCH(int, tip);
    QFETCH(int, lang);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, box);
    modDeclarePublic::InfosTip = static_cast<qint16>(tip);
    modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
    frmInfos infos;
    infos.show();
    QCOMPARE(infos.Label1(0)->text(), first);
    QCOMPARE(infos.Label1(1)->text(), second);
    QCOMPARE(check1(infos)->text().remove(QLatin1Char('&')), box);
    QCOMPARE(command1(infos)->text(), QStringLiteral("X"));
    QCOMPARE(infos.Label1(0)->font().family(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(infos.Label1(1)->font().pointSizeF(), 9.75);
}

void tst_frminfos::closesByItselfAtTheFifthTick()
{
    frmInfos infos;
    infos.show();
    QVERIFY(infos.Timer1().isActive());
    QCOMPARE(infos.Timer1().interval(), 1000);
    for (int second = 1; second <= 4; ++second) {
        tick(infos);
        QVERIFY2(infos.isVisible(), qPrintable(QStringLiteral("closed after %1 ticks").arg(second)));
    }
    tick(infos);
    QVERIFY(!infos.isVisible());
    QVERIFY(!infos.Timer1().isActive());
    QVERIFY(m_doubles->settings->values.isEmpty());
}

void tst_frminfos::realTimerClosesTheWindow()
{
    // The timer itself drives the ticks: faster here, the same five of them.
    frmInfos infos;
    infos.show();
    infos.Timer1().setInterval(5);
    QTRY_VERIFY_WITH_TIMEOUT(!infos.isVisible(), 2000);
    QVERIFY(!infos.Timer1().isActive());
}

void tst_frminfos::modalShowingEndsAtTheFifthTick()
{
    PrefsStandIn prefs;
    modDeclarePublic::InfosTip = 1;
    frmInfos infos(&prefs.dialog);
    int ticks = 0;
    QTimer::singleShot(0, &infos, [&] {
        check1(infos)->click();
        while (infos.isVisible() && ticks < 10) {
            tick(infos);
            ++ticks;
        }
    });
    infos.exec();
    QCOMPARE(ticks, 5);
    QCOMPARE(m_doubles->settings->values.value(ToolTipKey), QStringLiteral("1"));
}

void tst_frminfos::tickedThenTimerWritesOneAndTipsStop()
{
    PrefsStandIn prefs;
    frmInfos infos;
    infos.show();
    QTest::mouseClick(check1(infos), Qt::LeftButton);
    QVERIFY(check1(infos)->isChecked());
    QVERIFY(!prefs.chkToolTip->isChecked());
    // Nothing is written while the window is open.
    QVERIFY(m_doubles->settings->values.isEmpty());
    for (int i = 0; i < 5; ++i)
        tick(infos);
    QVERIFY(!infos.isVisible());
    QCOMPARE(m_doubles->settings->values.value(ToolTipKey), QStringLiteral("1"));
    // The preferences dialog shows a tip only while this reads 0.
    QCOMPARE(settings::InfosToolTip(), 1);
}

void tst_frminfos::tickedThenClearedWritesNothing()
{
    PrefsStandIn prefs;
    frmInfos infos;
    infos.show();
    QTest::mouseClick(check1(infos), Qt::LeftButton);
    QVERIFY(!prefs.chkToolTip->isChecked());
    QTest::mouseClick(check1(infos), Qt::LeftButton);
    QVERIFY(prefs.chkToolTip->isChecked());
    for (int i = 0; i < 5; ++i)
        tick(infos);
    QVERIFY(!infos.isVisible());
    QVERIFY(m_doubles->settings->values.isEmpty());
    QVERIFY(prefs.chkToolTip->isChecked());
    QCOMPARE(settings::InfosToolTip(), 0);
}

void tst_frminfos::everyWayOfClosingKeepsTheChoice_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("X button") << "x";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("window closed") << "close";
    QTest::newRow("hidden by the program") << "hide";
    QTest::newRow("preferences dialog hidden") << "prefs hidden";
    QTest::newRow("preferences dialog destroyed") << "prefs destroyed";
    QTest::newRow("window destroyed") << "destroyed";
}

void tst_frminfos::everyWayOfClosingKeepsTheChoice()
{
    QFETCH(QString, way);
    auto prefs = std::make_unique<PrefsStandIn>();
    auto infos = std::make_unique<frmInfos>();
    infos->show();
    QTest::mouseClick(check1(*infos), Qt::LeftButton);
    QVERIFY(infos->Timer1().isActive());

    if (way == QLatin1String("x"))
        QTest::mouseClick(command1(*infos), Qt::LeftButton);
    else if (way == QLatin1String("escape"))
        QTest::keyClick(infos.get(), Qt::Key_Escape);
    else if (way == QLatin1String("close"))
        QVERIFY(infos->close());
    else if (way == QLatin1String("hide"))
        infos->hide();
    else if (way == QLatin1String("prefs hidden"))
        prefs->dialog.hide();
    else if (way == QLatin1String("prefs destroyed"))
        prefs.reset();
    else if (way == QLatin1String("destroyed"))
        infos.reset();

    if (infos) {
        QVERIFY(!infos->isVisible());
        QVERIFY(!infos->Timer1().isActive());
    }
    QCOMPARE(m_doubles->settings->values.value(ToolTipKey), QStringLiteral("1"));
    QCOMPARE(m_doubles->settings->values.size(), 1);
}

void tst_frminfos::untickedClosingWritesNothing()
{
    PrefsStandIn prefs;
    frmInfos infos;
    infos.show();
    QTest::mouseClick(command1(infos), Qt::LeftButton);
    QVERIFY(!infos.isVisible());
    QVERIFY(m_doubles->settings->values.isEmpty());
    QVERIFY(prefs.chkToolTip->isChecked());
}

void tst_frminfos::showingAgainStartsAfresh()
{
    PrefsStandIn prefs;
    modDeclarePublic::InfosTip = 2;
    frmInfos infos;
    infos.show();
    tick(infos);
    tick(infos);
    tick(infos);
    QTest::mouseClick(command1(infos), Qt::LeftButton);

    // A second showing counts its own five ticks and starts with the box cleared.
    infos.show();
    QVERIFY(infos.Timer1().isActive());
    QVERIFY(!check1(infos)->isChecked());
    QVERIFY(prefs.chkToolTip->isChecked());
    for (int i = 0; i < 4; ++i)
        tick(infos);
    QVERIFY(infos.isVisible());
    tick(infos);
    QVERIFY(!infos.isVisible());

    // An unknown tip on a later showing brings back the design texts, not the last tip's.
    modDeclarePublic::InfosTip = 7;
    infos.show();
    QCOMPARE(infos.Label1(1)->text(), QStringLiteral("cliquez sur la liste des bouton !"));
    QTest::mouseClick(command1(infos), Qt::LeftButton);
}

void tst_frminfos::translucentWhenAvailable()
{
    {
        modDeclarePublic::TransparencyAvailable = false;
        frmInfos infos;
        infos.show();
        QVERIFY(m_doubles->windows->opacities.isEmpty());
    }
    modDeclarePublic::TransparencyAvailable = true;
    frmInfos infos;
    infos.show();
    QCOMPARE(m_doubles->windows->opacities, QList<int>{220});
}

void tst_frminfos::layoutInTwips()
{
    // 15 twips per pixel across and 12 down: each axis is converted with its own factor.
    m_doubles->screen->tppX = 15;
    m_doubles->screen->tppY = 12;
    modDeclarePublic::InfosTip = 2;
    frmInfos infos;
    infos.show();
    QCOMPARE(infos.height(), 101);
    QVERIFY(infos.width() >= 297);
    QCOMPARE(infos.Label1(0)->pos(), QPoint(8, 10));
    QCOMPARE(infos.Label1(1)->pos(), QPoint(8, 30));
    QCOMPARE(check1(infos)->pos(), QPoint(8, 70));
    QCOMPARE(infos.Label1(0)->height(), 23);
    QCOMPARE(check1(infos)->height(), 21);
    QCOMPARE(command1(infos)->size(), QSize(17, 21));
    // The "X" keeps its place in the top right corner, however wide the window.
    QCOMPARE(command1(infos)->y(), 10);
    QCOMPARE(infos.width() - command1(infos)->geometry().right() - 1, 8);
    // Never narrower than designed, never cut, the first line clear of the "X".
    QVERIFY(infos.Label1(0)->width() >= 156);
    QVERIFY(infos.Label1(1)->width() >= 188);
    QVERIFY(check1(infos)->width() >= 185);
    for (QWidget* text : {static_cast<QWidget*>(infos.Label1(0)), static_cast<QWidget*>(infos.Label1(1)),
                          static_cast<QWidget*>(check1(infos))}) {
        QVERIFY(text->width() >= text->sizeHint().width());
        QVERIFY(infos.rect().contains(text->geometry()));
    }
    QVERIFY(infos.Label1(0)->geometry().right() < command1(infos)->x());
}

void tst_frminfos::designSizeWithNarrowTexts()
{
    // Texts far narrower than the design keep the design layout exactly.
    const QFont original = QApplication::font();
    QFont small = original;
    small.setPixelSize(4);
    QApplication::setFont(small);
    frmInfos infos;
    QFont tiny = infos.Label1(0)->font();
    tiny.setPixelSize(4);
    infos.Label1(0)->setFont(tiny);
    infos.Label1(1)->setFont(tiny);
    infos.show();
    QApplication::setFont(original);
    QCOMPARE(infos.size(), QSize(297, 81));
    QCOMPARE(infos.Label1(0)->geometry(), QRect(8, 8, 156, 18));
    QCOMPARE(infos.Label1(1)->geometry(), QRect(8, 24, 188, 18));
    QCOMPARE(check1(infos)->geometry(), QRect(8, 56, 185, 17));
    QCOMPARE(command1(infos)->geometry(), QRect(272, 8, 17, 17));
}

void tst_frminfos::tooltipColoursWithBorder()
{
    frmInfos infos;
    infos.show();
    const QImage picture = infos.grab().toImage();
    const QColor base = infos.palette().color(QPalette::ToolTipBase);
    const QColor border = infos.palette().color(QPalette::ToolTipText);
    QVERIFY(base != border);
    QCOMPARE(infos.palette().color(QPalette::Window), base);
    QCOMPARE(picture.pixelColor(0, 0), border);
    QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1), border);
    QCOMPARE(picture.pixelColor(picture.width() / 2, picture.height() - 1), border);
    // Between the check box and the bottom border: the tooltip background.
    QCOMPARE(picture.pixelColor(picture.width() - 30, picture.height() - 3), base);
}

void tst_frminfos::placedNearThePreferences_data()
{
    QTest::addColumn<QRect>("prefs");
    QTest::addColumn<QPoint>("expected");
    // Screen 1024 x 768; the window 297 x 81.
    QTest::newRow("below, centred") << QRect(200, 100, 400, 300) << QPoint(251, 404);
    QTest::newRow("above when no room below") << QRect(200, 500, 400, 260) << QPoint(251, 415);
    QTest::newRow("over its bottom edge when no room at all") << QRect(200, 20, 400, 740) << QPoint(251, 679);
    QTest::newRow("kept inside on the left") << QRect(-300, 100, 200, 200) << QPoint(0, 304);
    QTest::newRow("kept inside on the right") << QRect(900, 100, 300, 200) << QPoint(727, 304);
    QTest::newRow("no preferences: centred") << QRect() << QPoint(363, 343);
}

void tst_frminfos::placedNearThePreferences()
{
    QFETCH(QRect, prefs);
    QFETCH(QPoint, expected);
    const QRect screen(0, 0, 1024, 768);
    const QSize size(297, 81);
    const QPoint at = frmInfos::placeNear(prefs, size, screen);
    QCOMPARE(at, expected);
    QVERIFY(screen.contains(QRect(at, size)));
}

void tst_frminfos::shownBelowTheOpenPreferences()
{
    PrefsStandIn prefs;
    frmInfos infos;
    infos.show();
    const QRect frame = prefs.dialog.frameGeometry();
    QCOMPARE(infos.pos(), frmInfos::placeNear(frame, infos.size(), QRect(0, 0, 1024, 768)));
    QVERIFY(infos.geometry().top() > frame.bottom());
}

QTEST_MAIN(tst_frminfos)
#include "tst_frminfos.moc"
