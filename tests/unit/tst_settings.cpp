#include "bar/settings.h"
#include "platform/services.h"
#include "platform/testing/doubles.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_settings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultsOnEmptyStore();
    void roundTrips();
    void storedValues_data();
    void storedValues();
    void deleteAllRemovesEverySection();
    void realStoreWritesTheIniFile();
    void realStoreLeavesAForeignFileAlone();
    void realStoreReadsAFileWithAByteOrderMark();
    void realStoreInAFolderThatCannotBeCreated();
    void realStoreSeesTheFileEditedByHand();
    void problemMessages();
};

void tst_settings::defaultsOnEmptyStore()
{
    platform::testing::ScopedDoubles doubles;
    QCOMPARE(settings::FirstLaunch(), 0);
    QCOMPARE(settings::Lang(), 0);
    QCOMPARE(settings::ValTrans(), 255);
    QCOMPARE(settings::InfosToolTip(), 0);
}

void tst_settings::roundTrips()
{
    platform::testing::ScopedDoubles doubles;
    QVERIFY(settings::saveFirstLaunch(1));
    QVERIFY(settings::saveLang(1));
    QVERIFY(settings::saveValTrans(180));
    QVERIFY(settings::saveInfosToolTip(1));
    QCOMPARE(settings::FirstLaunch(), 1);
    QCOMPARE(settings::Lang(), 1);
    QCOMPARE(settings::ValTrans(), 180);
    QCOMPARE(settings::InfosToolTip(), 1);
    QCOMPARE(doubles.settings->values.value(QStringLiteral("Dovi/GeneralSetLng/FirstLaunch")),
             QStringLiteral("1"));
    QCOMPARE(doubles.settings->values.value(QStringLiteral("Dovi/Transparency/Val_Trans")),
             QStringLiteral("180"));

    doubles.settings->writable = false;
    QVERIFY(!settings::saveLang(0));
}

void tst_settings::storedValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("read");
    QTest::newRow("Lang 0") << "GeneralSetLng/Lang"
                            << "0" << 0;
    QTest::newRow("Lang 2 is English") << "GeneralSetLng/Lang"
                                       << "2" << 1;
    QTest::newRow("Lang -1 is English") << "GeneralSetLng/Lang"
                                        << "-1" << 1;
    QTest::newRow("Lang not a number") << "GeneralSetLng/Lang"
                                       << "en" << 0;
    QTest::newRow("Val_Trans not a number") << "Transparency/Val_Trans"
                                            << "opaque" << 255;
    QTest::newRow("Val_Trans above range") << "Transparency/Val_Trans"
                                           << "300" << 255;
    QTest::newRow("Val_Trans below range") << "Transparency/Val_Trans"
                                           << "-5" << 0;
    QTest::newRow("Val_Trans beyond 16 bits") << "Transparency/Val_Trans"
                                              << "70000" << 255;
    QTest::newRow("ToolTip with spaces") << "Infos/ToolTip"
                                         << " 1 " << 1;
    QTest::newRow("FirstLaunch empty") << "GeneralSetLng/FirstLaunch"
                                       << "" << 0;
}

void tst_settings::storedValues()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    platform::testing::ScopedDoubles doubles;
    doubles.settings->values.insert(QStringLiteral("Dovi/") + key, stored);
    const QMap<QString, int (*)()> readers{{"GeneralSetLng/Lang", &settings::Lang},
                                           {"Transparency/Val_Trans", &settings::ValTrans},
                                           {"Infos/ToolTip", &settings::InfosToolTip},
                                           {"GeneralSetLng/FirstLaunch", &settings::FirstLaunch}};
    QFETCH(int, read);
    QCOMPARE(readers.value(key)(), read);
}

void tst_settings::deleteAllRemovesEverySection()
{
    platform::testing::ScopedDoubles doubles;
    settings::saveFirstLaunch(1);
    settings::saveValTrans(100);
    settings::saveInfosToolTip(1);
    doubles.settings->values.insert(QStringLiteral("Other/GeneralSetLng/Lang"), QStringLiteral("1"));
    settings::deleteAll();
    QCOMPARE(doubles.settings->values.keys(), QStringList{QStringLiteral("Other/GeneralSetLng/Lang")});
    QCOMPARE(settings::ValTrans(), 255);
}

void tst_settings::realStoreWritesTheIniFile()
{
    // The test runs with its own XDG_CONFIG_HOME; the real store keeps one INI file there.
    const QString ini = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Dovi/Dovi.ini");
    QVERIFY(!qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
    QFile::remove(ini);
    QVERIFY(settings::saveLang(1));
    QVERIFY(settings::saveValTrans(200));
    QCOMPARE(settings::Lang(), 1);
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("[GeneralSetLng]"));
    QVERIFY(text.contains("Lang=1"));
    QVERIFY(text.contains("[Transparency]"));
    QVERIFY(text.contains("Val_Trans=200"));
    file.close();
    settings::deleteAll();
    QVERIFY(!QFile::exists(ini));
    QCOMPARE(settings::Lang(), 0);
}

// A settings file that is not INI: defaults are read, nothing is written over it, the reset at the
// end of an unfinished first launch does not delete it, and the user is told where it is.
void tst_settings::realStoreLeavesAForeignFileAlone()
{
    QVERIFY(!qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Dovi");
    QVERIFY(QDir().mkpath(folder));
    const QString ini = folder + QStringLiteral("/Dovi.ini");
    const QByteArray foreign("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[General]\nLang=1\n\xff\xfe garbage = [\n", 40);
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(foreign);
    }
    platform::SettingsStore& store = *platform::services().settings;
    QCOMPARE(store.state(QStringLiteral("Dovi")), platform::SettingsStore::State::Unreadable);
    QCOMPARE(settings::Lang(), 0);
    QCOMPARE(settings::ValTrans(), 255);
    QVERIFY(!settings::saveValTrans(100));
    settings::deleteAll();
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), foreign);
    const QString message = settings::storeProblem(1);
    QVERIFY2(message.contains(ini), qPrintable(message));
    QVERIFY(settings::storeProblem(0).startsWith(QStringLiteral("Le fichier de paramètres")));
    file.remove();
    QCOMPARE(store.state(QStringLiteral("Dovi")), platform::SettingsStore::State::Fine);
    QVERIFY(settings::storeProblem(0).isEmpty());
}

// A settings file an editor saved with a byte order mark is the user's file, read and kept.
void tst_settings::realStoreReadsAFileWithAByteOrderMark()
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Dovi");
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + QStringLiteral("/Dovi.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("\xef\xbb\xbf[GeneralSetLng]\r\nFirstLaunch=1\r\nLang=1\r\n");
    file.close();
    QCOMPARE(platform::services().settings->state(QStringLiteral("Dovi")),
             platform::SettingsStore::State::Fine);
    QCOMPARE(settings::Lang(), 1);
    QCOMPARE(settings::FirstLaunch(), 1);
    QVERIFY(settings::saveValTrans(100));
    QCOMPARE(settings::ValTrans(), 100);
    QCOMPARE(settings::Lang(), 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("[GeneralSetLng]"));
    file.close();
    file.remove();
}

// The settings folder cannot be made (a file stands where it should be): the store says so before
// anything is lost, and saving fails instead of pretending.
void tst_settings::realStoreInAFolderThatCannotBeCreated()
{
    QVERIFY(!qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Dovi");
    QDir(folder).removeRecursively();
    {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
    }
    const platform::SettingsStore& store = *platform::services().settings;
    QCOMPARE(store.state(QStringLiteral("Dovi")), platform::SettingsStore::State::ReadOnly);
    QVERIFY(!settings::saveLang(1));
    QVERIFY(settings::storeProblem(1).startsWith(QStringLiteral("The settings cannot be saved in")));
    QVERIFY(QFile::remove(folder));
    QCOMPARE(store.state(QStringLiteral("Dovi")), platform::SettingsStore::State::Fine);
}

// What was read is kept between reads, but never past a change of the file: edited in place,
// replaced by something that is not INI, or deleted.
void tst_settings::realStoreSeesTheFileEditedByHand()
{
    QVERIFY(!qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Dovi");
    QVERIFY(QDir().mkpath(folder));
    const QString ini = folder + QStringLiteral("/Dovi.ini");
    const auto writeInPlace = [&ini](const QByteArray& text) {
        QFile file(ini);
        const bool existed = file.exists();
        const QDateTime before = QFileInfo(ini).lastModified();
        if (!file.open(QIODevice::ReadWrite) || !file.resize(0) || file.write(text) != text.size() ||
            !file.flush())
            return false;
        // An edit within the same instant as the read before it: the time alone does not tell.
        return !existed || file.setFileTime(before.addSecs(2), QFileDevice::FileModificationTime);
    };
    QVERIFY(writeInPlace("[GeneralSetLng]\nLang=1\nFirstLaunch=1\n"));
    QCOMPARE(settings::Lang(), 1);
    QCOMPARE(settings::FirstLaunch(), 1);

    QVERIFY(writeInPlace("[GeneralSetLng]\nLang=0\nFirstLaunch=1\n"));
    QCOMPARE(settings::Lang(), 0);

    QVERIFY(writeInPlace("[GeneralSetLng]\nLang=1\nFirstLaunch=1\n[Transparency]\nVal_Trans=90\n"));
    QCOMPARE(settings::Lang(), 1);
    QCOMPARE(settings::ValTrans(), 90);

    // Replaced by another file: a new file under the same name.
    QVERIFY(QFile::remove(ini));
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\n Lang=1 [GeneralSetLng");
    }
    QCOMPARE(settings::Lang(), 0);
    QCOMPARE(settings::ValTrans(), 255);

    QVERIFY(QFile::remove(ini));
    QCOMPARE(settings::FirstLaunch(), 0);
    QVERIFY(settings::saveValTrans(120));
    QCOMPARE(settings::ValTrans(), 120);
    QVERIFY(QFile::remove(ini));
}

void tst_settings::problemMessages()
{
    platform::testing::ScopedDoubles doubles;
    QVERIFY(settings::storeProblem(0).isEmpty());
    doubles.settings->storeState = platform::SettingsStore::State::ReadOnly;
    QCOMPARE(
        settings::storeProblem(0),
        QStringLiteral("Les paramètres ne peuvent pas être enregistrés dans /settings/Dovi.ini. La langue, "
                       "la transparence et le choix des astuces ne seront pas conservés."));
    doubles.settings->storeState = platform::SettingsStore::State::Unreadable;
    QVERIFY(
        settings::storeProblem(1).startsWith(QStringLiteral("The settings file /settings/Dovi.ini cannot")));
}

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
