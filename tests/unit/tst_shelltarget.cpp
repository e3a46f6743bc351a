#include "platform/linux/shelltarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using shelltarget::Kind;

Q_DECLARE_METATYPE(platform::shelltarget::Kind)

class tst_ShellTarget : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void resolve_data();
    void resolve();
    void looksLikeUrl_data();
    void looksLikeUrl();
    void longPath();
    void programThatCannotBeRead();

private:
    void makeFile(const QString& name, const QByteArray& content, bool executable);
    QTemporaryDir m_dir;
};

void tst_ShellTarget::makeFile(const QString& name, const QByteArray& content, bool executable)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
    file.close();
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        perms |= QFile::ExeOwner;
    QVERIFY(file.setPermissions(perms));
}

void tst_ShellTarget::initTestCase()
{
    QVERIFY(m_dir.isValid());
    makeFile(QStringLiteral("tool.sh"), "#!/bin/sh\nexit 0\n", true);
    QFile elf(QStringLiteral("/bin/sh"));
    QVERIFY(elf.open(QIODevice::ReadOnly));
    makeFile(QStringLiteral("native"), elf.read(64), true);
    makeFile(QStringLiteral("notes on fat.txt"), "hello\n", true);
    makeFile(QStringLiteral("plain.txt"), "hello\n", false);
    makeFile(QStringLiteral("script not executable.sh"), "#!/bin/sh\n", false);
    makeFile(QStringLiteral("$(touch x)"), "#!/bin/sh\n", true);
    makeFile(QStringLiteral("a;touch x"), "text\n", false);
    makeFile(QStringLiteral("-n"), "text\n", false);
    makeFile(QStringLiteral("it's \"quoted\".txt"), "text\n", false);
    makeFile(QStringLiteral("path/bin/onpath"), "#!/bin/sh\n", true);
    makeFile(QStringLiteral("http:odd"), "text\n", false);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("a folder")));
}

void tst_ShellTarget::resolve_data()
{
    QTest::addColumn<QString>("target"); // "@/" stands for the test folder
    QTest::addColumn<QString>("folder"); // same
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("location"); // same

    QTest::newRow("empty") << ""
                           << "@" << Kind::Missing << "";
    QTest::newRow("missing absolute") << "@/nothing here"
                                      << "@" << Kind::Missing << "";
    QTest::newRow("script") << "@/tool.sh"
                            << "/" << Kind::Program << "@/tool.sh";
    QTest::newRow("native program") << "@/native"
                                    << "/" << Kind::Program << "@/native";
    QTest::newRow("exec bit on a text file is a document") << "@/notes on fat.txt"
                                                           << "/" << Kind::Document << "@/notes on fat.txt";
    QTest::newRow("script without exec bit is a document")
        << "@/script not executable.sh"
        << "/" << Kind::Document << "@/script not executable.sh";
    QTest::newRow("folder") << "@/a folder"
                            << "/" << Kind::Folder << "@/a folder";
    QTest::newRow("command substitution is a name") << "@/$(touch x)"
                                                    << "/" << Kind::Program << "@/$(touch x)";
    QTest::newRow("semicolon is a name") << "@/a;touch x"
                                         << "/" << Kind::Document << "@/a;touch x";
    QTest::newRow("quotes are a name") << "@/it's \"quoted\".txt"
                                       << "/" << Kind::Document << "@/it's \"quoted\".txt";
    QTest::newRow("leading dash, relative to the folder") << "-n"
                                                          << "@" << Kind::Document << "@/-n";
    QTest::newRow("relative with a slash") << "path/bin/onpath"
                                           << "@" << Kind::Program << "@/path/bin/onpath";
    QTest::newRow("relative missing") << "path/none"
                                      << "@" << Kind::Missing << "";
    QTest::newRow("bare name on the search path") << "onpath"
                                                  << "/" << Kind::Program << "@/path/bin/onpath";
    QTest::newRow("bare name nowhere") << "-rf"
                                       << "/" << Kind::Missing << "";
    QTest::newRow("command line is not split") << "onpath --help"
                                               << "/" << Kind::Missing << "";
    QTest::newRow("web address") << "https://example.org/a b?q=1"
                                 << "/" << Kind::Url << "https://example.org/a%20b?q=1";
    QTest::newRow("mail address") << "mailto:dovi@example.org"
                                  << "/" << Kind::Url << "mailto:dovi@example.org";
    QTest::newRow("file address to an existing file") << "file://@/plain.txt"
                                                      << "/" << Kind::Document << "@/plain.txt";
    QTest::newRow("file address naming this machine") << "file://localhost@/a%20folder"
                                                      << "/" << Kind::Folder << "@/a folder";
    QTest::newRow("file address naming another machine") << "file://elsewhere@/plain.txt"
                                                         << "/" << Kind::Missing << "";
    QTest::newRow("file address to a missing file") << "file:///nonexistent/x"
                                                    << "/" << Kind::Missing << "";
    QTest::newRow("local file wins over a scheme look") << "http:odd"
                                                        << "@" << Kind::Document << "@/http:odd";
    QTest::newRow("drive letter is no scheme") << "C:\\Windows\\notepad.exe"
                                               << "/" << Kind::Missing << "";
}

void tst_ShellTarget::resolve()
{
    QFETCH(QString, target);
    QFETCH(QString, folder);
    QFETCH(Kind, kind);
    QFETCH(QString, location);
    const auto expand = [this](QString s) {
        if (s.startsWith(QLatin1String("file://")) && s.contains(QLatin1Char('@')))
            return s.replace(s.indexOf(QLatin1Char('@')), 1, m_dir.path());
        if (s.startsWith(QLatin1Char('@')))
            return s.replace(0, 1, m_dir.path());
        return s;
    };
    const shelltarget::Resolved resolved =
        shelltarget::resolve(expand(target), expand(folder), {m_dir.filePath(QStringLiteral("path/bin"))});
    QCOMPARE(resolved.kind, kind);
    QCOMPARE(resolved.location, expand(location));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x"))));
}

void tst_ShellTarget::looksLikeUrl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("url");
    QTest::newRow("http") << "http://x" << true;
    QTest::newRow("mailto") << "mailto:a@b" << true;
    QTest::newRow("scheme with plus") << "svn+ssh://h/r" << true;
    QTest::newRow("drive") << "C:\\x" << false;
    QTest::newRow("no colon") << "/usr/bin/x" << false;
    QTest::newRow("digit first") << "1http://x" << false;
    QTest::newRow("blank in scheme") << "a b:c" << false;
    QTest::newRow("path with colon") << "/a:b" << false;
}

void tst_ShellTarget::looksLikeUrl()
{
    QFETCH(QString, text);
    QFETCH(bool, url);
    QCOMPARE(shelltarget::looksLikeUrl(text), url);
}

void tst_ShellTarget::longPath()
{
    // About 4,000 characters in folders of 200: longer than any name, shorter than PATH_MAX.
    QString relative;
    while (relative.size() < 3900)
        relative += QString(199, QLatin1Char('d')) + QLatin1Char('/');
    makeFile(relative + QStringLiteral("long tool"), "#!/bin/sh\n", true);
    const QString path = m_dir.filePath(relative + QStringLiteral("long tool"));
    QVERIFY(path.size() >= 4000);
    const shelltarget::Resolved found = shelltarget::resolve(path, QStringLiteral("/"));
    QCOMPARE(found.kind, Kind::Program);
    QCOMPARE(found.location, path);
    QCOMPARE(shelltarget::resolve(path + QStringLiteral(" missing"), QStringLiteral("/")).kind,
             Kind::Missing);
}

void tst_ShellTarget::programThatCannotBeRead()
{
    // Mode 711: its user may run it, not read it. Root reads everything, so as root the look is
    // taken by a process that gave up root for an ordinary user.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    const QString path = dir.filePath(QStringLiteral("run only"));
    QFile elf(QStringLiteral("/bin/sh"));
    QVERIFY(elf.open(QIODevice::ReadOnly));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(elf.read(64));
    file.close();
    const bool root = geteuid() == 0;
    QVERIFY(file.setPermissions(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther |
                                (root ? QFile::ReadOwner | QFile::WriteOwner : QFile::Permissions())));

    int kind = -1;
    if (!root) {
        QVERIFY(!QFile(path).open(QIODevice::ReadOnly));
        kind = static_cast<int>(shelltarget::resolve(path, QStringLiteral("/")).kind);
    } else {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0 || QFile(path).open(QIODevice::ReadOnly))
                _exit(100);
            _exit(static_cast<int>(shelltarget::resolve(path, QStringLiteral("/")).kind));
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QVERIFY2(WEXITSTATUS(status) != 100, "no ordinary user to look with");
        kind = WEXITSTATUS(status);
    }
    // Started directly: the desktop's opener could not read it either.
    QCOMPARE(kind, static_cast<int>(Kind::Program));
}

QTEST_GUILESS_MAIN(tst_ShellTarget)
#include "tst_shelltarget.moc"
