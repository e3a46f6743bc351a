// The package's start command and the folders of the installed program: the command runs the program
// installed beside it and retires the private copy earlier packages ran from the user's folder,
// leaving the user's files there; the user's folder gets the delivered skins and nothing else; a
// program folder the user may write stays the bar's folder; the bar names the command, not the
// program, as what starts it with the session.
#include "platform/linux/qtappinfo.h"

#include <QDir>
#include <QDirIterator>
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

// Every file under a folder that anybody may run.
QStringList executables(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.permissions() & (QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther))
            found << file.fileName();
    }
    return found;
}

} // namespace

class tst_launcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void startRunsTheInstalledProgram();
    void oldPrivateCopyIsRetired();
    void userFolderGetsTheDeliveredSkinsOnly();
    void writableProgramFolderStaysTheBars();
    void programPathIsTheStartCommand();

private:
    bool start(const QStringList& arguments = {});
    QString path(const QString& name) const { return m_root.filePath(name); }
    QString user(const QString& name) const { return m_root.filePath(QStringLiteral("data/Dovi/") + name); }

    QTemporaryDir m_root;
    QString m_command;
};

void tst_launcher::init()
{
    QVERIFY(m_root.isValid());
    QDir(m_root.path()).removeRecursively();
    for (const char* folder : {"usr/bin", "usr/lib/dovi", "usr/share/dovi", "home", "data"})
        QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
    // A program that notes how it was started.
    QVERIFY(writeFile(path(QStringLiteral("usr/lib/dovi/Dovi")),
                      "#!/bin/sh\nprintf '%s\\n' \"$DOVI_LAUNCHER\" \"$0\" \"$@\" > \"$HOME/ran\"\n", true));
    m_command = path(QStringLiteral("usr/bin/dovi"));
    QVERIFY(QFile::copy(QStringLiteral(DOVI_LAUNCHER_SCRIPT), m_command));
    QVERIFY(QFile::setPermissions(m_command, QFile::permissions(m_command) | QFileDevice::ExeOwner));
}

bool tst_launcher::start(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
    env.remove(QStringLiteral("DOVI_LAUNCHER"));
    process.setProcessEnvironment(env);
    process.start(m_command, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return false;
    }
    return true;
}

void tst_launcher::startRunsTheInstalledProgram()
{
    QVERIFY(start({QStringLiteral("one"), QStringLiteral("two words")}));
    const QList<QByteArray> ran = readFile(path(QStringLiteral("home/ran"))).split('\n');
    // The program knows the command that started it, runs from its installed folder, with the
    // arguments given.
    QCOMPARE(ran.value(0), QFile::encodeName(QFileInfo(m_command).canonicalFilePath()));
    QCOMPARE(QFileInfo(QFile::decodeName(ran.value(1))).canonicalFilePath(),
             QFileInfo(path(QStringLiteral("usr/lib/dovi/Dovi"))).canonicalFilePath());
    QCOMPARE(ran.value(2), QByteArray("one"));
    QCOMPARE(ran.value(3), QByteArray("two words"));
    // The user's folder is the program's to make, from the delivered files.
    QVERIFY(!QFile::exists(user(QString())));
}

void tst_launcher::oldPrivateCopyIsRetired()
{
    // What an earlier package left: its private copy of the program beside the user's files, and
    // what a copy cut short left under other names.
    QVERIFY(QDir().mkpath(user(QStringLiteral("Boutons/XP"))));
    const QStringList program{QStringLiteral("Dovi"),
                              QStringLiteral("Dovi.new"),
                              QStringLiteral("libDoviButton.so"),
                              QStringLiteral("libDoviButton.so.new"),
                              QStringLiteral("libVistelPerso.so"),
                              QStringLiteral("libDoviPlatform.so"),
                              QStringLiteral("Licence eng.txt"),
                              QStringLiteral("Informations fr.txt.new"),
                              QStringLiteral("dovi.png"),
                              QStringLiteral(".start.lock")};
    for (const QString& name : program)
        QVERIFY(writeFile(user(name), "#!/bin/sh\necho old > \"$HOME/ran\"\n", true));
    const QStringList mine{QStringLiteral("DoviConfig.txt"), QStringLiteral("DoviConfig.old.txt"),
                           QStringLiteral("Dovi_Run.txt"), QStringLiteral("Boutons/XP/XP_Up.bmp"),
                           QStringLiteral("notes.txt")};
    for (const QString& name : mine)
        QVERIFY(writeFile(user(name), "the user's " + name.toUtf8()));

    QVERIFY(start());
    QVERIFY(readFile(path(QStringLiteral("home/ran")))
                .startsWith(QFile::encodeName(QFileInfo(m_command).canonicalFilePath())));
    for (const QString& name : program)
        QVERIFY2(!QFile::exists(user(name)), qPrintable(name));
    for (const QString& name : mine)
        QCOMPARE(readFile(user(name)), "the user's " + name.toUtf8());
    QCOMPARE(executables(user(QString())), QStringList());
}

void tst_launcher::userFolderGetsTheDeliveredSkinsOnly()
{
    const QDir delivered(path(QStringLiteral("usr/share/dovi")));
    QVERIFY(writeFile(delivered.filePath(QStringLiteral("XP_Up.bmp")), "up"));
    QVERIFY(writeFile(delivered.filePath(QStringLiteral("XP_Blue_Mask.bmp")), "mask", true));
    QVERIFY(writeFile(delivered.filePath(QStringLiteral("Licence eng.txt")), "licence"));
    QVERIFY(writeFile(delivered.filePath(QStringLiteral("Dovi")), "program", true));
    QVERIFY(writeFile(delivered.filePath(QStringLiteral("libDoviButton.so")), "library", true));

    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
    const QString folder = platform::QtAppInfo::userFolder();
    QCOMPARE(folder, user(QString()).chopped(1));
    QVERIFY(platform::QtAppInfo::prepareUserFolder(folder, delivered.path()));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({QStringLiteral("XP_Blue_Mask.bmp"), QStringLiteral("XP_Up.bmp")}));
    QCOMPARE(readFile(user(QStringLiteral("XP_Blue_Mask.bmp"))), QByteArray("mask"));
    QCOMPARE(executables(folder), QStringList());

    // A skin of the user's is not written over; once the skins have their folders nothing comes in.
    QVERIFY(writeFile(user(QStringLiteral("XP_Up.bmp")), "the user's"));
    QVERIFY(QFile::remove(user(QStringLiteral("XP_Blue_Mask.bmp"))));
    QVERIFY(platform::QtAppInfo::prepareUserFolder(folder, delivered.path()));
    QCOMPARE(readFile(user(QStringLiteral("XP_Up.bmp"))), QByteArray("the user's"));
    QVERIFY(QFile::exists(user(QStringLiteral("XP_Blue_Mask.bmp"))));
    QVERIFY(QDir(folder).mkdir(QStringLiteral("Boutons")));
    QVERIFY(QFile::remove(user(QStringLiteral("XP_Blue_Mask.bmp"))));
    QVERIFY(platform::QtAppInfo::prepareUserFolder(folder, delivered.path()));
    QVERIFY(!QFile::exists(user(QStringLiteral("XP_Blue_Mask.bmp"))));

    // Where the folder cannot be made, the bar is told so.
    QVERIFY(writeFile(path(QStringLiteral("file")), "not a folder"));
    QVERIFY(!platform::QtAppInfo::prepareUserFolder(path(QStringLiteral("file/Dovi")), delivered.path()));
    qunsetenv("XDG_DATA_HOME");
}

void tst_launcher::writableProgramFolderStaysTheBars()
{
    // A build folder, or an install in a folder of the user's: the bar's files and what it delivers
    // are beside the program, as ever.
    const platform::QtAppInfo app;
    QCOMPARE(app.programFolder(), QCoreApplication::applicationDirPath());
    QCOMPARE(app.executableFolder(), QCoreApplication::applicationDirPath());
    QCOMPARE(app.deliveredFolder(), QCoreApplication::applicationDirPath());
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
    QVERIFY(writeFile(path(QStringLiteral("usr/share/dovi/XP_Up.bmp")), "skin"));
    for (const QByteArray& value :
         {QByteArray("usr/bin/dovi"), QFile::encodeName(path(QStringLiteral("usr/share/dovi/XP_Up.bmp")))}) {
        qputenv("DOVI_LAUNCHER", value);
        QCOMPARE(platform::QtAppInfo().programPath(), own);
    }
    QCOMPARE(platform::QtAppInfo().programPath(), own);
}

QTEST_GUILESS_MAIN(tst_launcher)
#include "tst_launcher.moc"
