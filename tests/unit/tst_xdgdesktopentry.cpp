#include "platform/linux/desktopentry.h"
#include "platform/linux/xdgautostart.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class tst_XdgDesktopEntry : public QObject {
    Q_OBJECT

private slots:
    void quoteArgument_data();
    void quoteArgument();
    void execRoundTrip_data();
    void execRoundTrip();
    void parseExecFieldCodesAndErrors_data();
    void parseExecFieldCodesAndErrors();
    void entryValueReadsOnlyTheEntryGroup();
    void autostartWritesOneEntryWithTheCurrentPath();
    void autostartRemoveMissingSucceeds();
    void autostartRejectsNamesThatAreNotFileNames();
};

void tst_XdgDesktopEntry::quoteArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "/opt/dovi/Dovi"
                           << "/opt/dovi/Dovi";
    QTest::newRow("empty") << ""
                           << "\"\"";
    QTest::newRow("space") << "/opt/my dovi/Dovi"
                           << "\"/opt/my dovi/Dovi\"";
    QTest::newRow("dollar") << "/opt/$HOME/Dovi"
                            << "\"/opt/\\$HOME/Dovi\"";
    QTest::newRow("double quote") << "/opt/a\"b/Dovi"
                                  << "\"/opt/a\\\"b/Dovi\"";
    QTest::newRow("backtick") << "/opt/`id`/Dovi"
                              << "\"/opt/\\`id\\`/Dovi\"";
    QTest::newRow("backslash") << "/opt/a\\b"
                               << "\"/opt/a\\\\b\"";
    QTest::newRow("single quote kept") << "/opt/it's/Dovi"
                                       << "\"/opt/it's/Dovi\"";
    QTest::newRow("semicolon") << "/opt/a;b"
                               << "\"/opt/a;b\"";
    QTest::newRow("tilde") << "~/Dovi"
                           << "\"~/Dovi\"";
    QTest::newRow("percent needs no quotes") << "/opt/100%/Dovi"
                                             << "/opt/100%/Dovi";
}

void tst_XdgDesktopEntry::quoteArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, quoted);
    QCOMPARE(desktopentry::quoteArgument(argument), quoted);
}

void tst_XdgDesktopEntry::execRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("execValue");
    QTest::newRow("plain") << "/opt/dovi/Dovi"
                           << "/opt/dovi/Dovi";
    QTest::newRow("percent") << "/opt/100%/Dovi"
                             << "/opt/100%%/Dovi";
    QTest::newRow("percent field-code look") << "/opt/%f %U/Dovi"
                                             << "\"/opt/%%f %%U/Dovi\"";
    // The string escape comes on top of the quoting: one backslash becomes four.
    QTest::newRow("backslash") << "/opt/a\\b/Dovi"
                               << "\"/opt/a\\\\\\\\b/Dovi\"";
    QTest::newRow("everything") << "/home/u/My \"Dovi\" $(x) 50% `y`;'z'/Dovi"
                                << "\"/home/u/My \\\\\"Dovi\\\\\" \\\\$(x) 50%% \\\\`y\\\\`;'z'/Dovi\"";
    QTest::newRow("newline") << "/opt/a\nb/Dovi"
                             << "\"/opt/a\\nb/Dovi\"";
    QTest::newRow("tab") << "/opt/a\tb"
                         << "\"/opt/a\\tb\"";
    QTest::newRow("non-ASCII") << QStringLiteral("/opt/Dovi été/Dovi")
                               << QStringLiteral("\"/opt/Dovi été/Dovi\"");
}

void tst_XdgDesktopEntry::execRoundTrip()
{
    QFETCH(QString, path);
    QFETCH(QString, execValue);
    const QString written = desktopentry::execValue({path});
    QCOMPARE(written, execValue);
    QVERIFY(!written.contains(QLatin1Char('\n')));
    const std::optional<QStringList> parsed = desktopentry::parseExec(written);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, QStringList{path});
}

void tst_XdgDesktopEntry::parseExecFieldCodesAndErrors_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("field codes dropped")
        << "/usr/bin/app %U --x" << true << QStringList{"/usr/bin/app", "--x"};
    QTest::newRow("quoted and plain") << "\"/a b/c\" d" << true << QStringList{"/a b/c", "d"};
    QTest::newRow("empty quoted argument") << "app \"\"" << true << QStringList{"app", ""};
    QTest::newRow("double blanks") << "app   x" << true << QStringList{"app", "x"};
    QTest::newRow("unterminated quote") << "\"/a b" << false << QStringList{};
    QTest::newRow("lone percent at end") << "app %" << false << QStringList{};
}

void tst_XdgDesktopEntry::parseExecFieldCodesAndErrors()
{
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QFETCH(QStringList, arguments);
    const std::optional<QStringList> parsed = desktopentry::parseExec(value);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, arguments);
}

void tst_XdgDesktopEntry::entryValueReadsOnlyTheEntryGroup()
{
    const QString text = QStringLiteral("# Icon=comment\r\n"
                                        "[Desktop Action new]\r\n"
                                        "Icon=action-icon\r\n"
                                        "[Desktop Entry]\r\n"
                                        "Name=App\r\n"
                                        "Icon[fr]=localized\r\n"
                                        "Icon = my\\sicon\r\n");
    QCOMPARE(desktopentry::entryValue(text, QStringLiteral("Icon")), QStringLiteral("my icon"));
    QCOMPARE(desktopentry::entryValue(text, QStringLiteral("Exec")), QString());
}

void tst_XdgDesktopEntry::autostartWritesOneEntryWithTheCurrentPath()
{
    XdgAutostart autostart;
    const QString path = XdgAutostart::entryPath(QStringLiteral("Dovi"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QCOMPARE(path, config + QStringLiteral("/autostart/Dovi.desktop"));
    QFile::remove(path);
    QDir(config).rmdir(QStringLiteral("autostart"));

    const QString first = QStringLiteral("/opt/old place/Dovi");
    const QString second = QStringLiteral("/home/u/My \"Dovi\" $HOME 100%/Dovi");
    QVERIFY(autostart.setEntry(QStringLiteral("Dovi"), first));
    QVERIFY(autostart.setEntry(QStringLiteral("Dovi"), second));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.startsWith(QLatin1String("[Desktop Entry]\n")));
    QCOMPARE(desktopentry::entryValue(text, QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(desktopentry::entryValue(text, QStringLiteral("Name")), QStringLiteral("Dovi"));
    QCOMPARE(text.count(QLatin1String("Exec=")), 1);
    const QString exec = text.section(QLatin1String("Exec="), 1).section(QLatin1Char('\n'), 0, 0);
    QCOMPARE(desktopentry::parseExec(exec).value_or(QStringList()), QStringList{second});
    // Only the entry itself is in the folder: the save left nothing beside it.
    QCOMPARE(QDir(config + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Dovi.desktop")});
}

void tst_XdgDesktopEntry::autostartRemoveMissingSucceeds()
{
    XdgAutostart autostart;
    const QString path = XdgAutostart::entryPath(QStringLiteral("Dovi"));
    QVERIFY(autostart.setEntry(QStringLiteral("Dovi"), QStringLiteral("/opt/Dovi")));
    QVERIFY(QFile::exists(path));
    QVERIFY(autostart.removeEntry(QStringLiteral("Dovi")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(autostart.removeEntry(QStringLiteral("Dovi")));
}

void tst_XdgDesktopEntry::autostartRejectsNamesThatAreNotFileNames()
{
    XdgAutostart autostart;
    QVERIFY(!autostart.setEntry(QStringLiteral("../Dovi"), QStringLiteral("/opt/Dovi")));
    QVERIFY(!autostart.setEntry(QString(), QStringLiteral("/opt/Dovi")));
    QVERIFY(!autostart.setEntry(QStringLiteral("Dovi"), QString()));
}

QTEST_GUILESS_MAIN(tst_XdgDesktopEntry)
#include "tst_xdgdesktopentry.moc"
