// What the bar computes without widgets: where each button goes and how large the bar is, the show
// state of a window style, the request a launch makes, and the levels a window can be given.
#include "bar/modplacebuttons.h"
#include "bar/modsetformstransparency.h"
#include "bar/modstartprog.h"

#include <QtTest>

class tst_barlayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chain_data();
    void chain();
    void barSize_data();
    void barSize();
    void reachablePosition_data();
    void reachablePosition();
    void showStates_data();
    void showStates();
    void launchRequest();
    void levels();
};

void tst_barlayout::chain_data()
{
    QTest::addColumn<QString>("align");
    QTest::addColumn<QList<QSizeF>>("sizes");
    QTest::addColumn<QList<QPointF>>("corners");

    const QList<QSizeF> same{{720, 720}, {720, 720}, {720, 720}};
    const QList<QSizeF> mixed{{300, 450}, {720, 200}, {150, 600}};
    QTest::newRow("horizontal") << QStringLiteral("HORIZONTAL") << same
                                << QList<QPointF>{{0, 0}, {720, 0}, {1440, 0}};
    QTest::newRow("vertical") << QStringLiteral("VERTICAL") << same
                              << QList<QPointF>{{0, 0}, {0, 720}, {0, 1440}};
    QTest::newRow("horizontal, mixed widths")
        << QStringLiteral("HORIZONTAL") << mixed << QList<QPointF>{{0, 0}, {300, 0}, {1020, 0}};
    QTest::newRow("vertical, mixed heights")
        << QStringLiteral("VERTICAL") << mixed << QList<QPointF>{{0, 0}, {0, 450}, {0, 650}};
    QTest::newRow("lower case") << QStringLiteral("horizontal") << same
                                << QList<QPointF>{{0, 0}, {0, 0}, {0, 0}};
    QTest::newRow("empty") << QString() << mixed << QList<QPointF>{{0, 0}, {0, 0}, {0, 0}};
    QTest::newRow("one button") << QStringLiteral("VERTICAL") << QList<QSizeF>{{500, 400}}
                                << QList<QPointF>{{0, 0}};
}

void tst_barlayout::chain()
{
    QFETCH(QString, align);
    QFETCH(QList<QSizeF>, sizes);
    QFETCH(QList<QPointF>, corners);
    const QList<QRectF> rects = modPlaceButtons::chain(align, sizes);
    QCOMPARE(rects.size(), sizes.size());
    for (int i = 0; i < rects.size(); ++i) {
        QCOMPARE(rects.at(i).topLeft(), corners.at(i));
        QCOMPARE(rects.at(i).size(), sizes.at(i));
    }
    // Edge to edge: no gap and no overlap between neighbours.
    for (int i = 1; i < rects.size(); ++i) {
        if (align == QLatin1String("HORIZONTAL"))
            QCOMPARE(rects.at(i).left(), rects.at(i - 1).right());
        else if (align == QLatin1String("VERTICAL"))
            QCOMPARE(rects.at(i).top(), rects.at(i - 1).bottom());
    }
}

void tst_barlayout::barSize_data()
{
    QTest::addColumn<QString>("align");
    QTest::addColumn<QRectF>("first");
    QTest::addColumn<QRectF>("last");
    QTest::addColumn<QSizeF>("size");

    QTest::newRow("horizontal") << QStringLiteral("HORIZONTAL") << QRectF(0, 0, 720, 720)
                                << QRectF(1440, 0, 720, 720) << QSizeF(2160, 720);
    QTest::newRow("vertical") << QStringLiteral("VERTICAL") << QRectF(0, 0, 720, 720)
                              << QRectF(0, 1440, 720, 720) << QSizeF(720, 2160);
    // The first button gives the thickness, the last one the length.
    QTest::newRow("horizontal, mixed") << QStringLiteral("HORIZONTAL") << QRectF(0, 0, 300, 450)
                                       << QRectF(1020, 0, 150, 600) << QSizeF(1170, 450);
    QTest::newRow("vertical, mixed") << QStringLiteral("VERTICAL") << QRectF(0, 0, 300, 450)
                                     << QRectF(0, 650, 150, 600) << QSizeF(300, 1250);
    // Anything but "VERTICAL" is sized as a row.
    QTest::newRow("other") << QStringLiteral("DIAGONAL") << QRectF(0, 0, 720, 720) << QRectF(0, 0, 720, 720)
                           << QSizeF(720, 720);
}

void tst_barlayout::barSize()
{
    QFETCH(QString, align);
    QFETCH(QRectF, first);
    QFETCH(QRectF, last);
    QFETCH(QSizeF, size);
    QCOMPARE(modPlaceButtons::barSize(align, first, last), size);
}

void tst_barlayout::reachablePosition_data()
{
    QTest::addColumn<QRect>("bar");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRect>("holding");

    const QList<QRect> one{{0, 0, 1024, 768}};
    // A second screen right of the first, shorter, its top aligned.
    const QList<QRect> two{{0, 0, 1024, 768}, {1024, 0, 800, 600}};
    const QRect first = one.first();
    const QRect second = two.last();
    QTest::newRow("on the screen") << QRect(100, 50, 200, 48) << one << QPoint(100, 50) << first;
    QTest::newRow("its last pixel on the screen")
        << QRect(1023, 767, 200, 48) << one << QPoint(1023, 767) << first;
    QTest::newRow("partly left of the screen")
        << QRect(-150, 10, 200, 48) << one << QPoint(-150, 10) << first;
    QTest::newRow("just right of the screen") << QRect(1024, 10, 200, 48) << one << QPoint(824, 10) << first;
    QTest::newRow("far below and right") << QRect(3000, 2000, 200, 48) << one << QPoint(824, 720) << first;
    QTest::newRow("above and left") << QRect(-500, -60, 200, 48) << one << QPoint(0, 0) << first;
    QTest::newRow("larger than the screen") << QRect(2000, 0, 1500, 48) << one << QPoint(0, 0) << first;
    QTest::newRow("on the second screen") << QRect(1500, 100, 200, 48) << two << QPoint(1500, 100) << second;
    QTest::newRow("across both, mostly on the second")
        << QRect(950, 100, 200, 48) << two << QPoint(950, 100) << second;
    // Inside the screens' bounds but on none of them.
    QTest::newRow("below the shorter screen")
        << QRect(1500, 650, 200, 48) << two << QPoint(824, 650) << first;
    QTest::newRow("no screen known") << QRect(3000, 2000, 200, 48) << QList<QRect>() << QPoint(3000, 2000)
                                     << QRect();
}

void tst_barlayout::reachablePosition()
{
    QFETCH(QRect, bar);
    QFETCH(QList<QRect>, screens);
    QFETCH(QPoint, at);
    QCOMPARE(modPlaceButtons::reachablePosition(bar, screens), at);
    // The screen whose rules apply to the bar there: the one holding most of it.
    QFETCH(QRect, holding);
    QCOMPARE(modPlaceButtons::screenHolding(QRect(at, bar.size()), screens), holding);
}

void tst_barlayout::showStates_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("show"); // -1: nothing is opened
    QTest::newRow("1") << 1 << int(platform::ShowState::Normal);
    QTest::newRow("2") << 2 << int(platform::ShowState::Minimized);
    QTest::newRow("3") << 3 << int(platform::ShowState::Maximized);
    QTest::newRow("0") << 0 << -1;
    QTest::newRow("4") << 4 << -1;
    QTest::newRow("9") << 9 << -1;
    QTest::newRow("-1") << -1 << -1;
}

void tst_barlayout::showStates()
{
    QFETCH(int, style);
    QFETCH(int, show);
    const auto state = modStartProg::showStateFor(style);
    QCOMPARE(state.has_value(), show >= 0);
    if (state)
        QCOMPARE(int(*state), show);
}

void tst_barlayout::launchRequest()
{
    const platform::ShellRequest request =
        modStartProg::requestFor(QStringLiteral("/opt/a b/-x"), platform::ShowState::Maximized);
    QCOMPARE(request.verb, QStringLiteral("Open"));
    QCOMPARE(request.target, QStringLiteral("/opt/a b/-x"));
    QCOMPARE(request.parameters, QString());
    QCOMPARE(request.folder, QStringLiteral("/"));
    QCOMPARE(request.show, platform::ShowState::Maximized);
}

void tst_barlayout::levels()
{
    using modSetFormsTransparency::clampLevel;
    using modSetFormsTransparency::MinimumLevel;
    QVERIFY(MinimumLevel > 0 && MinimumLevel < 128);
    QCOMPARE(clampLevel(255), 255);
    QCOMPARE(clampLevel(256), 255);
    QCOMPARE(clampLevel(128), 128);
    QCOMPARE(clampLevel(MinimumLevel), MinimumLevel);
    QCOMPARE(clampLevel(MinimumLevel - 1), MinimumLevel);
    QCOMPARE(clampLevel(0), MinimumLevel);
    QCOMPARE(clampLevel(-32768), MinimumLevel);
}

QTEST_GUILESS_MAIN(tst_barlayout)
#include "tst_barlayout.moc"
