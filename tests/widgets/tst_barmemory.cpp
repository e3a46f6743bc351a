// A bar that is reloaded and whose menu pops up again and again keeps its memory: buttons of a
// reload, menu forms and desktop copies are all freed.
#include "bar/frmmain.h"
#include "bar/frmmenu.h"
#include "bar/moddeclarepublic.h"
#include "platform/testing/doubles.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#if defined(__SANITIZE_ADDRESS__)
#define DOVI_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DOVI_ASAN 1
#endif
#endif

namespace {

// Resident memory of this process in KiB, from the kernel's own account.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool copySkin(const QString& to, const char* name)
{
    return QFile::copy(QStringLiteral(DOVI_SKINS_DIR "/") + QLatin1String(name),
                       to + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class tst_barmemory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reloadsAndMenusKeepMemoryFlat();
};

void tst_barmemory::reloadsAndMenusKeepMemoryFlat()
{
#ifdef DOVI_ASAN
    QSKIP("the address sanitizer keeps freed memory in quarantine");
#endif
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    platform::testing::ScopedDoubles doubles(folder.path());
    for (const char* name : {"XP_Up.bmp", "XP_Down.bmp", "XP_Mask.bmp"})
        QVERIFY(copySkin(folder.path(), name));
    // The control libraries are found beside the program.
    for (const char* name : {"libDoviButton.so", "libVistelPerso.so"})
        QVERIFY(QFile::link(QStringLiteral(DOVI_PROGRAM_DIR "/") + QLatin1String(name),
                            folder.filePath(QLatin1String(name))));
    QStringList lines{QStringLiteral("10 10"),
                      QStringLiteral("FALSE"),
                      QStringLiteral("FALSE"),
                      QStringLiteral("TRUE"),
                      QStringLiteral("TRUE"),
                      QStringLiteral("FALSE"),
                      QStringLiteral("FALSE"),
                      QStringLiteral("HORIZONTAL"),
                      QStringLiteral("3"),
                      QStringLiteral("15073535"),
                      folder.filePath(QStringLiteral("XP_Up.bmp")),
                      folder.filePath(QStringLiteral("XP_Down.bmp")),
                      folder.filePath(QStringLiteral("XP_Mask.bmp"))};
    for (int i = 1; i <= 10; ++i)
        lines << QStringLiteral("/bin/true;;Button %1;1").arg(i);
    QFile config(folder.filePath(QStringLiteral("DoviConfig.txt")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    config.close();

    modDeclarePublic::reset();
    modDeclarePublic::SetupDone = true;
    frmMain bar;
    QVERIFY(bar.ensureTemplate());
    bar.show();

    const auto round = [&bar] {
        QVERIFY(bar.Reload());
        bar.popupMenu(QPoint(20, 20));
        QVERIFY(bar.menuLoaded());
        bar.menu().mnuFile->hide();
        bar.unloadMenu();
        // The unloaded menu form goes with the next turn of the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (int i = 0; i < 100; ++i)
        round();
    QCOMPARE(bar.Command1().count(), 11);
    const qint64 after100 = residentKiB();
    QVERIFY(after100 > 0);
    for (int i = 100; i < 1000; ++i)
        round();
    const qint64 after1000 = residentKiB();
    QCOMPARE(bar.Command1().count(), 11);
    QVERIFY2(after1000 - after100 < 1024,
             qPrintable(QStringLiteral("resident memory grew by %1 KiB over 900 reloads and menus")
                            .arg(after1000 - after100)));
}

QTEST_MAIN(tst_barmemory)
#include "tst_barmemory.moc"
