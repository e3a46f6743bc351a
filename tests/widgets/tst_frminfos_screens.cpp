// The tips window on a desktop of two screens side by side: it shows on the screen of the open
// preferences dialog, next to it.
#include "bar/frminfos.h"
#include "bar/moddeclarepublic.h"
#include "platform/testing/doubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class tst_frminfos_screens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void shownOnTheScreenOfThePreferences_data();
    void shownOnTheScreenOfThePreferences();

private:
    std::unique_ptr<platform::testing::ScopedDoubles> m_doubles;
};

void tst_frminfos_screens::init()
{
    modDeclarePublic::reset();
    m_doubles = std::make_unique<platform::testing::ScopedDoubles>();
}

void tst_frminfos_screens::cleanup()
{
    m_doubles.reset();
    modDeclarePublic::reset();
}

void tst_frminfos_screens::shownOnTheScreenOfThePreferences_data()
{
    QTest::addColumn<QRect>("prefs");
    QTest::newRow("left screen") << QRect(200, 150, 400, 300);
    QTest::newRow("right screen") << QRect(1300, 150, 400, 300);
    QTest::newRow("right screen, past its right edge") << QRect(2300, 150, 400, 300);
}

void tst_frminfos_screens::shownOnTheScreenOfThePreferences()
{
    QFETCH(QRect, prefs);
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmPrefs"));
    dialog.setGeometry(prefs);
    dialog.show();
    QScreen* screen = QGuiApplication::screenAt(dialog.frameGeometry().center());
    QVERIFY(screen);

    frmInfos infos;
    infos.show();
    const QRect tip = infos.frameGeometry();
    QVERIFY2(screen->geometry().contains(tip),
             qPrintable(QStringLiteral("tip at %1,%2 on %3").arg(tip.x()).arg(tip.y()).arg(screen->name())));
    QVERIFY(tip.top() > dialog.frameGeometry().bottom());
}

int main(int argc, char* argv[])
{
    // Two screens of 1280 x 1024 side by side, the left one primary.
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "dpr": 1},
        {"name": "right", "x": 1280, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "dpr": 1}
    ]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication app(argc, argv);
    tst_frminfos_screens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frminfos_screens.moc"
