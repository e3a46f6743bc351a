#include "platform/linux/xdgiconprovider.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace platform;

class tst_XdgIconProvider : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void themeIcons_data();
    void themeIcons();
    void desktopFileWithAbsoluteIcon();
    void desktopFileIconThatIsNoFile_data();
    void desktopFileIconThatIsNoFile();
    void nothingForNothing_data();
    void nothingForNothing();
    void pictureHasTheAskedSize();

private:
    QString make(const QString& name, const QByteArray& content, bool executable = false);
    QTemporaryDir m_dir;
};

QString tst_XdgIconProvider::make(const QString& name, const QByteArray& content, bool executable)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    return path;
}

void tst_XdgIconProvider::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (!QFileInfo::exists(QStringLiteral("/usr/share/icons/Adwaita/index.theme")))
        QSKIP("no icon theme installed (adwaita-icon-theme)");
    make(QStringLiteral("notes.txt"), "hello\n");
    make(QStringLiteral("page.html"), "<html><body>x</body></html>\n");
    make(QStringLiteral("tool"), "#!/bin/sh\n", true);
    make(QStringLiteral("app.desktop"),
         "[Desktop Entry]\nType=Application\nName=A\nIcon=folder\nExec=true\n");
    make(QStringLiteral("noicon.desktop"), "[Desktop Entry]\nType=Application\nName=A\nExec=true\n");
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(m_dir.filePath(QStringLiteral("red.png"))));
    make(QStringLiteral("abs.desktop"), "[Desktop Entry]\nType=Application\nName=A\nExec=true\nIcon=" +
                                            m_dir.filePath("red.png").toUtf8() + "\n");
}

void tst_XdgIconProvider::themeIcons_data()
{
    QTest::addColumn<QString>("path"); // "@/" is the test folder
    QTest::addColumn<QString>("iconName");
    QTest::newRow("folder") << "@"
                            << "folder";
    QTest::newRow("text document") << "@/notes.txt"
                                   << "text-x-generic";
    QTest::newRow("web page document") << "@/page.html"
                                       << "text-html";
    QTest::newRow("program") << "@/tool"
                             << "application-x-executable";
    QTest::newRow(".desktop Icon=") << "@/app.desktop"
                                    << "folder";
    QTest::newRow("web address") << "https://example.org/"
                                 << "text-html";
    QTest::newRow("file address") << "file://@/notes.txt"
                                  << "text-x-generic";
}

void tst_XdgIconProvider::themeIcons()
{
    QFETCH(QString, path);
    QFETCH(QString, iconName);
    path.replace(QLatin1Char('@'), m_dir.path());
    const QIcon icon = XdgIconProvider().iconForPath(path);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.name(), iconName);
}

void tst_XdgIconProvider::desktopFileWithAbsoluteIcon()
{
    const QPixmap pixmap = XdgIconProvider().iconFor(m_dir.filePath(QStringLiteral("abs.desktop")), 16);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.toImage().pixelColor(8, 8), QColor(Qt::red));
    // An entry without Icon= still shows as the file it is.
    QVERIFY(!XdgIconProvider().iconForPath(m_dir.filePath(QStringLiteral("noicon.desktop"))).isNull());
}

void tst_XdgIconProvider::desktopFileIconThatIsNoFile_data()
{
    QTest::addColumn<QString>("icon");
    QTest::newRow("pipe") << QStringLiteral("@/pipe");
    QTest::newRow("device") << QStringLiteral("/dev/zero");
    QTest::newRow("folder") << QStringLiteral("@");
    QTest::newRow("not a picture") << QStringLiteral("@/notes.txt");
}

void tst_XdgIconProvider::desktopFileIconThatIsNoFile()
{
    QFETCH(QString, icon);
    icon.replace(QLatin1Char('@'), m_dir.path());
    const QString pipe = m_dir.filePath(QStringLiteral("pipe"));
    if (!QFileInfo::exists(pipe))
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString entry =
        make(QStringLiteral("odd.desktop"),
             "[Desktop Entry]\nType=Application\nName=A\nExec=true\nIcon=" + icon.toUtf8() + "\n");
    // Not read (a pipe would hold the bar up until someone writes into it): the entry shows as the
    // file it is, like an entry without Icon=.
    const QIcon shown = XdgIconProvider().iconForPath(entry);
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.name(),
             XdgIconProvider().iconForPath(m_dir.filePath(QStringLiteral("noicon.desktop"))).name());
}

void tst_XdgIconProvider::nothingForNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << "";
    QTest::newRow("missing file") << "/nonexistent/file.txt";
    QTest::newRow("missing file address") << "file:///nonexistent/file.txt";
}

void tst_XdgIconProvider::nothingForNothing()
{
    QFETCH(QString, path);
    QVERIFY(XdgIconProvider().iconFor(path, 32).isNull());
}

void tst_XdgIconProvider::pictureHasTheAskedSize()
{
    const QPixmap pixmap = XdgIconProvider().iconFor(m_dir.filePath(QStringLiteral("notes.txt")), 32);
    QCOMPARE(pixmap.size() / pixmap.devicePixelRatio(), QSize(32, 32));
}

QTEST_MAIN(tst_XdgIconProvider)
#include "tst_xdgiconprovider.moc"
