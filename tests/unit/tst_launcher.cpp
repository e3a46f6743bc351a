// The package's start command: each user's private copy of the program folder, made whole at the
// first start and completed after a start cut short, refreshed after an upgrade without writing over
// files a running bar has mapped or over the user's own files; and the bar names the command, not its
// copy, as what starts it with the session.
#include "platform/linux/qtappinfo.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_launcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstStartCopiesTheFolder();
    void upgradeRenamesNewFilesInAndKeepsTheUsers();
    void startCutShortIsCompleted();
    void twoStartsAtOnceBothStart();
    void programPathIsTheStartCommand();

private:
    bool start(const QStringList& arguments = {});
    void launch(QProcess& process, const QStringList& arguments = {}) const;
    static bool ended(QProcess& process);
    QString installed(const QString& name) const
    {
        return m_root.filePath(QStringLiteral("opt/Dovi/") + name);
    }
    QString copy(const QString& name) const { return m_root.filePath(QStringLiteral("data/Dovi/") + name); }

    QTemporaryDir m_root;
    QString m_command;
};

void tst_launcher::init()
{
    QVERIFY(m_root.isValid());
    QDir(m_root.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("opt/Dovi"))));
    QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("usr/bin"))));
    QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("home"))));
    // A program that notes how it was started.
    QVERIFY(writeFile(installed(QStringLiteral("Dovi")),
                      "#!/bin/sh\nprintf '%s\\n' \"$DOVI_LAUNCHER\" \"$@\" > \"$HOME/ran\"\n", true));
    QVERIFY(writeFile(installed(QStringLiteral("libDoviButton.so")), "library 1"));
    QVERIFY(writeFile(installed(QStringLiteral("XP_Up.bmp")), "skin"));
    QVERIFY(writeFile(installed(QStringLiteral("Informations eng.txt")), "tips 1"));
    QVERIFY(writeFile(installed(QStringLiteral("Dovi.desktop")), "[Desktop Entry]\n"));
    m_command = m_root.filePath(QStringLiteral("usr/bin/dovi"));
    QVERIFY(QFile::copy(QStringLiteral(DOVI_LAUNCHER_SCRIPT), m_command));
    QVERIFY(QFile::setPermissions(m_command, QFile::permissions(m_command) | QFileDevice::ExeOwner));
}

void tst_launcher::launch(QProcess& process, const QStringList& arguments) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath(QStringLiteral("data")));
    env.remove(QStringLiteral("DOVI_LAUNCHER"));
    process.setProcessEnvironment(env);
    process.start(m_command, arguments);
}

bool tst_launcher::ended(QProcess& process)
{
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return false;
    }
    return true;
}

bool tst_launcher::start(const QStringList& arguments)
{
    QProcess process;
    launch(process, arguments);
    return ended(process);
}

void tst_launcher::firstStartCopiesTheFolder()
{
    QVERIFY(start({QStringLiteral("one"), QStringLiteral("two words")}));
    QCOMPARE(readFile(copy(QStringLiteral("libDoviButton.so"))), QByteArray("library 1"));
    QCOMPARE(readFile(copy(QStringLiteral("XP_Up.bmp"))), QByteArray("skin"));
    QVERIFY(QFileInfo(copy(QStringLiteral("Dovi"))).isExecutable());
    // The menu entry of the installed folder would start the installed program, not the copy.
    QVERIFY(!QFile::exists(copy(QStringLiteral("Dovi.desktop"))));
    // The copy runs, with the arguments given, and knows the command that started it.
    const QList<QByteArray> ran = readFile(m_root.filePath(QStringLiteral("home/ran"))).split('\n');
    QCOMPARE(ran.value(0), QFile::encodeName(QFileInfo(m_command).canonicalFilePath()));
    QCOMPARE(ran.value(1), QByteArray("one"));
    QCOMPARE(ran.value(2), QByteArray("two words"));
}

void tst_launcher::upgradeRenamesNewFilesInAndKeepsTheUsers()
{
    QVERIFY(start());
    QVERIFY(writeFile(copy(QStringLiteral("DoviConfig.txt")), "the user's buttons"));
    QVERIFY(writeFile(copy(QStringLiteral("XP_Up.bmp")), "the user's skin"));
    // A running bar has the library open.
    QFile mapped(copy(QStringLiteral("libDoviButton.so")));
    QVERIFY(mapped.open(QIODevice::ReadOnly));

    QVERIFY(writeFile(installed(QStringLiteral("libDoviButton.so")), "library 2"));
    QVERIFY(writeFile(installed(QStringLiteral("XP_Up.bmp")), "new skin"));
    QVERIFY(writeFile(installed(QStringLiteral("Informations eng.txt")), "tips 2"));
    QVERIFY(start());
    QCOMPARE(readFile(copy(QStringLiteral("libDoviButton.so"))), QByteArray("library 2"));
    // The texts the about box shows are the program's, not the user's.
    QCOMPARE(readFile(copy(QStringLiteral("Informations eng.txt"))), QByteArray("tips 2"));
    // What the running bar has open is left as it was.
    QCOMPARE(mapped.readAll(), QByteArray("library 1"));
    QCOMPARE(readFile(copy(QStringLiteral("DoviConfig.txt"))), QByteArray("the user's buttons"));
    QCOMPARE(readFile(copy(QStringLiteral("XP_Up.bmp"))), QByteArray("the user's skin"));
    QCOMPARE(QDir(copy(QString())).entryList({QStringLiteral("*.new")}, QDir::AllEntries), QStringList());
}

void tst_launcher::twoStartsAtOnceBothStart()
{
    // Large enough that one start is still copying when the other comes: the first start, then an
    // upgrade.
    for (const char fill : {'1', '2'}) {
        const QByteArray library(64 << 20, fill);
        QVERIFY(writeFile(installed(QStringLiteral("libDoviButton.so")), library));
        QVERIFY(writeFile(installed(QStringLiteral("Informations eng.txt")), QByteArray("tips ") + fill));
        QProcess first;
        QProcess second;
        launch(first);
        launch(second);
        QVERIFY(ended(first));
        QVERIFY(ended(second));
        QVERIFY(readFile(copy(QStringLiteral("libDoviButton.so"))) == library);
        QCOMPARE(readFile(copy(QStringLiteral("Informations eng.txt"))), QByteArray("tips ") + fill);
        QVERIFY(QFileInfo(copy(QStringLiteral("Dovi"))).isExecutable());
        QCOMPARE(QDir(copy(QString())).entryList({QStringLiteral("*.new")}, QDir::AllEntries), QStringList());
    }
}

void tst_launcher::startCutShortIsCompleted()
{
    // The first copy stopped part way: a skin and a half-written library are there, no program.
    QVERIFY(QDir().mkpath(copy(QString())));
    QVERIFY(writeFile(copy(QStringLiteral("XP_Up.bmp")), "skin"));
    QVERIFY(writeFile(copy(QStringLiteral("libDoviButton.so.new")), "libr"));
    QVERIFY(start());
    QVERIFY(QFileInfo(copy(QStringLiteral("Dovi"))).isExecutable());
    QCOMPARE(readFile(copy(QStringLiteral("libDoviButton.so"))), QByteArray("library 1"));
    QVERIFY(QFile::exists(m_root.filePath(QStringLiteral("home/ran"))));
    QCOMPARE(QDir(copy(QString())).entryList({QStringLiteral("*.new")}, QDir::AllEntries), QStringList());
}

void tst_launcher::programPathIsTheStartCommand()
{
    const QString own = QCoreApplication::applicationFilePath();
    qputenv("DOVI_LAUNCHER", QFile::encodeName(m_command));
    {
        const platform::QtAppInfo app;
        // Taken from the environment: the programs the bar starts, another Dovi among them, do not
        // inherit it.
        QVERIFY(!qEnvironmentVariableIsSet("DOVI_LAUNCHER"));
        QCOMPARE(app.programPath(), m_command);
        QCOMPARE(app.programPath(), m_command);
    }
    // Only an absolute path to a program counts.
    for (const QByteArray& value :
         {QByteArray("usr/bin/dovi"), QFile::encodeName(installed(QStringLiteral("XP_Up.bmp")))}) {
        qputenv("DOVI_LAUNCHER", value);
        QCOMPARE(platform::QtAppInfo().programPath(), own);
    }
    QCOMPARE(platform::QtAppInfo().programPath(), own);
}

QTEST_GUILESS_MAIN(tst_launcher)
#include "tst_launcher.moc"
