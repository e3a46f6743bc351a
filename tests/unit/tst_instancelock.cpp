// One bar per user: a second start is refused while the first runs, and the lock of a bar that
// ended, even killed, lets the next one start at once. Nobody else's file stands in for the lock.
#include "platform/linux/lockfileinstance.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class tst_instancelock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void secondInstanceIsRefusedUntilTheFirstEnds();
    void killedHolderLetsGo();
    void linkInPlaceOfTheLockIsNotFollowed();
    void lockOfAnotherUsersMakingIsNotTaken();

private:
    QTemporaryDir m_runtime;
};

void tst_instancelock::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void tst_instancelock::secondInstanceIsRefusedUntilTheFirstEnds()
{
    auto first = std::make_unique<platform::LockFileInstance>();
    QVERIFY(first->tryAcquire());
    QVERIFY(first->tryAcquire());
    QVERIFY(QFile::exists(m_runtime.filePath(QStringLiteral("Dovi.lock"))));
    platform::LockFileInstance second;
    QVERIFY(!second.tryAcquire());
    QVERIFY(!second.tryAcquire());
    first.reset();
    // The file stays behind, as after a crash; it does not stand in the way.
    QVERIFY(QFile::exists(m_runtime.filePath(QStringLiteral("Dovi.lock"))));
    QVERIFY(second.tryAcquire());
}

void tst_instancelock::killedHolderLetsGo()
{
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t holder = ::fork();
    QVERIFY(holder >= 0);
    if (holder == 0) {
        platform::LockFileInstance lock;
        const char held = lock.tryAcquire() ? '1' : '0';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char held = 0;
    QCOMPARE(::read(ready[0], &held, 1), ssize_t(1));
    ::close(ready[0]);
    QCOMPARE(held, '1');
    platform::LockFileInstance next;
    QVERIFY(!next.tryAcquire());
    QCOMPARE(::kill(holder, SIGKILL), 0);
    int status = 0;
    QCOMPARE(::waitpid(holder, &status, 0), holder);
    QVERIFY(next.tryAcquire());
}

void tst_instancelock::linkInPlaceOfTheLockIsNotFollowed()
{
    QTemporaryDir runtime;
    QTemporaryDir temporary;
    QVERIFY(runtime.isValid() && temporary.isValid());
    const QString victim = temporary.filePath(QStringLiteral("someone else's file"));
    QVERIFY(QFile::link(victim, runtime.filePath(QStringLiteral("Dovi.lock"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    platform::LockFileInstance lock;
    // The lock is taken in the temporary folder, under a name of this user's own.
    QVERIFY(lock.tryAcquire());
    QVERIFY(!QFile::exists(victim));
    QVERIFY(QFile::exists(temporary.filePath(QStringLiteral("Dovi-%1.lock").arg(::getuid()))));
    platform::LockFileInstance second;
    QVERIFY(!second.tryAcquire());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qunsetenv("TMPDIR");
}

void tst_instancelock::lockOfAnotherUsersMakingIsNotTaken()
{
    if (::geteuid() != 0)
        QSKIP("making a file of another user's takes the administrator");
    QTemporaryDir runtime;
    QTemporaryDir temporary;
    QTemporaryDir cache;
    QVERIFY(runtime.isValid() && temporary.isValid() && cache.isValid());
    // No usable runtime folder, and another user made this user's name in the shared folder,
    // open to all, and holds it.
    QVERIFY(QFile::link(temporary.filePath(QStringLiteral("elsewhere")),
                        runtime.filePath(QStringLiteral("Dovi.lock"))));
    const QByteArray foreign =
        QFile::encodeName(temporary.filePath(QStringLiteral("Dovi-%1.lock").arg(::getuid())));
    const int theirs = ::open(foreign.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    QVERIFY(theirs >= 0);
    QCOMPARE(::fchmod(theirs, 0666), 0);
    QCOMPARE(::fchown(theirs, 4242, 4242), 0);
    QCOMPARE(::flock(theirs, LOCK_EX | LOCK_NB), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));

    platform::LockFileInstance lock;
    QVERIFY(lock.tryAcquire());
    QVERIFY(QFile::exists(cache.filePath(QStringLiteral("Dovi.lock"))));
    platform::LockFileInstance second;
    QVERIFY(!second.tryAcquire());

    ::close(theirs);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qunsetenv("TMPDIR");
    qunsetenv("XDG_CACHE_HOME");
}

QTEST_GUILESS_MAIN(tst_instancelock)
#include "tst_instancelock.moc"
