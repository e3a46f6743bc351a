#include "platform/services.h"

#include <QtTest>

#include <optional>
#include <vector>

// The bar asks Qt for X11, before the application object is made, unless the user chose.
class tst_WindowSystem : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choice_data();
    void choice();

private:
    std::optional<QByteArray> m_saved;
};

void tst_WindowSystem::init()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        m_saved = qgetenv("QT_QPA_PLATFORM");
}

void tst_WindowSystem::cleanup()
{
    if (m_saved)
        qputenv("QT_QPA_PLATFORM", *m_saved);
    else
        qunsetenv("QT_QPA_PLATFORM");
    m_saved.reset();
}

void tst_WindowSystem::choice_data()
{
    QTest::addColumn<QByteArray>("environment"); // empty: not set
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expected"); // empty: left unset

    // A Wayland session would otherwise get a window that cannot be shaped, placed or kept.
    QTest::newRow("nothing chosen") << QByteArray() << QStringList{} << QByteArray("xcb;wayland");
    QTest::newRow("other arguments") << QByteArray() << QStringList{"-style", "fusion"}
                                     << QByteArray("xcb;wayland");
    // What the user or the tests chose stays.
    QTest::newRow("environment") << QByteArray("offscreen") << QStringList{} << QByteArray("offscreen");
    QTest::newRow("-platform name") << QByteArray() << QStringList{"-platform", "offscreen"} << QByteArray();
    QTest::newRow("--platform=name") << QByteArray() << QStringList{"--platform=wayland"} << QByteArray();
    QTest::newRow("-platform=name") << QByteArray() << QStringList{"-platform=vnc"} << QByteArray();
}

void tst_WindowSystem::choice()
{
    QFETCH(QByteArray, environment);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expected);
    if (environment.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", environment);

    std::vector<QByteArray> storage{QByteArray("Dovi")};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<const char*> argv;
    for (const QByteArray& argument : storage)
        argv.push_back(argument.constData());

    const bool chosen = platform::chooseWindowSystem(static_cast<int>(argv.size()), argv.data());
    if (expected.isEmpty())
        QVERIFY(!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
    else
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
    QCOMPARE(chosen, environment.isEmpty() && !expected.isEmpty());

    // Once taken back, the programs the bar starts see the environment it was given.
    if (chosen)
        platform::forgetWindowSystemChoice();
    QCOMPARE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"), !environment.isEmpty());
    if (!environment.isEmpty())
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), environment);
}

QTEST_GUILESS_MAIN(tst_WindowSystem)
#include "tst_windowsystem.moc"
