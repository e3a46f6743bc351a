// The pure parts of the preferences: the working copy of the buttons with its order, the position rule
// and the list-row texts.
#include "bar/prefsposition.h"
#include "bar/prefstexts.h"
#include "bar/prefsworkingset.h"

#include <QtTest>

class tst_prefsworkingset : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameTitlesStayApart();
    void undoPutsBackOnlyItsRow();
    void movesStopAtTheEnds();
    void linesPlainAndOrderedHoldEveryLiveEntryOnce();
    void firstMissingInEntryOrder_data();
    void firstMissingInEntryOrder();

    void apply_data();
    void apply();
    void roundHalfEven_data();
    void roundHalfEven();
    void sliderRange();

    void markedRows();
};

namespace {
PrefsWorkingSet editors()
{
    PrefsWorkingSet set;
    set.add({QStringLiteral("Editor"), QStringLiteral("/gedit"), QString(), false, 1});
    set.add({QStringLiteral("Term"), QStringLiteral("/xterm"), QString(), false, 2});
    set.add({QStringLiteral("Editor"), QStringLiteral("/vim"), QString(), false, 3});
    return set;
}
QStringList programs(const QList<configfile::ButtonEntry>& lines)
{
    QStringList out;
    for (const auto& line : lines)
        out << line.program + QLatin1Char(':') + QString::number(line.state);
    return out;
}
} // namespace

void tst_prefsworkingset::sameTitlesStayApart()
{
    PrefsWorkingSet set = editors();
    QVERIFY(set.markDeleted(1));
    QVERIFY(!set.markDeleted(1));
    QCOMPARE(set.order(), QList<int>({2, 3}));
    QCOMPARE(set.liveCount(), 2);
    QCOMPARE(programs(set.buttonLines(true)), QStringList({"/xterm:2", "/vim:3"}));
    set.setTitle(3, QStringLiteral("Vim"));
    QCOMPARE(set.entry(1).title, QStringLiteral("Editor"));
}

void tst_prefsworkingset::undoPutsBackOnlyItsRow()
{
    PrefsWorkingSet set = editors();
    set.markDeleted(3);
    QVERIFY(set.undoDelete(3));
    QVERIFY(!set.undoDelete(3));
    QCOMPARE(set.order(), QList<int>({1, 2, 3}));
    set.markDeleted(1);
    set.undoDelete(1);
    QCOMPARE(set.order(), QList<int>({2, 3, 1}));
}

void tst_prefsworkingset::movesStopAtTheEnds()
{
    PrefsWorkingSet set = editors();
    QVERIFY(!set.moveUp(0));
    QVERIFY(!set.moveDown(2));
    QVERIFY(!set.moveUp(3));
    QVERIFY(!set.moveDown(-1));
    QCOMPARE(set.order(), QList<int>({1, 2, 3}));
    QVERIFY(set.moveUp(2));
    QCOMPARE(set.order(), QList<int>({1, 3, 2}));
    QCOMPARE(set.orderRowOf(3), 1);
}

void tst_prefsworkingset::linesPlainAndOrderedHoldEveryLiveEntryOnce()
{
    PrefsWorkingSet set = editors();
    set.moveDown(0);
    set.moveDown(1);
    QCOMPARE(programs(set.buttonLines(true)), QStringList({"/xterm:2", "/vim:3", "/gedit:1"}));
    QCOMPARE(programs(set.buttonLines(false)), QStringList({"/gedit:1", "/xterm:2", "/vim:3"}));
    set.markDeleted(2);
    QCOMPARE(programs(set.buttonLines(true)), QStringList({"/vim:3", "/gedit:1"}));
    QCOMPARE(programs(set.buttonLines(false)), QStringList({"/gedit:1", "/vim:3"}));
}

void tst_prefsworkingset::firstMissingInEntryOrder_data()
{
    QTest::addColumn<bool>("iconRequired");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("field");
    QTest::newRow("icons extracted") << false << 3 << int(PrefsWorkingSet::Field::Program);
    QTest::newRow("icons required") << true << 1 << int(PrefsWorkingSet::Field::Icon);
}

void tst_prefsworkingset::firstMissingInEntryOrder()
{
    QFETCH(bool, iconRequired);
    QFETCH(int, entry);
    QFETCH(int, field);
    PrefsWorkingSet set;
    set.add({QStringLiteral("A"), QStringLiteral("/a"), QString(), false, 1});
    set.add({QStringLiteral("B"), QStringLiteral("/b"), QStringLiteral("/b.ico"), false, 1});
    set.add({QStringLiteral("C"), QString(), QString(), false, 1});
    // An entry marked for deletion goes with the save: what it lacks does not hold the save up.
    set.add({QString(), QString(), QString(), true, 1});
    const auto missing = set.firstMissing(iconRequired);
    QVERIFY(missing.has_value());
    QCOMPARE(missing->entry, entry);
    QCOMPARE(int(missing->field), field);
    set.setProgram(3, QStringLiteral("/c"));
    set.setIcon(1, QStringLiteral("/a.ico"));
    set.setIcon(3, QStringLiteral("/c.ico"));
    QVERIFY(!set.firstMissing(iconRequired).has_value());
    set.setTitle(2, QString());
    QCOMPARE(set.firstMissing(iconRequired)->entry, 2);
}

void tst_prefsworkingset::apply_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("sign") << "-20" << 500 << "0" << 0;
    QTest::newRow("leading space") << " 40" << 500 << "0" << 0;
    QTest::newRow("plus") << "+40" << 500 << "0" << 0;
    QTest::newRow("over") << "501" << 500 << "500" << 500;
    QTest::newRow("huge") << "1e300" << 500 << "500" << 500;
    QTest::newRow("fraction") << "40.5" << 500 << "40" << 40;
    QTest::newRow("fraction up") << "41.5" << 500 << "42" << 42;
    QTest::newRow("words") << "4x" << 500 << "0" << 0;
    QTest::newRow("comma") << "4,5" << 500 << "0" << 0;
    QTest::newRow("no room") << "10" << -5 << "0" << 0;
}

void tst_prefsworkingset::apply()
{
    QFETCH(QString, text);
    QFETCH(int, maximum);
    QFETCH(QString, shown);
    QFETCH(int, value);
    const prefsposition::Outcome outcome = prefsposition::apply(text, maximum);
    QCOMPARE(outcome.text, shown);
    QCOMPARE(outcome.value, value);
}

void tst_prefsworkingset::roundHalfEven_data()
{
    QTest::addColumn<double>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.51") << 2.51 << 3;
    QTest::newRow("nan") << qQNaN() << 0;
}

void tst_prefsworkingset::roundHalfEven()
{
    QFETCH(double, in);
    QFETCH(int, out);
    QCOMPARE(prefsposition::roundHalfEven(in), out);
}

void tst_prefsworkingset::sliderRange()
{
    // 1024 pixels less a bar of 1500 twips at 15 twips per pixel.
    QCOMPARE(prefsposition::sliderMaximum(1024, 1500, 15), 924);
    QCOMPARE(prefsposition::sliderMaximum(100, 3000, 15), 0);
    QCOMPARE(prefsposition::sliderValue(1500, 15, 924), 100);
    QCOMPARE(prefsposition::sliderValue(-300, 15, 924), 0);
    QCOMPARE(prefsposition::sliderValue(99999, 15, 924), 924);
}

void tst_prefsworkingset::markedRows()
{
    const QString french = prefstexts::markedRow(3, QStringLiteral("C"), 0);
    const QString english = prefstexts::markedRow(3, QStringLiteral("C"), 1);
    QCOMPARE(french, QStringLiteral("3 -- C >> Prêt à être supprimé."));
    QCOMPARE(english, QStringLiteral("3 -- C >> Loan has to be removed."));
    QVERIFY(prefstexts::isMarkedRow(french, 3, QStringLiteral("C")));
    QVERIFY(prefstexts::isMarkedRow(english, 3, QStringLiteral("C")));
    QVERIFY(!prefstexts::isMarkedRow(prefstexts::listRow(3, QStringLiteral("C")), 3, QStringLiteral("C")));
    QVERIFY(!prefstexts::isMarkedRow(french, 2, QStringLiteral("C")));
    QVERIFY(prefstexts::windowStates(2).isEmpty());
}

QTEST_APPLESS_MAIN(tst_prefsworkingset)
#include "tst_prefsworkingset.moc"
