#include "bar/configfile.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// A bar killed while it saves its configuration leaves the old or the new file, complete.
class tst_configwrite_kill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterLeavesACompleteFile();
};

void tst_configwrite_kill::killedWriterLeavesACompleteFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QSet<QByteArray> seen;
    for (int attempt = 0; attempt < 40; ++attempt) {
        QProcess writer;
        writer.start(QStringLiteral(DOVI_CONFIGWRITER), {dir.path()});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(10000));
        QTest::qWait(static_cast<int>(QRandomGenerator::global()->bounded(1, 60)));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        if (!QFile::exists(path))
            continue; // killed before the first file was complete
        const auto result = configfile::read(path);
        QVERIFY2(result.ok(), qPrintable(result.error.message(1)));
        const int buttons = static_cast<int>(result.config->entries.size());
        QVERIFY2((result.config->x == 1 && buttons == 400) || (result.config->x == 2 && buttons == 300),
                 qPrintable(QStringLiteral("x %1 with %2 buttons").arg(result.config->x).arg(buttons)));
        seen.insert(QByteArray::number(result.config->x));
    }
    QVERIFY(!seen.isEmpty());
}

QTEST_GUILESS_MAIN(tst_configwrite_kill)
#include "tst_configwrite_kill.moc"
