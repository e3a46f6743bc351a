#include "platform/linux/detachedspawner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace platform;

// Starts real processes and looks at them in /proc.
class tst_DetachedSpawner : public QObject {
    Q_OBJECT

private slots:
    void programIsHandedOff();
    void endedProgramsAreTakenBack();
    void startsThatCannotRunAreRefused_data();
    void startsThatCannotRunAreRefused();

private:
    QTemporaryDir m_dir;
};

namespace {

QString procFile(qint64 pid, const char* name)
{
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name));
}

QByteArray statusField(qint64 pid, const QByteArray& field)
{
    QFile file(procFile(pid, "status"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

// The session id, the fourth field after the command name in /proc/PID/stat.
qint64 sessionOf(qint64 pid)
{
    QFile file(procFile(pid, "stat"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 3 ? fields.at(3).toLongLong() : -1;
}

bool hasSignal(const QByteArray& hexMask, int signal)
{
    bool ok = false;
    const qulonglong mask = hexMask.toULongLong(&ok, 16);
    return ok && (mask & (1ULL << (signal - 1))) != 0;
}

} // namespace

void tst_DetachedSpawner::programIsHandedOff()
{
    // What the bar itself ignores or blocks is not passed on.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous = {};
    QCOMPARE(sigaction(SIGPIPE, &ignore, &previous), 0);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigset_t previousMask;
    QCOMPARE(sigprocmask(SIG_BLOCK, &blocked, &previousMask), 0);
    const auto restore = qScopeGuard([&] {
        sigaction(SIGPIPE, &previous, nullptr);
        sigprocmask(SIG_SETMASK, &previousMask, nullptr);
    });

    DetachedSpawner spawner;
    const std::optional<qint64> pid =
        spawner.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")}, m_dir.path());
    QVERIFY(pid);
    const auto end = qScopeGuard([&] { ::kill(static_cast<pid_t>(*pid), SIGKILL); });

    QCOMPARE(QFileInfo(procFile(*pid, "cwd")).symLinkTarget(), QDir(m_dir.path()).canonicalPath());
    for (const char* fd : {"fd/0", "fd/1", "fd/2"})
        QCOMPARE(QFileInfo(procFile(*pid, fd)).symLinkTarget(), QStringLiteral("/dev/null"));
    // A session of its own: a terminal closing under the bar does not end it.
    QCOMPARE(sessionOf(*pid), *pid);
    QVERIFY(!hasSignal(statusField(*pid, "SigIgn"), SIGPIPE));
    QVERIFY(!hasSignal(statusField(*pid, "SigBlk"), SIGUSR1));
    QCOMPARE(spawner.runningCount(), 1);

    QCOMPARE(::kill(static_cast<pid_t>(*pid), SIGTERM), 0);
    QTRY_COMPARE(spawner.runningCount(), 0);
    QTRY_VERIFY(!QFileInfo::exists(procFile(*pid, "stat")));
}

void tst_DetachedSpawner::endedProgramsAreTakenBack()
{
    DetachedSpawner spawner;
    QList<qint64> pids;
    for (int i = 0; i < 3; ++i) {
        const std::optional<qint64> pid = spawner.start(QStringLiteral("/bin/true"), {}, QStringLiteral("/"));
        QVERIFY(pid);
        pids.append(*pid);
    }
    QTRY_COMPARE(spawner.runningCount(), 0);
    // A zombie keeps its /proc entry until its exit status is taken.
    for (const qint64 pid : pids)
        QTRY_VERIFY(!QFileInfo::exists(procFile(pid, "stat")));
}

void tst_DetachedSpawner::startsThatCannotRunAreRefused_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing program") << "@/missing"
                                     << "/";
    QTest::newRow("not executable") << "@/plain.txt"
                                    << "/";
    QTest::newRow("folder that cannot be entered") << "/bin/true"
                                                   << "@/missing folder";
}

void tst_DetachedSpawner::startsThatCannotRunAreRefused()
{
    QFETCH(QString, program);
    QFETCH(QString, folder);
    QFile plain(m_dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    program.replace(QLatin1Char('@'), m_dir.path());
    folder.replace(QLatin1Char('@'), m_dir.path());
    DetachedSpawner spawner;
    QVERIFY(!spawner.start(program, {}, folder));
    QCOMPARE(spawner.runningCount(), 0);
}

QTEST_GUILESS_MAIN(tst_DetachedSpawner)
#include "tst_detachedspawner.moc"
