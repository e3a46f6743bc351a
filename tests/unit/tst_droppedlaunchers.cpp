// What a drop on the bar makes without widgets: where it lands, the button line of each item and
// whether an entry is trusted, and the order after a button is moved.
#include "bar/droppedlaunchers.h"

#include <QtTest>

using droppedlaunchers::Launcher;

class tst_droppedlaunchers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dropSlot_data();
    void dropSlot();
    void launcherFor_data();
    void launcherFor();
    void applicationFolders_data();
    void applicationFolders();
    void moved_data();
    void moved();
};

void tst_droppedlaunchers::dropSlot_data()
{
    QTest::addColumn<QString>("align");
    QTest::addColumn<QList<QRectF>>("buttons");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("slot");

    // Buttons of different sizes, edge to edge.
    const QList<QRectF> row{{0, 0, 48, 48}, {48, 0, 20, 48}, {68, 0, 48, 48}};
    const QList<QRectF> column{{0, 0, 48, 48}, {0, 48, 48, 20}, {0, 68, 48, 48}};
    const QString h = QStringLiteral("HORIZONTAL");
    const QString v = QStringLiteral("VERTICAL");
    QTest::newRow("row, first half of the first") << h << row << QPointF(10, 40) << 0;
    QTest::newRow("row, second half of the first") << h << row << QPointF(30, 5) << 1;
    QTest::newRow("row, on the edge between two") << h << row << QPointF(48, 24) << 1;
    QTest::newRow("row, narrow middle button, after its middle") << h << row << QPointF(59, 24) << 2;
    QTest::newRow("row, second half of the last") << h << row << QPointF(100, 24) << 3;
    QTest::newRow("row, height does not count") << h << row << QPointF(100, 500) << 3;
    QTest::newRow("column, first half of the second") << v << column << QPointF(40, 50) << 1;
    QTest::newRow("column, second half of the second") << v << column << QPointF(0, 60) << 2;
    QTest::newRow("column, width does not count") << v << column << QPointF(900, 10) << 0;
    QTest::newRow("piled up at the corner")
        << QStringLiteral("horizontal") << QList<QRectF>(3, {0, 0, 48, 48}) << QPointF(1, 1) << 3;
    QTest::newRow("no buttons") << h << QList<QRectF>() << QPointF(1, 1) << 0;
}

void tst_droppedlaunchers::dropSlot()
{
    QFETCH(QString, align);
    QFETCH(QList<QRectF>, buttons);
    QFETCH(QPointF, at);
    QFETCH(int, slot);
    QCOMPARE(droppedlaunchers::dropSlot(align, buttons, at), slot);
}

void tst_droppedlaunchers::launcherFor_data()
{
    QTest::addColumn<QString>("make");     // what the item is made as: file, folder, entry or nothing
    QTest::addColumn<QString>("name");     // its name, or the address when nothing is made
    QTest::addColumn<QByteArray>("text");  // the file's content
    QTest::addColumn<bool>("executable");  // marked executable
    QTest::addColumn<bool>("application"); // in an applications folder
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("program"); // "=" for the item's own path

    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Text Editor\nName[fr]=Éditeur\\sde "
                             "texte\nName[de]=Texteditor\nExec=true\n\n[Desktop Action new]\nName[en]=New\n";
    const auto kind = [](Launcher::Kind k) { return static_cast<int>(k); };
    QTest::newRow("entry in French") << "entry"
                                     << "editor.desktop" << entry << false << true << 0
                                     << kind(Launcher::Kind::Entry) << "Éditeur de texte"
                                     << "=";
    QTest::newRow("entry in English: no Name[en], an action's is not the entry's")
        << "entry"
        << "editor.desktop" << entry << false << true << 1 << kind(Launcher::Kind::Entry) << "Text Editor"
        << "=";
    QTest::newRow("entry with Name[en]")
        << "entry"
        << "app.desktop" << QByteArray("[Desktop Entry]\nName[en] = Mail;Post\nName=Courrier\n") << false
        << true << 1 << kind(Launcher::Kind::Entry) << "Mail,Post"
        << "=";
    QTest::newRow("entry without a name: its file name")
        << "entry"
        << "nameless.desktop" << QByteArray("[Desktop Entry]\nType=Application\nExec=true\n") << false << true
        << 0 << kind(Launcher::Kind::Entry) << "nameless.desktop"
        << "=";
    QTest::newRow("entry from elsewhere, marked executable")
        << "entry"
        << "mine.desktop" << entry << true << false << 0 << kind(Launcher::Kind::Entry) << "Éditeur de texte"
        << "=";
    QTest::newRow("entry from elsewhere, not executable: untrusted")
        << "entry"
        << "downloaded.desktop" << entry << false << false << 1 << kind(Launcher::Kind::Untrusted) << ""
        << "";
    QTest::newRow("file") << "file"
                          << "report 2024.pdf" << QByteArray("%PDF") << false << false << 1
                          << kind(Launcher::Kind::File) << "report 2024.pdf"
                          << "=";
    QTest::newRow("file whose name holds a ';': its address")
        << "file"
        << "a;b.txt" << QByteArray("x") << false << false << 1 << kind(Launcher::Kind::File) << "a,b.txt"
        << "file://%DIR%/a%3Bb.txt";
    QTest::newRow("folder") << "folder"
                            << "Photos" << QByteArray() << false << false << 0 << kind(Launcher::Kind::Folder)
                            << "Photos"
                            << "=";
    QTest::newRow("missing file") << ""
                                  << "file:///nonexistent/dovi/x.txt" << QByteArray() << false << false << 0
                                  << kind(Launcher::Kind::Refused) << ""
                                  << "";
    QTest::newRow("file of another machine") << ""
                                             << "file://server.example/etc/hostname" << QByteArray() << false
                                             << false << 0 << kind(Launcher::Kind::Refused) << ""
                                             << "";
    QTest::newRow("address: its host") << ""
                                       << "https://www.example.org/news?id=1;2" << QByteArray() << false
                                       << false << 0 << kind(Launcher::Kind::Address) << "www.example.org"
                                       << "https://www.example.org/news?id=1%3B2";
    QTest::newRow("address without a host")
        << ""
        << "mailto:someone@example.org" << QByteArray() << false << false << 1
        << kind(Launcher::Kind::Address) << "mailto:someone@example.org"
        << "mailto:someone@example.org";
    QTest::newRow("script address") << ""
                                    << "javascript:alert(1)" << QByteArray() << false << false << 1
                                    << kind(Launcher::Kind::Refused) << ""
                                    << "";
    QTest::newRow("data address") << ""
                                  << "data:text/plain,hello" << QByteArray() << false << false << 1
                                  << kind(Launcher::Kind::Refused) << ""
                                  << "";
    QTest::newRow("no scheme") << ""
                               << "just words" << QByteArray() << false << false << 1
                               << kind(Launcher::Kind::Refused) << ""
                               << "";
}

void tst_droppedlaunchers::launcherFor()
{
    QFETCH(QString, make);
    QFETCH(QString, name);
    QFETCH(QByteArray, text);
    QFETCH(bool, executable);
    QFETCH(bool, application);
    QFETCH(int, lang);
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, program);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QDir root(tmp.path());
    QVERIFY(root.mkpath(QStringLiteral("share/applications/sub")) &&
            root.mkpath(QStringLiteral("elsewhere")));
    const QStringList folders{root.filePath(QStringLiteral("share/applications")),
                              root.filePath(QStringLiteral("missing/applications"))};
    const QString dir =
        root.filePath(application ? QStringLiteral("share/applications/sub") : QStringLiteral("elsewhere"));
    const QString path = QDir(dir).filePath(name);
    QUrl url(name);
    if (make == QLatin1String("folder")) {
        QVERIFY(QDir(dir).mkdir(name));
        url = QUrl::fromLocalFile(path);
    } else if (!make.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        QVERIFY(file.setPermissions(permissions));
        url = QUrl::fromLocalFile(path);
    }

    const Launcher launcher = droppedlaunchers::launcherFor(url, lang, folders);
    QCOMPARE(static_cast<int>(launcher.kind), kind);
    if (launcher.kind == Launcher::Kind::Refused || launcher.kind == Launcher::Kind::Untrusted)
        return;
    QCOMPARE(launcher.entry.title, title);
    QCOMPARE(launcher.entry.program,
             program == QLatin1String("=") ? path : QString(program).replace(QStringLiteral("%DIR%"), dir));
    // A button of the normal window state with the target's own icon (no icon file).
    QCOMPARE(launcher.entry.state, 1);
    QCOMPARE(launcher.entry.icon, QString());

    // The line reads back as the same button.
    configfile::Config config;
    config.entries << launcher.entry;
    const configfile::ReadResult read =
        configfile::parse(configfile::format(config).join(QStringLiteral("\r\n")), QStringLiteral("t"));
    QVERIFY(read.ok());
    QCOMPARE(read.config->entries, config.entries);
}

void tst_droppedlaunchers::applicationFolders_data()
{
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("dataDirs");
    QTest::addColumn<QStringList>("folders");

    QTest::newRow("defaults") << QString() << QString()
                              << QStringList{"/home/u/.local/share/applications",
                                             "/usr/local/share/applications", "/usr/share/applications"};
    QTest::newRow("set") << "/data/home/"
                         << "/opt/share:/var/lib/flatpak/exports/share/"
                         << QStringList{"/data/home/applications", "/opt/share/applications",
                                        "/var/lib/flatpak/exports/share/applications"};
    QTest::newRow("relative folders are no part of it")
        << "relative"
        << "share:/opt/share::"
        << QStringList{"/home/u/.local/share/applications", "/opt/share/applications"};
}

void tst_droppedlaunchers::applicationFolders()
{
    QFETCH(QString, dataHome);
    QFETCH(QString, dataDirs);
    QFETCH(QStringList, folders);
    QCOMPARE(droppedlaunchers::applicationFolders(dataHome, dataDirs, QStringLiteral("/home/u")), folders);
}

void tst_droppedlaunchers::moved_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("order"); // empty: nothing moves

    QTest::newRow("first to the end") << 0 << 4 << "BCDA";
    QTest::newRow("last to the front") << 3 << 0 << "DABC";
    QTest::newRow("second after the third") << 1 << 3 << "ACBD";
    QTest::newRow("third before the second") << 2 << 1 << "ACBD";
    QTest::newRow("before itself") << 2 << 2 << "";
    QTest::newRow("after itself") << 2 << 3 << "";
    QTest::newRow("beyond the end") << 0 << 9 << "BCDA";
    QTest::newRow("no such button") << 4 << 0 << "";
}

void tst_droppedlaunchers::moved()
{
    QFETCH(int, from);
    QFETCH(int, slot);
    QFETCH(QString, order);
    QList<configfile::ButtonEntry> entries;
    for (const QChar name : QStringLiteral("ABCD"))
        entries << configfile::ButtonEntry{QStringLiteral("/bin/") + name, QString(), QString(name), 1};
    const auto result = droppedlaunchers::moved(entries, from, slot);
    QCOMPARE(result.has_value(), !order.isEmpty());
    if (!result)
        return;
    QString titles;
    for (const configfile::ButtonEntry& entry : *result)
        titles += entry.title;
    QCOMPARE(titles, order);
}

QTEST_GUILESS_MAIN(tst_droppedlaunchers)
#include "tst_droppedlaunchers.moc"
