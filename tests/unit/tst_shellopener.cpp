#include "platform/linux/x11shellopener.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

// Starts real processes: recording scripts stand for launched programs and for the desktop's opener.
class tst_ShellOpener : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void programStartsInTheFolderWithNoArguments_data();
    void programStartsInTheFolderWithNoArguments();
    void parametersAreSplitWithoutAShell();
    void othersGoToTheOpenerAsOneAbsoluteArgument_data();
    void othersGoToTheOpenerAsOneAbsoluteArgument();
    void refused_data();
    void refused();
    void applicationEntryStartsItsProgram_data();
    void applicationEntryStartsItsProgram();
    void systemDriveRoot();

private:
    QString writeScript(const QString& name, const QByteArray& body);
    QStringList recorded(const QString& record);
    QTemporaryDir m_dir;
    QString m_work;
};

QString tst_ShellOpener::writeScript(const QString& name, const QByteArray& body)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList tst_ShellOpener::recorded(const QString& record)
{
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void tst_ShellOpener::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_work = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(m_work));
    for (const char* bin : {"bin-x", "bin-both"})
        QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(bin)));
    // Each recorder writes its folder, then one argument a line, then renames the file into
    // place, so a test never reads half a record.
    const QByteArray record =
        "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$DOVI_RECORD.part\"\n"
        "mv \"$DOVI_RECORD.part\" \"$DOVI_RECORD\"\n";
    QVERIFY(!writeScript(QStringLiteral("opener"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("program with spaces"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("$(touch x)"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("a;touch x"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("-n"), record).isEmpty());
    // Folders standing for PATH: no terminal emulator, the system's default one, and both.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("bin-none")));
    QVERIFY(!writeScript(QStringLiteral("bin-x/x-terminal-emulator"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("bin-both/x-terminal-emulator"), record).isEmpty());
    QVERIFY(!writeScript(QStringLiteral("bin-both/xdg-terminal-exec"), record).isEmpty());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("a folder")));
    for (const char* name : {"$(touch x).txt", "a;touch x.txt", "-e", "it's \"q\".txt"}) {
        QFile file(m_dir.filePath(QString::fromUtf8(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void tst_ShellOpener::init()
{
    const QString record = m_dir.filePath(QStringLiteral("record"));
    QFile::remove(record);
    qputenv("DOVI_RECORD", record.toUtf8());
}

void tst_ShellOpener::programStartsInTheFolderWithNoArguments_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("show");
    QTest::newRow("spaces, normal, in /") << "program with spaces"
                                          << "/" << 1;
    QTest::newRow("command substitution, minimized") << "$(touch x)"
                                                     << "/" << 2;
    QTest::newRow("semicolon, maximized") << "a;touch x"
                                          << "/" << 3;
    QTest::newRow("leading dash") << "-n"
                                  << "/" << 1;
    QTest::newRow("empty folder is the system root") << "program with spaces"
                                                     << "" << 1;
    QTest::newRow("another folder") << "program with spaces"
                                    << "@work" << 1;
}

void tst_ShellOpener::programStartsInTheFolderWithNoArguments()
{
    QFETCH(QString, target);
    QFETCH(QString, folder);
    QFETCH(int, show);
    if (folder == QLatin1String("@work"))
        folder = m_work;
    X11ShellOpener opener({}, m_dir.filePath(QStringLiteral("opener")));
    ShellRequest request{QStringLiteral("Open"), m_dir.filePath(target), QString(), folder,
                         static_cast<ShowState>(show)};
    QVERIFY(opener.open(request));
    const QString record = m_dir.filePath(QStringLiteral("record"));
    QTRY_VERIFY(QFile::exists(record));
    QCOMPARE(recorded(record), QStringList{folder.isEmpty() ? QStringLiteral("/") : folder});
    QVERIFY(!QFile::exists(QStringLiteral("/x")));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x"))));
    QVERIFY(!QFile::exists(m_work + QStringLiteral("/x")));
}

void tst_ShellOpener::parametersAreSplitWithoutAShell()
{
    X11ShellOpener opener({}, m_dir.filePath(QStringLiteral("opener")));
    ShellRequest request{QStringLiteral("open"), m_dir.filePath(QStringLiteral("program with spaces")),
                         QStringLiteral("one \"two three\" $(touch x) ;"), m_work, ShowState::Normal};
    QVERIFY(opener.open(request));
    const QString record = m_dir.filePath(QStringLiteral("record"));
    QTRY_VERIFY(QFile::exists(record));
    QCOMPARE(recorded(record), (QStringList{m_work, "one", "two three", "$(touch", "x)", ";"}));
    QVERIFY(!QFile::exists(m_work + QStringLiteral("/x")));
}

void tst_ShellOpener::othersGoToTheOpenerAsOneAbsoluteArgument_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("argument");
    QTest::newRow("document with command substitution") << "@/$(touch x).txt"
                                                        << "/"
                                                        << "@/$(touch x).txt";
    QTest::newRow("document with semicolon") << "@/a;touch x.txt"
                                             << "/"
                                             << "@/a;touch x.txt";
    QTest::newRow("document with quotes") << "@/it's \"q\".txt"
                                          << "/"
                                          << "@/it's \"q\".txt";
    QTest::newRow("leading dash made absolute") << "-e"
                                                << "@"
                                                << "@/-e";
    QTest::newRow("folder") << "@/a folder"
                            << "/"
                            << "@/a folder";
    QTest::newRow("web address") << "http://example.org/a b"
                                 << "/"
                                 << "http://example.org/a%20b";
    QTest::newRow("mail") << "mailto:dovi@example.org"
                          << "/"
                          << "mailto:dovi@example.org";
}

void tst_ShellOpener::othersGoToTheOpenerAsOneAbsoluteArgument()
{
    QFETCH(QString, target);
    QFETCH(QString, folder);
    QFETCH(QString, argument);
    const auto expand = [this](QString s) {
        return s.startsWith(QLatin1Char('@')) ? s.replace(0, 1, m_dir.path()) : s;
    };
    X11ShellOpener opener({}, m_dir.filePath(QStringLiteral("opener")));
    QVERIFY(
        opener.open({QStringLiteral("Open"), expand(target), QString(), expand(folder), ShowState::Normal}));
    const QString record = m_dir.filePath(QStringLiteral("record"));
    QTRY_VERIFY(QFile::exists(record));
    QCOMPARE(recorded(record), (QStringList{expand(folder), expand(argument)}));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x"))));
}

void tst_ShellOpener::refused_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing file") << "Open"
                                  << "@/no such file"
                                  << "/";
    QTest::newRow("empty target") << "Open"
                                  << ""
                                  << "/";
    QTest::newRow("unknown verb") << "Print"
                                  << "@/program with spaces"
                                  << "/";
    QTest::newRow("missing working folder") << "Open"
                                            << "@/program with spaces"
                                            << "@/no such folder";
}

void tst_ShellOpener::refused()
{
    QFETCH(QString, verb);
    QFETCH(QString, target);
    QFETCH(QString, folder);
    const auto expand = [this](QString s) {
        return s.startsWith(QLatin1Char('@')) ? s.replace(0, 1, m_dir.path()) : s;
    };
    X11ShellOpener opener({}, m_dir.filePath(QStringLiteral("opener")));
    QVERIFY(!opener.open({verb, expand(target), QString(), expand(folder), ShowState::Normal}));
}

void tst_ShellOpener::applicationEntryStartsItsProgram_data()
{
    // "@" stands for the test folder. An empty record means open() refuses the target. bin is the
    // folder that stands for PATH, with no terminal emulator (none), x-terminal-emulator (x) or both.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("bin");
    QTest::addColumn<QStringList>("record");
    const QString program =
        QStringLiteral("Exec=\"@/program with spaces\" one %U \"two three\" $(touch x)\n");
    const QString terminal = QStringLiteral("[Desktop Entry]\nType=Application\nTerminal=true\n");
    QTest::newRow("its program, its arguments, no field code")
        << "[Desktop Entry]\nType=Application\nName=A\n" + program << "none"
        << QStringList{"/", "one", "two three", "$(touch", "x)"};
    QTest::newRow("its own working folder")
        << "[Desktop Entry]\nType=Application\nPath=@/work\n" + program << "none"
        << QStringList{"@/work", "one", "two three", "$(touch", "x)"};
    QTest::newRow("an Exec= of another group is not its own")
        << "[Desktop Action new]\n" + program + "[Desktop Entry]\nType=Application\nExec=\"@/-n\"\n"
        << "none" << QStringList{"/"};
    // Eight backslashes in the file: four once the string escapes are read, two once Exec='s quoting is.
    QTest::newRow("escapes read once each") << QStringLiteral(R"([Desktop Entry]
Type=Application
Exec="@/program with spaces" "a\\\\\\\\b"
)") << "none" << QStringList{"/", QStringLiteral(R"(a\\b)")};
    QTest::newRow("a terminal program runs in x-terminal-emulator -e")
        << terminal + program << "x"
        << QStringList{"/", "-e", "@/program with spaces", "one", "two three", "$(touch", "x)"};
    QTest::newRow("a terminal program runs in xdg-terminal-exec first, in its working folder")
        << terminal + "Path=@/work\n" + program << "both"
        << QStringList{"@/work", "@/program with spaces", "one", "two three", "$(touch", "x)"};
    QTest::newRow("a terminal program without a terminal emulator is refused")
        << terminal + program << "none" << QStringList();
    QTest::newRow("a missing terminal program is refused") << terminal + "Exec=\"@/no such program\"\n"
                                                           << "x" << QStringList();
    QTest::newRow("a link goes to the opener") << "[Desktop Entry]\nType=Link\nURL=http://example.org\n"
                                               << "none" << QStringList{"/", "@/entry.desktop"};
    QTest::newRow("broken quoting goes to the opener")
        << "[Desktop Entry]\nType=Application\nExec=\"@/program with spaces\n"
        << "none" << QStringList{"/", "@/entry.desktop"};
    QTest::newRow("a missing program is refused")
        << "[Desktop Entry]\nType=Application\nExec=\"@/no such program\"\n"
        << "none" << QStringList();
}

void tst_ShellOpener::applicationEntryStartsItsProgram()
{
    QFETCH(QString, entry);
    QFETCH(QString, bin);
    QFETCH(QStringList, record);
    const bool runsInTerminal = entry.contains(QLatin1String("Terminal=true"));
    const QString path = m_dir.filePath(QStringLiteral("entry.desktop"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(entry.replace(QLatin1Char('@'), m_dir.path()).toUtf8());
    file.close();
    for (QString& line : record)
        line.replace(QLatin1Char('@'), m_dir.path());

    X11ShellOpener opener({m_dir.filePath(QStringLiteral("bin-") + bin)},
                          m_dir.filePath(QStringLiteral("opener")));
    const bool opened =
        opener.open({QStringLiteral("Open"), path, QString(), QStringLiteral("/"), ShowState::Normal});
    QCOMPARE(opened, !record.isEmpty());
    // Only the want of a terminal emulator is the system's fault, and it is named in both languages.
    const bool noTerminal = !opened && runsInTerminal && bin == QLatin1String("none");
    QCOMPARE(opener.failureDetail(1).contains(QLatin1String("x-terminal-emulator")), noTerminal);
    QCOMPARE(opener.failureDetail(0).contains(QLatin1String("xdg-terminal-exec")), noTerminal);
    if (opened) {
        const QString written = m_dir.filePath(QStringLiteral("record"));
        QTRY_VERIFY(QFile::exists(written));
        QCOMPARE(recorded(written), record);
    }
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x"))));
    QVERIFY(!QFile::exists(QStringLiteral("/x")));
}

void tst_ShellOpener::systemDriveRoot()
{
    QCOMPARE(X11ShellOpener().systemDriveRoot(), QStringLiteral("/"));
}

QTEST_GUILESS_MAIN(tst_ShellOpener)
#include "tst_shellopener.moc"
