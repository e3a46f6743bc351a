#include "bar/resstrings.h"
#include "platform/services.h"

#include <QTranslator>
#include <QtTest>

class tst_resstrings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data();
    void lookup();
    void everyIdHasBothLanguages();
    void noTextNamesAnotherSystem();
    void theTableKeepsItsTextsForASystemWithoutItsOwn();
    void choosePicksByLanguage();
    void toolkitTextsFollowTheLanguage();
};

void tst_resstrings::lookup_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("accented French") << 105 << QStringLiteral("Envoyer un e-mail à l'auteur de Dovi...");
    QTest::newRow("space before !") << 130 << QStringLiteral("Thanks for choosing Dovi !");
    QTest::newRow("first of table") << 103 << QStringLiteral("A propos de");
    QTest::newRow("unknown id") << 5000 << QString();
    QTest::newRow("comment line is not an id") << 0 << QString();
    // Texts that describe the system are this system's own, under the same numbers.
    QTest::newRow("translucency offered, English")
        << 126 << QStringLiteral("Dovi has detected that a compositor draws the windows of this desktop!");
    QTest::newRow("translucency not offered, French")
        << 131
        << QStringLiteral(
               "Dovi a détecté qu'aucun gestionnaire de composition ne fonctionne sur ce bureau !");
    QTest::newRow("start with the session, English")
        << 158 << QStringLiteral("Launch Dovi automatically with the desktop session");
    QTest::newRow("the pressed skin, English as in French")
        << 200 << QStringLiteral("State of the \"Down Button\" :");
    QTest::newRow("the released skin, English as in French")
        << 202 << QStringLiteral("State of the \"Up Button\" :");
}

void tst_resstrings::lookup()
{
    QFETCH(int, id);
    QFETCH(QString, text);
    QCOMPARE(resstrings::LoadResString(id), text);
}

void tst_resstrings::everyIdHasBothLanguages()
{
    // Ids 103 to 218 come in French/English pairs; none of them may be missing.
    for (int id = 103; id <= 218; ++id)
        QVERIFY2(!resstrings::LoadResString(id).isEmpty(), qPrintable(QString::number(id)));
}

void tst_resstrings::noTextNamesAnotherSystem()
{
    for (int id = 103; id <= 218; ++id) {
        const QString text = resstrings::LoadResString(id);
        QVERIFY2(!text.contains(QLatin1String("Windows")) && !text.contains(QLatin1String("NT")),
                 qPrintable(QString::number(id) + QLatin1Char(' ') + text));
    }
}

namespace {
class SystemWithoutOwnTexts final : public platform::SystemInfo {
public:
    QString locateTool() const override { return {}; }
    bool startTool(const QString&) override { return false; }
};
} // namespace

void tst_resstrings::theTableKeepsItsTextsForASystemWithoutItsOwn()
{
    std::unique_ptr<platform::SystemInfo> own = std::make_unique<SystemWithoutOwnTexts>();
    std::swap(platform::services().systemInfo, own);
    const QString text = resstrings::choose(157, 158, 1);
    std::swap(platform::services().systemInfo, own);
    QCOMPARE(text, QStringLiteral("Launch Dovi automaticaly at the Windows startup"));
}

void tst_resstrings::choosePicksByLanguage()
{
    QCOMPARE(resstrings::choose(143, 144, 0), QStringLiteral("Quitter"));
    QCOMPARE(resstrings::choose(143, 144, 1), QStringLiteral("Exit"));
    QCOMPARE(resstrings::choose(143, 144, 7), QStringLiteral("Exit"));
}

void tst_resstrings::toolkitTextsFollowTheLanguage()
{
    // The Yes and No of the bar's questions and the file dialog are Qt's own texts.
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    const auto installed = [] {
        return QCoreApplication::instance()
            ->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)
            .size();
    };
    QCOMPARE(yes(), QStringLiteral("&Yes"));
    resstrings::useToolkitLanguage(0);
    QCOMPARE(yes(), QStringLiteral("&Oui"));
    // Chosen again (the chooser from the menu): still one set of texts.
    resstrings::useToolkitLanguage(0);
    QCOMPARE(installed(), 1);
    resstrings::useToolkitLanguage(1);
    QCOMPARE(yes(), QStringLiteral("&Yes"));
    QCOMPARE(installed(), 0);
}

QTEST_GUILESS_MAIN(tst_resstrings)
#include "tst_resstrings.moc"
