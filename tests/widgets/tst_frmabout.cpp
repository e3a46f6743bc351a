// The about box: captions by language, the version line, the two text files of the language read
// line by line, the mail and web buttons, the system information tool and its message.
#include "bar/frmabout.h"
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "platform/testing/doubles.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>
#include <sys/stat.h>

using platform::testing::ScopedDoubles;

namespace {
const QString NoSysInfo = QStringLiteral("Les informations système ne sont pas disponibles actuellement");

template<typename T> T* child(frmAbout& about, const char* name)
{
    T* widget = about.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}
} // namespace

class tst_frmabout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void captions_data();
    void captions();
    void textsOfTheLanguage_data();
    void textsOfTheLanguage();
    void linesJoinedWithoutTrailingEnd_data();
    void linesJoinedWithoutTrailingEnd();
    void eightBitTextFromWindows();
    void missingOrUnreadableFilesLeaveTheAreaEmpty();
    void deliveredFilesAreRead();
    void versionWithoutLeadingZeros_data();
    void versionWithoutLeadingZeros();
    void linkButtonsOpenTheProjectAddresses();
    void linkButtonsTellWhenNothingOpensThem_data();
    void linkButtonsTellWhenNothingOpensThem();
    void systemInformationTool_data();
    void systemInformationTool();
    void logoAndLayout();
    void okCloses();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
};

void tst_frmabout::init()
{
    modDeclarePublic::reset();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
}

void tst_frmabout::cleanup()
{
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

void tst_frmabout::captions_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("sysInfo");
    QTest::addColumn<QString>("mail");
    QTest::addColumn<QString>("site");
    QTest::newRow("French") << 0 << "A propos de Dovi"
                            << "Informations complémentaires :"
                            << "Infos système..."
                            << "Envoyer un e-mail à l'auteur de Dovi..."
                            << "Aller sur le site de l'auteur de Dovi...";
    QTest::newRow("English") << 1 << "About Dovi"
                             << "Additionals informations :"
                             << "System infos..."
                             << "Send an e-mail to Dovi author..."
                             << "Go to author internet site...";
}

void tst_frmabout::captions()
{
    QFETCH(int, lang);
    modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
    frmAbout about;
    QTEST(about.windowTitle(), "title");
    QTEST(child<QLabel>(about, "Label1")->text().remove(QLatin1Char('&')), "heading");
    QTEST(child<QPushButton>(about, "cmdSysInfo")->text().remove(QLatin1Char('&')), "sysInfo");
    QTEST(child<QPushButton>(about, "Command1")->text().remove(QLatin1Char('&')), "mail");
    QTEST(child<QPushButton>(about, "Command2")->text().remove(QLatin1Char('&')), "site");
    QCOMPARE(child<QPushButton>(about, "cmdOK")->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
    QVERIFY(!child<QLabel>(about, "lblDisclaimer")->text().isEmpty());
}

void tst_frmabout::textsOfTheLanguage_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("licence");
    QTest::addColumn<QString>("information");
    QTest::newRow("French") << 0 << "licence en français"
                            << "informations en français";
    QTest::newRow("English") << 1 << "licence in English"
                             << "information in English";
}

void tst_frmabout::textsOfTheLanguage()
{
    QFETCH(int, lang);
    const QDir folder(m_folder->path());
    writeFile(folder.filePath(QStringLiteral("Licence fr.txt")), "licence en français\r\n");
    writeFile(folder.filePath(QStringLiteral("Licence eng.txt")), "licence in English\r\n");
    writeFile(folder.filePath(QStringLiteral("Informations fr.txt")), "informations en français\r\n");
    writeFile(folder.filePath(QStringLiteral("Informations eng.txt")), "information in English\r\n");
    modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
    frmAbout about;
    QTEST(child<QPlainTextEdit>(about, "Text1")->toPlainText(), "licence");
    QTEST(child<QPlainTextEdit>(about, "Text2")->toPlainText(), "information");
}

void tst_frmabout::linesJoinedWithoutTrailingEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("joined");
    QTest::addColumn<int>("lines");
    QTest::newRow("CR LF ends") << QByteArray("one\r\ntwo\r\nthree\r\n") << "one\r\ntwo\r\nthree" << 3;
    QTest::newRow("LF ends") << QByteArray("one\ntwo\nthree\n") << "one\r\ntwo\r\nthree" << 3;
    QTest::newRow("no end after the last") << QByteArray("one\r\ntwo\r\nthree") << "one\r\ntwo\r\nthree" << 3;
    QTest::newRow("CR ends") << QByteArray("one\rtwo\rthree\r") << "one\r\ntwo\r\nthree" << 3;
    QTest::newRow("blank line inside") << QByteArray("one\r\n\r\nthree\r\n") << "one\r\n\r\nthree" << 3;
    QTest::newRow("blank last line") << QByteArray("one\r\ntwo\r\n\r\n") << "one\r\ntwo\r\n" << 3;
    QTest::newRow("one line") << QByteArray("only\r\n") << "only" << 1;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFone\r\ntwo") << "one\r\ntwo" << 2;
    QTest::newRow("UTF-16 of an editor's Unicode")
        << QByteArray("\xFF\xFEo\0n\0\xE9\0\r\0\n\0t\0w\0o\0", 18) << "on\u00e9\r\ntwo" << 2;
    QTest::newRow("empty file") << QByteArray() << "" << 1;
}

void tst_frmabout::linesJoinedWithoutTrailingEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, joined);
    QFETCH(int, lines);
    const QString path = QDir(m_folder->path()).filePath(QStringLiteral("Licence eng.txt"));
    writeFile(path, file);
    QCOMPARE(frmAbout::readTextFile(path), joined);

    modDeclarePublic::CurrentLang = 1;
    frmAbout about;
    const QPlainTextEdit* text1 = child<QPlainTextEdit>(about, "Text1");
    QCOMPARE(text1->document()->blockCount(), lines);
    QCOMPARE(text1->toPlainText(), QString(joined).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(!text1->toPlainText().contains(QLatin1Char('\r')));
}

void tst_frmabout::eightBitTextFromWindows()
{
    // "Café – 10 €" saved in the Windows 8-bit code page.
    const QString path = QDir(m_folder->path()).filePath(QStringLiteral("Licence fr.txt"));
    writeFile(path, QByteArray("Caf\xE9 \x96 10 \x80\r\nfin"));
    QCOMPARE(frmAbout::readTextFile(path), QStringLiteral("Café – 10 €\r\nfin"));
}

void tst_frmabout::missingOrUnreadableFilesLeaveTheAreaEmpty()
{
    const QDir folder(m_folder->path());
    // The information text is a folder, not a file; the licence is not there at all.
    QVERIFY(folder.mkdir(QStringLiteral("Informations eng.txt")));
    modDeclarePublic::CurrentLang = 1;
    frmAbout about;
    about.show();
    QVERIFY(about.isVisible());
    QVERIFY(child<QPlainTextEdit>(about, "Text1")->toPlainText().isEmpty());
    QVERIFY(child<QPlainTextEdit>(about, "Text2")->toPlainText().isEmpty());
    QVERIFY(m_doubles->messages->shown.isEmpty());
    QCOMPARE(frmAbout::readTextFile(folder.filePath(QStringLiteral("nothing here.txt"))), QString());

    // Far too large to be one of the texts: not read, rather than shown in part.
    const QString huge = folder.filePath(QStringLiteral("Licence fr.txt"));
    writeFile(huge, QByteArray(5 * 1024 * 1024, 'a'));
    QCOMPARE(frmAbout::readTextFile(huge), QString());

    // Not files at all: a pipe nobody writes to would hold the box up for ever, and a device that
    // tells no size would be read without end.
    const QString pipe = folder.filePath(QStringLiteral("pipe.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(frmAbout::readTextFile(pipe), QString());
    const QString endless = folder.filePath(QStringLiteral("endless.txt"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), endless));
    QCOMPARE(frmAbout::readTextFile(endless), QString());
}

void tst_frmabout::deliveredFilesAreRead()
{
    // The files the build lays beside the program: the licence names this program and its licence.
    m_doubles->app->folder = QStringLiteral(DOVI_TEST_BIN_DIR);
    for (int lang : {0, 1}) {
        modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
        frmAbout about;
        about.show();
        const QString licence = child<QPlainTextEdit>(about, "Text1")->toPlainText();
        const QString information = child<QPlainTextEdit>(about, "Text2")->toPlainText();
        QVERIFY2(licence.contains(QLatin1String("MIT")), qPrintable(licence.left(80)));
        QVERIFY(licence.contains(lang == 0 ? QStringLiteral("Les développeurs de Dovi")
                                           : QStringLiteral("The Dovi developers")));
        QVERIFY(information.contains(QLatin1String("DoviConfig.txt")));
        QVERIFY(information.contains(QLatin1String("~/.config")));
        QVERIFY(!licence.endsWith(QLatin1Char('\n')));
        QVERIFY(!information.endsWith(QLatin1Char('\n')));
    }
}

void tst_frmabout::versionWithoutLeadingZeros_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    // The resource version 2.01.0014 is 2, 1 and 14.
    QTest::newRow("2.01.0014") << 2 << 1 << 14 << "Version 2.1.14";
    QTest::newRow("10.00.0000") << 10 << 0 << 0 << "Version 10.0.0";
    QTest::newRow("0.09.0100") << 0 << 9 << 100 << "Version 0.9.100";
}

void tst_frmabout::versionWithoutLeadingZeros()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    m_doubles->app->ver = platform::Version{major, minor, revision};
    QCOMPARE(frmAbout::versionText(), text);
    frmAbout about;
    QCOMPARE(child<QLabel>(about, "lblVersion")->text(), text);
}

void tst_frmabout::linkButtonsOpenTheProjectAddresses()
{
    frmAbout about;
    auto* mail = child<QPushButton>(about, "Command1");
    auto* site = child<QPushButton>(about, "Command2");
    QVERIFY(frmAbout::authorMail().startsWith(QLatin1String("mailto:")));
    QVERIFY(frmAbout::authorSite().startsWith(QLatin1String("https://")));
    QCOMPARE(mail->toolTip(), frmAbout::authorMail());
    QCOMPARE(site->toolTip(), frmAbout::authorSite());

    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(site, Qt::LeftButton);
    const auto& requests = m_doubles->shell->requests;
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).target, frmAbout::authorMail());
    QCOMPARE(requests.at(1).target, frmAbout::authorSite());
    for (const platform::ShellRequest& request : requests) {
        QCOMPARE(request.verb, QStringLiteral("Open"));
        QVERIFY(request.parameters.isEmpty());
        QCOMPARE(request.folder, QStringLiteral("/"));
        QCOMPARE(request.show, platform::ShowState::Normal);
    }
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_frmabout::linkButtonsTellWhenNothingOpensThem_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("said");
    QTest::newRow("French") << 0 << QStringLiteral("Dovi n'a pas pu ouvrir :");
    QTest::newRow("English") << 1 << QStringLiteral("Dovi could not open:");
}

void tst_frmabout::linkButtonsTellWhenNothingOpensThem()
{
    // No mail program or browser, no opener: the click is not simply lost.
    QFETCH(int, lang);
    QFETCH(QString, said);
    modDeclarePublic::CurrentLang = qint16(lang);
    m_doubles->shell->result = false;
    frmAbout about;
    QTest::mouseClick(child<QPushButton>(about, "Command1"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(about, "Command2"), Qt::LeftButton);
    const auto& shown = m_doubles->messages->shown;
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).text, said + QStringLiteral("\r\n") + frmAbout::authorMail());
    QCOMPARE(shown.at(1).text, said + QStringLiteral("\r\n") + frmAbout::authorSite());
    for (const platform::testing::ShownMessage& message : shown) {
        QCOMPARE(message.title, frmMain::versionTitle());
        QCOMPARE(message.icon, platform::MsgIcon::Warning);
    }
}

void tst_frmabout::systemInformationTool_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("tool");
    QTest::newRow("none, French") << 0 << "";
    QTest::newRow("none, English") << 1 << "";
    QTest::newRow("found") << 1 << "/usr/bin/hardinfo";
}

void tst_frmabout::systemInformationTool()
{
    QFETCH(int, lang);
    QFETCH(QString, tool);
    modDeclarePublic::CurrentLang = static_cast<qint16>(lang);
    m_doubles->systemInfo->tool = tool;
    frmAbout about;
    QTest::mouseClick(child<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
    const auto& shown = m_doubles->messages->shown;
    if (tool.isEmpty()) {
        QVERIFY(m_doubles->systemInfo->started.isEmpty());
        QCOMPARE(shown.size(), 1);
        // The same French text in both languages.
        QCOMPARE(shown.at(0).text, NoSysInfo);
        QCOMPARE(shown.at(0).title, QStringLiteral("Dovi"));
        QCOMPARE(shown.at(0).icon, platform::MsgIcon::None);
        QCOMPARE(shown.at(0).buttons, platform::MsgButtons::Ok);
    } else {
        QCOMPARE(m_doubles->systemInfo->started, QStringList{tool});
        QVERIFY(shown.isEmpty());
    }
}

void tst_frmabout::logoAndLayout()
{
    frmAbout about;
    const QLabel* image = child<QLabel>(about, "Image1");
    QVERIFY(!image->pixmap().isNull());
    QCOMPARE(image->pixmap().size(), QSize(64, 64));
    QCOMPARE(about.size(), QSize(386, 465));
    QCOMPARE(child<QPlainTextEdit>(about, "Text1")->geometry(), QRect(8, 112, 369, 121));
    QCOMPARE(child<QPlainTextEdit>(about, "Text2")->geometry(), QRect(8, 264, 369, 129));
    QCOMPARE(child<QPushButton>(about, "Command1")->geometry(), QRect(8, 400, 257, 25));
    QCOMPARE(child<QPushButton>(about, "Command2")->geometry(), QRect(8, 432, 257, 25));
    // The right-hand buttons keep their right edge and grow to the left only as far as their
    // captions need, clear of the link buttons.
    for (const char* name : {"cmdOK", "cmdSysInfo"}) {
        const QPushButton* button = child<QPushButton>(about, name);
        QCOMPARE(button->geometry().right(), 288 + 89 - 1);
        QCOMPARE(button->height(), 25);
        QVERIFY(button->width() >= 89);
        QVERIFY(button->x() >= 265 + 8);
        QVERIFY(button->width() >= qMin(button->sizeHint().width(), 377 - 273));
    }
    QCOMPARE(child<QPushButton>(about, "cmdOK")->y(), 400);
    QCOMPARE(child<QPushButton>(about, "cmdSysInfo")->y(), 432);
    QVERIFY(child<QPlainTextEdit>(about, "Text1")->isReadOnly());
}

void tst_frmabout::okCloses()
{
    frmAbout about;
    QTimer::singleShot(0, &about,
                       [&] { QTest::mouseClick(child<QPushButton>(about, "cmdOK"), Qt::LeftButton); });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(tst_frmabout)
#include "tst_frmabout.moc"
