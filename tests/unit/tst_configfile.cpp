#include "bar/configfile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using configfile::ReadProblem;

namespace {

const QByteArray Settings = "120 0\r\nFALSE\r\nTRUE\r\nTRUE\r\nTRUE\r\nFALSE\r\nTRUE\r\nHORIZONTAL\r\n3\r\n"
                            "16744703\r\n/skins/XP_Up.bmp\r\n/skins/XP_Down.bmp\r\n/skins/XP_Mask.bmp\r\n";

configfile::ReadResult parseBytes(const QByteArray& bytes)
{
    return configfile::parse(configfile::decode(bytes), QStringLiteral("DoviConfig.txt"));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

Q_DECLARE_METATYPE(ReadProblem)

class tst_configfile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyMaskPathWithoutButtons();
    void readsSettings();
    void entries_data();
    void entries();
    void flagsAreCaseSensitive();
    void position_data();
    void position();
    void errors_data();
    void errors();
    void errorMessageNamesFileAndLine();
    void encodings_data();
    void encodings();
    void unicodeBehindAByteOrderMark_data();
    void unicodeBehindAByteOrderMark();
    void writeThenRead();
    void writerFormat();
    void failedRenameKeepsOldFile();
    void replacesReadOnlyFile();
    void lineBreakInsideALineIsRefused_data();
    void lineBreakInsideALineIsRefused();
    void keepsALinkAndThePermissions();
    void followsAChainOfLinks();
    void leftoverTemporaryFileIsMadeAnew();
    void missingFile();
    void readsALongFileToItsEnd();
    void refusesWhatIsNotAFile();
};

void tst_configfile::readsSettings()
{
    const auto result = parseBytes(Settings + "C:\\Apps\\edit.exe;C:\\Apps\\edit.exe;Editor;1\r\n");
    QVERIFY(result.ok());
    const configfile::Config& c = *result.config;
    QCOMPARE(c.x, 120);
    QCOMPARE(c.y, 0);
    QCOMPARE(c.autoLaunch, QStringLiteral("FALSE"));
    QCOMPARE(c.onTop, QStringLiteral("TRUE"));
    QCOMPARE(c.graphicMode, QStringLiteral("TRUE"));
    QCOMPARE(c.align, QStringLiteral("HORIZONTAL"));
    QCOMPARE(c.iconMovingValue, qint16(3));
    QCOMPARE(c.maskColor, qint64(16744703));
    QCOMPARE(c.skinMask, QStringLiteral("/skins/XP_Mask.bmp"));
    QCOMPARE(c.entries.size(), 1);
    QCOMPARE(c.entries.at(0).program, QStringLiteral("C:\\Apps\\edit.exe"));
    QCOMPARE(c.entries.at(0).icon, QStringLiteral("C:\\Apps\\edit.exe"));
    QCOMPARE(c.entries.at(0).title, QStringLiteral("Editor"));
    QCOMPARE(c.entries.at(0).state, 1);
}

void tst_configfile::entries_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("states");
    QTest::newRow("three in file order")
        << QByteArray("/a;;A;1\r\n/b;;B;2\r\n/c;;C;3\r\n") << QStringList{"/a", "/b", "/c"}
        << QStringList{"A", "B", "C"} << QList<int>{1, 2, 3};
    QTest::newRow("empty title") << QByteArray("/a;/a.png;;2\r\n") << QStringList{"/a"} << QStringList{""}
                                 << QList<int>{2};
    QTest::newRow("last digit decides")
        << QByteArray("/a;;A;13\r\n") << QStringList{"/a"} << QStringList{"A"} << QList<int>{3};
    QTest::newRow("no state") << QByteArray("/a;;A;\r\n") << QStringList{"/a"} << QStringList{"A"}
                              << QList<int>{0};
    QTest::newRow("only a program") << QByteArray("firefox\r\n") << QStringList{"firefox"} << QStringList{""}
                                    << QList<int>{0};
    QTest::newRow("blank lines at the end")
        << QByteArray("/a;;A;1\r\n\r\n  \r\n\r\n") << QStringList{"/a"} << QStringList{"A"} << QList<int>{1};
    QTest::newRow("thirteen lines, no buttons")
        << QByteArray() << QStringList{} << QStringList{} << QList<int>{};
    QTest::newRow("spaces kept in fields")
        << QByteArray(" /my apps/x ; icon ; My title ;1\r\n") << QStringList{" /my apps/x "}
        << QStringList{" My title "} << QList<int>{1};
}

void tst_configfile::entries()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, programs);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, states);
    const auto result = parseBytes(Settings + lines);
    QVERIFY(result.ok());
    QCOMPARE(result.config->entries.size(), programs.size());
    for (int i = 0; i < programs.size(); ++i) {
        QCOMPARE(result.config->entries.at(i).program, programs.at(i));
        QCOMPARE(result.config->entries.at(i).title, titles.at(i));
        QCOMPARE(result.config->entries.at(i).state, states.at(i));
    }
}

// The writer's own output for a bar without a mask skin and without buttons reads back.
void tst_configfile::emptyMaskPathWithoutButtons()
{
    const QByteArray noMask = Settings.left(Settings.lastIndexOf("/skins/XP_Mask")) + "\r\n";
    for (const QByteArray& bytes : {noMask, noMask + "\r\n\r\n"}) {
        const auto result = parseBytes(bytes);
        QVERIFY(result.ok());
        QVERIFY(result.config->skinMask.isEmpty());
        QVERIFY(result.config->entries.isEmpty());
    }
}

void tst_configfile::flagsAreCaseSensitive()
{
    QByteArray bytes = Settings;
    bytes.replace("FALSE\r\nTRUE\r\nTRUE\r\nTRUE", "FALSE\r\ntrue\r\nTRUE\r\nTRUE");
    bytes.replace("HORIZONTAL", "Horizontal");
    const auto result = parseBytes(bytes);
    QVERIFY(result.ok());
    // Kept as written, so the layout sees an orientation that is neither word...
    QCOMPARE(result.config->onTop, QStringLiteral("true"));
    QCOMPARE(result.config->align, QStringLiteral("Horizontal"));
    // ...and the writer turns anything but "TRUE" into "FALSE" and anything but "HORIZONTAL" into "VERTICAL".
    const QStringList lines = configfile::format(*result.config);
    QCOMPARE(lines.at(2), QStringLiteral("FALSE"));
    QCOMPARE(lines.at(3), QStringLiteral("TRUE"));
    QCOMPARE(lines.at(7), QStringLiteral("VERTICAL"));
}

void tst_configfile::position_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("plain") << QByteArray("120 0") << true << 120 << 0;
    QTest::newRow("left of the main screen") << QByteArray("-1200 40") << true << -1200 << 40;
    QTest::newRow("trailing space") << QByteArray("5 6 ") << true << 5 << 6;
    QTest::newRow("leading zeros") << QByteArray("007 010") << true << 7 << 10;
    QTest::newRow("one number") << QByteArray("120") << true << 120 << 0;
    QTest::newRow("two spaces") << QByteArray("120  0") << true << 120 << 0;
    QTest::newRow("three numbers") << QByteArray("1 2 3") << false << 0 << 0;
    QTest::newRow("decimal point") << QByteArray("1.5 2") << false << 0 << 0;
    QTest::newRow("plus sign") << QByteArray("+1 2") << false << 0 << 0;
    QTest::newRow("letters") << QByteArray("x y") << false << 0 << 0;
    QTest::newRow("empty y") << QByteArray("12 ") << true << 12 << 0;
    QTest::newRow("one letter") << QByteArray("12x") << false << 0 << 0;
    QTest::newRow("huge") << QByteArray("99999999999999999999 0") << false << 0 << 0;
    QTest::newRow("arabic-indic digits") << QByteArray("\xd9\xa1 2") << false << 0 << 0;
    QTest::newRow("blank first line") << QByteArray("") << false << 0 << 0;
}

void tst_configfile::position()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QByteArray bytes = Settings;
    bytes.replace(0, 5, line);
    const auto result = parseBytes(bytes);
    QCOMPARE(result.ok(), ok);
    QFETCH(int, x);
    QFETCH(int, y);
    if (ok) {
        QCOMPARE(result.config->x, x);
        QCOMPARE(result.config->y, y);
    } else {
        QCOMPARE(result.error.line, 1);
        QCOMPARE(result.error.problem, ReadProblem::Position);
    }
}

void tst_configfile::errors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<ReadProblem>("problem");
    QTest::newRow("empty file") << QByteArray() << 1 << ReadProblem::TooShort;
    QTest::newRow("twelve lines") << Settings.left(Settings.lastIndexOf("/skins/XP_Mask")) << 13
                                  << ReadProblem::TooShort;
    QByteArray moving = Settings;
    moving.replace("\r\n3\r\n", "\r\nthree\r\n");
    QTest::newRow("icon movement not a number") << moving << 9 << ReadProblem::IconMoving;
    QByteArray movingBig = Settings;
    movingBig.replace("\r\n3\r\n", "\r\n40000\r\n");
    QTest::newRow("icon movement beyond 16 bits") << movingBig << 9 << ReadProblem::IconMoving;
    QByteArray mask = Settings;
    mask.replace("16744703", "&HFF80FF");
    QTest::newRow("mask colour not a number") << mask << 10 << ReadProblem::MaskColor;
    QTest::newRow("state not a digit") << Settings + "/a;;A;1\r\n/b;;B;x\r\n"
                                       << 15 << ReadProblem::WindowState;
    QTest::newRow("fourth separator") << Settings + "/a;;A;1;2\r\n" << 14 << ReadProblem::WindowState;
}

void tst_configfile::errors()
{
    QFETCH(QByteArray, bytes);
    const auto result = parseBytes(bytes);
    QVERIFY(!result.ok());
    QFETCH(int, line);
    QFETCH(ReadProblem, problem);
    QCOMPARE(result.error.line, line);
    QCOMPARE(result.error.problem, problem);
    QCOMPARE(result.error.file, QStringLiteral("DoviConfig.txt"));
}

void tst_configfile::errorMessageNamesFileAndLine()
{
    const configfile::ReadError error{QStringLiteral("/opt/dovi/DoviConfig.txt"), 9, ReadProblem::IconMoving};
    QCOMPARE(error.message(1),
             QStringLiteral("/opt/dovi/DoviConfig.txt, line 9: expected the icon movement, a "
                            "whole number from -32768 to 32767."));
    QVERIFY(error.message(0).startsWith(QStringLiteral("/opt/dovi/DoviConfig.txt, ligne 9 : ")));
    const configfile::ReadError missing{QStringLiteral("/x/DoviConfig.txt"), 0, ReadProblem::CannotOpen};
    QCOMPARE(missing.message(1), QStringLiteral("The file /x/DoviConfig.txt cannot be read."));
    QCOMPARE(missing.message(0), QStringLiteral("Le fichier /x/DoviConfig.txt ne peut pas être lu."));

    // A folder name may hold what looks like a place for a number (a name copied from an address).
    const configfile::ReadError odd{QStringLiteral("/home/u/Dovi%2F%1/DoviConfig.txt"), 14,
                                    ReadProblem::WindowState};
    QVERIFY2(odd.message(1).startsWith(QStringLiteral("/home/u/Dovi%2F%1/DoviConfig.txt, line 14: expected a "
                                                      "window state digit")),
             qPrintable(odd.message(1)));
    QVERIFY2(odd.message(0).startsWith(QStringLiteral("/home/u/Dovi%2F%1/DoviConfig.txt, ligne 14 : on "
                                                      "attendait un chiffre")),
             qPrintable(odd.message(0)));
}

void tst_configfile::encodings_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("program");
    QTest::newRow("Windows-1252") << QByteArray("C:\\Mes documents\\r\xe9sum\xe9.doc;;CV;1")
                                  << QStringLiteral("C:\\Mes documents\\résumé.doc");
    QTest::newRow("Windows-1252 high range") << QByteArray("/\x80\x9c\x9f;;;1") << QStringLiteral("/€œŸ");
    QTest::newRow("UTF-8") << QByteArray("/home/zoé/résumé.odt;;CV;1")
                           << QStringLiteral("/home/zoé/résumé.odt");
}

void tst_configfile::encodings()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, program);
    for (const QByteArray& ending : {QByteArray("\r\n"), QByteArray("\n")}) {
        QByteArray bytes = Settings + line + "\r\n";
        bytes.replace("\r\n", ending);
        const auto result = parseBytes(bytes);
        QVERIFY(result.ok());
        QCOMPARE(result.config->entries.size(), 1);
        QCOMPARE(result.config->entries.at(0).program, program);
        QCOMPARE(result.config->skinUp, QStringLiteral("/skins/XP_Up.bmp"));
    }
}

void tst_configfile::unicodeBehindAByteOrderMark_data()
{
    QTest::addColumn<int>("encoding");
    QTest::newRow("UTF-16 little-endian") << int(QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 big-endian") << int(QStringConverter::Utf16BE);
    QTest::newRow("UTF-32 little-endian") << int(QStringConverter::Utf32LE);
}

void tst_configfile::unicodeBehindAByteOrderMark()
{
    // A file saved as "Unicode" by an editor reads as the same file in UTF-8.
    QFETCH(int, encoding);
    const QString text = QString::fromUtf8(Settings) + QStringLiteral("/home/zoé/résumé.odt;;CV €;2\r\n");
    QStringEncoder encoder(QStringConverter::Encoding(encoding), QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encoder.encode(text);
    QVERIFY(!encoder.hasError());

    const auto result = parseBytes(bytes);
    QVERIFY2(result.ok(), qPrintable(result.error.message(1)));
    QCOMPARE(result.config->x, 120);
    QCOMPARE(result.config->skinMask, QStringLiteral("/skins/XP_Mask.bmp"));
    QCOMPARE(result.config->entries.size(), 1);
    QCOMPARE(result.config->entries.at(0).program, QStringLiteral("/home/zoé/résumé.odt"));
    QCOMPARE(result.config->entries.at(0).title, QStringLiteral("CV €"));
    QCOMPARE(*result.config, *parseBytes(text.toUtf8()).config);
}

void tst_configfile::writeThenRead()
{
    configfile::Config config;
    config.x = -40;
    config.y = 700;
    config.autoLaunch = QStringLiteral("TRUE");
    config.onTop = QStringLiteral("FALSE");
    config.iconMove = QStringLiteral("TRUE");
    config.toolTip = QStringLiteral("FALSE");
    config.extractIcon = QStringLiteral("TRUE");
    config.graphicMode = QStringLiteral("FALSE");
    config.align = QStringLiteral("VERTICAL");
    config.iconMovingValue = -2;
    config.maskColor = 16744703;
    config.skinUp = QStringLiteral("/skins/é up.bmp");
    config.skinDown = QStringLiteral("/skins/down.bmp");
    config.skinMask = QString();
    config.entries = {{QStringLiteral("/usr/bin/xterm"), QStringLiteral("/i.png"), QStringLiteral("Term"), 3},
                      {QStringLiteral("https://example.org"), QString(), QString(), 1}};

    QTemporaryDir dir;
    QVERIFY(configfile::write(dir.path(), configfile::format(config)));
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));
    const QByteArray first = readAll(path);
    QVERIFY(first.endsWith("\r\n"));
    QVERIFY(!first.endsWith("\r\n\r\n"));
    const auto result = configfile::read(path);
    QVERIFY(result.ok());
    QCOMPARE(*result.config, config);
    QVERIFY(configfile::write(dir.path(), configfile::format(*result.config)));
    QCOMPARE(readAll(path), first);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("tmpconfig.txt"))));
}

void tst_configfile::writerFormat()
{
    configfile::Config config;
    config.x = 120;
    config.align = QStringLiteral("HORIZONTAL");
    config.maskColor = 16744703;
    config.entries = {{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("T"), 2}};
    QCOMPARE(configfile::encode(configfile::format(config)),
             QByteArray("120 0\r\nFALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\nHORIZONTAL\r\n0\r\n"
                        "16744703\r\n\r\n\r\n\r\n/a;/b;T;2\r\n"));
}

void tst_configfile::failedRenameKeepsOldFile()
{
    QTemporaryDir dir;
    // A folder in the way of the new file makes the final rename fail after the temporary file is written.
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("DoviConfig.txt/keep")));
    QString error;
    QVERIFY(!configfile::write(dir.path(), {QStringLiteral("1 1")}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("tmpconfig.txt"))));

    // A temporary file that cannot be created fails before the old file is touched.
    QTemporaryDir other;
    const QString old = other.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(writeAll(old, Settings));
    QVERIFY(QDir(other.path()).mkpath(QStringLiteral("tmpconfig.txt")));
    QVERIFY(!configfile::write(other.path(), {QStringLiteral("1 1")}, &error));
    QCOMPARE(readAll(old), Settings);
}

void tst_configfile::lineBreakInsideALineIsRefused_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("LF in a target") << QStringLiteral("/usr/bin/xterm\n;;Terminal;1");
    QTest::newRow("CR in a title") << QStringLiteral("/usr/bin/xterm;;Term\rinal;1");
    QTest::newRow("CR LF at the end of a field") << QStringLiteral("/usr/bin/xterm;/i.png\r\n;Terminal;1");
}

void tst_configfile::lineBreakInsideALineIsRefused()
{
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(writeAll(path, Settings));
    // Written, such a line would come back as two entries, or shift every line after it.
    QStringList lines = configfile::format(configfile::Config{});
    lines << line;
    QString error;
    QVERIFY(!configfile::write(dir.path(), lines, &error));
    QVERIFY(error.contains(QStringLiteral("line 14")));
    QCOMPARE(readAll(path), Settings);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("DoviConfig.txt")}));
}

void tst_configfile::replacesReadOnlyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(writeAll(path, Settings));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    QVERIFY(configfile::write(dir.path(), {QStringLiteral("9 9")}));
    QCOMPARE(readAll(path), QByteArray("9 9\r\n"));
}

void tst_configfile::keepsALinkAndThePermissions()
{
    // A configuration kept in another folder, linked into the program folder, and made private.
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath(QStringLiteral("dovi.txt"));
    QVERIFY(writeAll(real, Settings));
    const QFileDevice::Permissions mine = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QFileDevice::Permissions othersAndGroup =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QVERIFY(QFile::setPermissions(real, mine));
    const QString link = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(QFile::link(real, link));
    QVERIFY(configfile::write(dir.path(), {QStringLiteral("7 7")}));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(real), QByteArray("7 7\r\n"));
    QVERIFY(QFile::permissions(real).testFlags(mine));
    QCOMPARE(QFile::permissions(real) & othersAndGroup, QFileDevice::Permissions());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System),
             QStringList({QStringLiteral("DoviConfig.txt")}));

    // A file of its own keeps its permissions too.
    QVERIFY(QFile::remove(link));
    QVERIFY(writeAll(link, Settings));
    QVERIFY(QFile::setPermissions(link, mine));
    QVERIFY(configfile::write(dir.path(), {QStringLiteral("8 8")}));
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(readAll(link), QByteArray("8 8\r\n"));
    QVERIFY(QFile::permissions(link).testFlags(mine));
    QCOMPARE(QFile::permissions(link) & othersAndGroup, QFileDevice::Permissions());
}

void tst_configfile::followsAChainOfLinks()
{
    // The program folder links to a dotfiles folder, which links to the synchronised copy.
    QTemporaryDir dir;
    QTemporaryDir dotfiles;
    QTemporaryDir synced;
    const QString real = synced.filePath(QStringLiteral("dovi.txt"));
    const QString middle = dotfiles.filePath(QStringLiteral("dovi.txt"));
    const QString link = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QVERIFY(writeAll(real, Settings));
    QVERIFY(QFile::link(real, middle));
    QVERIFY(QFile::link(middle, link));
    QVERIFY(configfile::write(dir.path(), {QStringLiteral("7 7")}));
    QCOMPARE(readAll(real), QByteArray("7 7\r\n"));
    QVERIFY(QFileInfo(middle).isSymLink());
    QVERIFY(QFileInfo(link).isSymLink());

    // Links that lead back to themselves: the save fails and the file stays as it was.
    const QString loop = dotfiles.filePath(QStringLiteral("loop"));
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(loop, link));
    QVERIFY(QFile::link(link, loop));
    QString error;
    QVERIFY(!configfile::write(dir.path(), {QStringLiteral("8 8")}, &error));
    QVERIFY2(error.contains(QStringLiteral("links")), qPrintable(error));
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("tmpconfig.txt"))));
}

void tst_configfile::leftoverTemporaryFileIsMadeAnew()
{
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral("tmpconfig.txt"));
    const QString config = dir.filePath(QStringLiteral("DoviConfig.txt"));
    // Left read-only (a copied program folder, a kill at the wrong moment).
    QVERIFY(writeAll(temp, "old"));
    QVERIFY(QFile::setPermissions(temp, QFileDevice::ReadOwner));
    QString error;
    QVERIFY2(configfile::write(dir.path(), {QStringLiteral("1 1")}, &error), qPrintable(error));
    QCOMPARE(readAll(config), QByteArray("1 1\r\n"));

    // A link: the file it points at is not written over, and the configuration is a file of its own.
    QTemporaryDir elsewhere;
    const QString other = elsewhere.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeAll(other, "the user's notes"));
    QVERIFY(QFile::link(other, temp));
    QVERIFY2(configfile::write(dir.path(), {QStringLiteral("2 2")}, &error), qPrintable(error));
    QCOMPARE(readAll(other), QByteArray("the user's notes"));
    QVERIFY(!QFileInfo(config).isSymLink());
    QCOMPARE(readAll(config), QByteArray("2 2\r\n"));
}

void tst_configfile::missingFile()
{
    QTemporaryDir dir;
    const auto result = configfile::read(dir.filePath(QStringLiteral("DoviConfig.txt")));
    QVERIFY(!result.ok());
    QCOMPARE(result.error.problem, ReadProblem::CannotOpen);
    QCOMPARE(result.error.line, 0);
}

void tst_configfile::refusesWhatIsNotAFile()
{
    // A pipe nobody writes to would hold the start up for ever; a device would be read without end.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("DoviConfig.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(configfile::read(pipe).error.problem, ReadProblem::CannotOpen);
    const QString device = dir.filePath(QStringLiteral("device.txt"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), device));
    const auto result = configfile::read(device);
    QVERIFY(!result.ok());
    QCOMPARE(result.error.problem, ReadProblem::CannotOpen);
}

void tst_configfile::readsALongFileToItsEnd()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("DoviConfig.txt"));

    // Far longer than what is read at a time: every button is found, the last one too.
    QByteArray lines = Settings;
    constexpr int Buttons = 5000;
    for (int i = 0; i < Buttons; ++i)
        lines += "/usr/bin/program-" + QByteArray::number(i) + ";/usr/share/icons/icon.png;Title " +
                 QByteArray::number(i) + ";1\r\n";
    QVERIFY(lines.size() > 256 * 1024);
    QVERIFY(writeAll(path, lines));
    const auto result = configfile::read(path);
    QVERIFY(result.ok());
    QCOMPARE(result.config->entries.size(), Buttons);
    QCOMPARE(result.config->entries.last().title, QStringLiteral("Title %1").arg(Buttons - 1));

    // Beyond the largest file the bar takes, it is refused, not cut short.
    lines.append(16 * 1024 * 1024 - lines.size() + 1, ' ');
    QVERIFY(writeAll(path, lines));
    const auto tooLong = configfile::read(path);
    QVERIFY(!tooLong.ok());
    QCOMPARE(tooLong.error.problem, ReadProblem::CannotOpen);
}

QTEST_GUILESS_MAIN(tst_configfile)
#include "tst_configfile.moc"
