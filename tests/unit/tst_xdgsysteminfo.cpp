#include "platform/linux/xdgsysteminfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class tst_XdgSystemInfo : public QObject {
    Q_OBJECT

private slots:
    void findFirst_data();
    void findFirst();
    void startToolRefusesWhatIsNotAnAbsoluteProgram();
};

namespace {
void makeFile(const QString& path, bool executable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        perms |= QFile::ExeOwner;
    QVERIFY(file.setPermissions(perms));
}
} // namespace

void tst_XdgSystemInfo::findFirst_data()
{
    QTest::addColumn<QStringList>("files"); // "folder/name" or "folder/name!" for not executable
    QTest::addColumn<QStringList>("path");  // folders of PATH; "." stays relative
    QTest::addColumn<QString>("expected");  // "folder/name" or empty
    QTest::newRow("none installed") << QStringList{} << QStringList{"a", "b"} << QString();
    QTest::newRow("list order beats PATH order")
        << QStringList{"a/cpu-x", "b/kinfocenter"} << QStringList{"a", "b"} << "b/kinfocenter";
    QTest::newRow("earlier PATH folder for the same tool")
        << QStringList{"a/hardinfo", "b/hardinfo"} << QStringList{"b", "a"} << "b/hardinfo";
    QTest::newRow("not executable skipped")
        << QStringList{"a/hardinfo!", "a/cpu-x"} << QStringList{"a"} << "a/cpu-x";
    QTest::newRow("folder of that name skipped")
        << QStringList{"a/hardinfo/x", "b/kinfocenter"} << QStringList{"a", "b"} << "b/kinfocenter";
    QTest::newRow("relative PATH entry skipped")
        << QStringList{"a/hardinfo"} << QStringList{"."} << QString();
    QTest::newRow("empty PATH entries skipped")
        << QStringList{"a/cpu-x"} << QStringList{"", "a", ""} << "a/cpu-x";
    QTest::newRow("not in the list") << QStringList{"a/top"} << QStringList{"a"} << QString();
}

void tst_XdgSystemInfo::findFirst()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, path);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (QString file : files) {
        const bool executable = !file.endsWith(QLatin1Char('!'));
        if (!executable)
            file.chop(1);
        makeFile(root.filePath(file), executable);
    }
    QStringList folders;
    for (const QString& folder : path) {
        if (folder.isEmpty() || folder == QLatin1String("."))
            folders << folder;
        else
            folders << root.filePath(folder);
    }
    const QStringList tools{"hardinfo", "kinfocenter", "cpu-x"};
    const QString found = XdgSystemInfo::findFirst(tools, folders.join(QLatin1Char(':')));
    QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
    XdgSystemInfo info(tools, folders.join(QLatin1Char(':')));
    QCOMPARE(info.locateTool(), found);
}

void tst_XdgSystemInfo::startToolRefusesWhatIsNotAnAbsoluteProgram()
{
    XdgSystemInfo info;
    QVERIFY(!info.startTool(QString()));
    QVERIFY(!info.startTool(QStringLiteral("sh")));
    QVERIFY(!info.startTool(QStringLiteral("/nonexistent/hardinfo")));
    QVERIFY(!info.startTool(QDir::tempPath()));
}

QTEST_GUILESS_MAIN(tst_XdgSystemInfo)
#include "tst_xdgsysteminfo.moc"
