// The bar's start-up sequence and closing: one instance, the first launch (language chooser, run
// marker, skin folders, preferences instead of the bar, the missing-button reset, the transparency
// message), later starts, a configuration that cannot be read, the background copied from the desktop
// while the bar is hidden, and what the closing handler keeps or deletes.
#include "bar/frmlangue.h"
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "platform/linux/xdgsysteminfo.h"
#include "tst_frmmain_fixture.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

using barfixture::ConfigText;
using barfixture::settingKey;
using platform::testing::ScopedDoubles;
using namespace modDeclarePublic;

namespace {
const QString CrLf = QStringLiteral("\r\n");
const char* const SkinNames[] = {"XP_Down.bmp",      "XP_Up.bmp",      "XP_Mask.bmp",
                                 "XP_Blue_Down.bmp", "XP_Blue_Up.bmp", "XP_Blue_Mask.bmp"};

// A desktop whose every pixel tells its own screen position; notes whether the bar was in the way.
class PositionDesktop final : public platform::DesktopCapture {
public:
    QPixmap grab(const QRect& rect) override
    {
        grabs << rect;
        barVisibleAtGrab << (bar && bar->isVisible());
        QImage image(rect.size(), QImage::Format_RGB32);
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x)
                image.setPixelColor(x, y, colourAt(rect.x() + x, rect.y() + y));
        return QPixmap::fromImage(image);
    }
    static QColor colourAt(int x, int y) { return QColor(x % 256, y % 256, 77); }
    void watchBackground(QObject* context, std::function<void()> changed) override
    {
        watcher = context;
        backgroundChanged = std::move(changed);
    }
    QPixmap wallpaper(const QRect& rect) override
    {
        QPixmap picture;
        if (wallpaperColour.isValid()) {
            picture = QPixmap(rect.size());
            picture.fill(wallpaperColour);
        }
        return picture;
    }
    QColor wallpaperColour; // invalid: none published
    QWidget* bar = nullptr;
    QPointer<QObject> watcher;
    std::function<void()> backgroundChanged;
    QList<QRect> grabs;
    QList<bool> barVisibleAtGrab;
};

void chooseLanguage(QWidget* dialog, int lang)
{
    auto* langue = qobject_cast<frmLangue*>(dialog);
    QVERIFY(langue);
    langue->Option1(lang)->click();
    langue->Command1()->click();
}
} // namespace

class tst_frmmain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void secondInstanceEndsSilently();
    void laterStartShowsBar();
    void laterStartMapsWindowBeforeButtons();
    void laterStartTransparency_data();
    void laterStartTransparency();
    void translucencyUnknownIsTold();
    void firstLaunchAbandoned();
    void firstLaunchCompleted_data();
    void firstLaunchCompleted();
    void firstLaunchCompletedWithoutChoosingALanguage();
    void firstLaunchButtonCreatedThenCancelled();
    void firstLaunchCutShortGoesOn_data();
    void firstLaunchCutShortGoesOn();
    void markerWithOtherLineIsLaterStart();
    void markerWithoutSettings();
    void existingBoutonsMovesNothing();
    void missingSkinsAreNamed();
    void unreadableConfigAtStart();
    void unreadableConfigWithoutSettingsKeepsTheMarker();
    void unreadableSettingsRunOnDefaults();
    void settingsThatCannotBeSavedAreTold_data();
    void settingsThatCannotBeSavedAreTold();
    void settingsThatCannotBeWrittenKeepTheBar();
    void backgroundIsDesktopUnderBar();
    void seeThroughBarFollowsTheCompositor();
    void newWallpaperIsCopiedAgain();
    void closingAfterSetupSavesLevel();
    void closingUnfinishedSetupDeletesEverything();
    void showInfosOpensTipsModally();
    void languageChooser_data();
    void languageChooser();
    void languageChooserClosedSavesNothing();
    void versionTitle();

private:
    void laterStartFiles(int buttons = 2);
    void savedFromPreferences();
    void deliverSkins();
    QString readMarker() const;

    std::unique_ptr<barfixture::ProgramFolder> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
    PositionDesktop* m_desktop = nullptr;
    std::unique_ptr<frmMain> m_bar;
    ConfigText m_config;
};

void tst_frmmain::init()
{
    m_folder = std::make_unique<barfixture::ProgramFolder>();
    QVERIFY(m_folder->ok());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
    auto desktop = std::make_unique<PositionDesktop>();
    m_desktop = desktop.get();
    platform::services().desktop = std::move(desktop);
    modDeclarePublic::reset();
    m_config = ConfigText();
    m_config.position = QStringLiteral("200 100");
    m_config.up = barfixture::saveSkin(m_folder->file(QStringLiteral("up.bmp")), {40, 30}, Qt::gray);
    m_config.down = barfixture::saveSkin(m_folder->file(QStringLiteral("down.bmp")), {40, 30}, Qt::darkGray);
    m_config.mask = barfixture::saveSkin(m_folder->file(QStringLiteral("mask.bmp")), {40, 30}, Qt::black);
    m_bar = std::make_unique<frmMain>();
    m_desktop->bar = m_bar.get();
}

void tst_frmmain::cleanup()
{
    m_bar.reset();
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

void tst_frmmain::laterStartFiles(int buttons)
{
    m_doubles->settings->values.insert(settingKey("GeneralSetLng", "FirstLaunch"), QStringLiteral("1"));
    m_doubles->settings->values.insert(settingKey("GeneralSetLng", "Lang"), QStringLiteral("1"));
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("run=1\r\n");
    marker.close();
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("Boutons/XP")));
    m_config.buttons.clear();
    for (int i = 1; i <= buttons; ++i)
        m_config.buttons << QStringLiteral("/bin/prog%1;;P%1;1").arg(i);
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
}

void tst_frmmain::deliverSkins()
{
    for (const char* name : SkinNames)
        QVERIFY(!barfixture::saveSkin(m_folder->file(QString::fromLatin1(name)), {8, 8}, Qt::blue).isEmpty());
}

QString tst_frmmain::readMarker() const
{
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    if (!marker.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(marker.readAll());
}

void tst_frmmain::secondInstanceEndsSilently()
{
    laterStartFiles();
    m_doubles->lock->free = false;
    const auto settingsBefore = m_doubles->settings->values;
    QVERIFY(!m_bar->Form_Load());
    QVERIFY(m_doubles->messages->shown.isEmpty());
    QVERIFY(!m_bar->isVisible());
    QCOMPARE(m_bar->Command1().count(), 0);
    QVERIFY(m_desktop->grabs.isEmpty());
    QCOMPARE(m_doubles->settings->values, settingsBefore);
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
}

void tst_frmmain::laterStartShowsBar()
{
    laterStartFiles(2);
    QVERIFY(m_bar->Form_Load());
    QVERIFY(m_doubles->messages->shown.isEmpty());
    QVERIFY(m_bar->isVisible());
    QVERIFY(m_bar->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(m_bar->windowTitle(), QStringLiteral("Dovi"));
    QVERIFY(m_doubles->windows->skipTaskbarCalls > 0);
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(m_bar->Left(), 3000.0);
    QCOMPARE(m_bar->Top(), 1500.0);
    QCOMPARE(m_bar->size(), QSize(80, 30));
    QCOMPARE(CurrentLang, qint16(1));
    QVERIFY(SetupDone);
    QVERIFY(!FirstRun);
    QVERIFY(!RunFileCreated);
    // The menu is loaded afresh at the next right click.
    QVERIFY(!m_bar->menuLoaded());
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
}

namespace {

// Notes, at each show of a bar's button, whether the bar's window was already asked for.
class ShowOrder : public QObject {
public:
    explicit ShowOrder(const QWidget& bar) : m_bar(bar) {}
    QList<bool> windowFirst;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->parent() == &m_bar)
            windowFirst.append(m_bar.windowHandle() && m_bar.windowHandle()->isVisible());
        return false;
    }

private:
    const QWidget& m_bar;
};

} // namespace

// Showing a widget is announced to the accessibility bridge, whose first use waits on the session
// bus: the window is mapped first, and its buttons show right after it, before it is drawn.
void tst_frmmain::laterStartMapsWindowBeforeButtons()
{
    laterStartFiles(3);
    ShowOrder order(*m_bar);
    qApp->installEventFilter(&order);
    const bool loaded = m_bar->Form_Load();
    qApp->removeEventFilter(&order);
    QVERIFY(loaded);
    QCOMPARE(order.windowFirst, (QList<bool>{true, true, true}));
    for (int i = 1; i <= 3; ++i)
        QVERIFY(m_bar->Command1().at(i)->isVisible());
}

void tst_frmmain::laterStartTransparency_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("applied");

    QTest::newRow("default") << true << QString() << 255;
    QTest::newRow("128") << true << QStringLiteral("128") << 128;
    // Never invisible: out of range and too low levels are brought back.
    QTest::newRow("0") << true << QStringLiteral("0") << 25;
    QTest::newRow("-40") << true << QStringLiteral("-40") << 25;
    QTest::newRow("999") << true << QStringLiteral("999") << 255;
    QTest::newRow("unavailable") << false << QStringLiteral("128") << -1;
}

void tst_frmmain::laterStartTransparency()
{
    QFETCH(bool, available);
    QFETCH(QString, stored);
    QFETCH(int, applied);
    laterStartFiles(1);
    if (!stored.isEmpty())
        m_doubles->settings->values.insert(settingKey("Transparency", "Val_Trans"), stored);
    m_doubles->windows->translucent = available;
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(TransparencyAvailable, available);
    QVERIFY(m_doubles->messages->shown.isEmpty());
    if (applied < 0) {
        // Nothing shown, but the stored level is kept for the session that can show it.
        QVERIFY(m_doubles->windows->opacities.isEmpty());
        QCOMPARE(TransparencyValue, qint16(stored.toInt()));
    } else {
        QCOMPARE(m_doubles->windows->opacities, QList<int>{applied});
        QCOMPARE(TransparencyValue, qint16(applied));
    }
}

void tst_frmmain::translucencyUnknownIsTold()
{
    laterStartFiles(1);
    m_doubles->windows->answerKnown = false;
    QVERIFY(m_bar->Form_Load());
    QVERIFY(!TransparencyAvailable);
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const auto message = m_doubles->messages->shown.constFirst();
    QCOMPARE(message.text,
             QStringLiteral("Dovi cannot tell whether its windows can be translucent: unknown"));
    QCOMPARE(message.title, QStringLiteral("Dovi"));
    QCOMPARE(message.icon, platform::MsgIcon::None);
}

void tst_frmmain::firstLaunchAbandoned()
{
    deliverSkins();
    barfixture::ModalScript script;
    script.then(QStringLiteral("frmLangue"), [](QWidget* d) { chooseLanguage(d, 1); });
    script.then(QStringLiteral("frmPrefs"), [this](QWidget* d) {
        // The bar stays hidden while the preferences stand in for it.
        QVERIFY(!m_bar->isVisible());
        QCOMPARE(PrefsPage, qint16(0));
        QVERIFY(FirstRun);
        QVERIFY(RunFileCreated);
        QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
        static_cast<QDialog*>(d)->reject();
    });

    QVERIFY(!m_bar->Form_Load());
    QCOMPARE(script.seen(), (QStringList{QStringLiteral("frmLangue"), QStringLiteral("frmPrefs")}));
    QVERIFY(!m_bar->isVisible());

    const QString missing = QStringLiteral("You do not have create any button, Dovi is closing !");
    QList<platform::testing::ShownMessage> told;
    for (const auto& m : std::as_const(m_doubles->messages->shown)) {
        if (m.text == missing)
            told << m;
    }
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.constFirst().icon, platform::MsgIcon::Information);
    QCOMPARE(told.constFirst().title, frmMain::versionTitle());

    // Nothing is left that would make the next start a later one.
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("Dovi_Run.txt"))));
    QVERIFY(m_doubles->settings->values.isEmpty());
    // The skins went into their folders all the same.
    for (const char* name : SkinNames) {
        const QString file = QString::fromLatin1(name);
        const QString folder =
            file.startsWith(QLatin1String("XP_Blue")) ? QStringLiteral("XP_Blue") : QStringLiteral("XP");
        QVERIFY2(QFile::exists(m_folder->file(QStringLiteral("Boutons/%1/%2").arg(folder, file))), name);
        QVERIFY(!QFile::exists(m_folder->file(file)));
    }
}

void tst_frmmain::savedFromPreferences()
{
    m_config.buttons = QStringList({QStringLiteral("/bin/first;;First;1")});
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
    SetupDone = true;
}

void tst_frmmain::firstLaunchButtonCreatedThenCancelled()
{
    deliverSkins();
    settings::saveInfosToolTip(1); // no tips window at Add and Create
    barfixture::ModalScript script;
    script.then(QStringLiteral("frmLangue"), [](QWidget* d) { chooseLanguage(d, 1); });
    script.then(QStringLiteral("frmPrefs"), [](QWidget* d) {
        const auto button = [d](const char* name) {
            return d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        };
        button("cmdAdd")->click();
        d->findChild<QLineEdit*>(QStringLiteral("txtButtonTitle"))->setText(QStringLiteral("Editor"));
        d->findChild<QLineEdit*>(QStringLiteral("txtAppPath"))->setText(QStringLiteral("/usr/bin/gedit"));
        button("cmdCreateButton")->click();
        QVERIFY(SetupDone);
        button("cmdCancel")->click();
    });

    // Nothing was saved: the start ends as a first launch without buttons, and leaves nothing
    // that would make the next start a later one with no configuration to read.
    QVERIFY(!m_bar->Form_Load());
    QVERIFY(script.done());
    QVERIFY(!SetupDone);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("DoviConfig.txt"))));
    const QString missing = QStringLiteral("You do not have create any button, Dovi is closing !");
    QVERIFY(std::any_of(m_doubles->messages->shown.cbegin(), m_doubles->messages->shown.cend(),
                        [&](const auto& m) { return m.text == missing; }));
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("Dovi_Run.txt"))));
    QVERIFY(m_doubles->settings->values.isEmpty());
}

void tst_frmmain::firstLaunchCompleted_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("available");
    QTest::addColumn<QList<int>>("ids");
    // With this system's own texts (a desktop without a compositing manager), nothing names another.
    QTest::addColumn<bool>("systemTexts");

    QTest::newRow("English, translucent") << 1 << true << QList<int>{126, 128, 130} << false;
    QTest::newRow("French, translucent") << 0 << true << QList<int>{125, 127, 129} << false;
    QTest::newRow("English, opaque") << 1 << false << QList<int>{132, 134, 130} << false;
    QTest::newRow("French, opaque") << 0 << false << QList<int>{131, 133, 129} << false;
    QTest::newRow("English, opaque, this system's texts") << 1 << false << QList<int>{132, 134, 130} << true;
    QTest::newRow("French, translucent, this system's texts")
        << 0 << true << QList<int>{125, 127, 129} << true;
}

void tst_frmmain::firstLaunchCompleted()
{
    QFETCH(int, lang);
    QFETCH(bool, available);
    QFETCH(QList<int>, ids);
    QFETCH(bool, systemTexts);
    if (systemTexts)
        platform::services().systemInfo = std::make_unique<platform::XdgSystemInfo>();
    deliverSkins();
    m_doubles->windows->translucent = available;
    barfixture::ModalScript script;
    script.then(QStringLiteral("frmLangue"), [lang](QWidget* d) { chooseLanguage(d, lang); });
    script.then(QStringLiteral("frmPrefs"), [this](QWidget* d) {
        // As if a button had been created in the dialog and saved.
        connect(static_cast<QDialog*>(d), &QDialog::finished, [this] { savedFromPreferences(); });
        static_cast<QDialog*>(d)->reject();
    });

    QVERIFY(m_bar->Form_Load());
    QVERIFY(script.done());
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QString::number(lang));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
    QCOMPARE(CurrentLang, qint16(lang));

    const QString expected = resstrings::LoadResString(ids.at(0)) + CrLf +
                             resstrings::LoadResString(ids.at(1)) + CrLf + CrLf +
                             resstrings::LoadResString(ids.at(2));
    // The preferences dialog may have said its own word before; the bar's message comes last, once.
    QVERIFY(!m_doubles->messages->shown.isEmpty());
    const auto message = m_doubles->messages->shown.constLast();
    QCOMPARE(message.text, expected);
    if (systemTexts)
        QVERIFY2(!message.text.contains(QLatin1String("Windows")), qPrintable(message.text));
    QCOMPARE(message.icon, platform::MsgIcon::Information);
    QCOMPARE(message.title, frmMain::versionTitle());
    int times = 0;
    for (const auto& m : std::as_const(m_doubles->messages->shown))
        times += m.text == expected ? 1 : 0;
    QCOMPARE(times, 1);

    QVERIFY(m_bar->isVisible());
    QVERIFY(!FirstRun);
    QVERIFY(!RunFileCreated);
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
}

void tst_frmmain::firstLaunchCompletedWithoutChoosingALanguage()
{
    deliverSkins();
    barfixture::ModalScript script;
    // The chooser closed by its frame saves nothing; the preferences then make a button.
    script.then(QStringLiteral("frmLangue"), [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    script.then(QStringLiteral("frmPrefs"), [this](QWidget* d) {
        connect(static_cast<QDialog*>(d), &QDialog::finished, [this] { savedFromPreferences(); });
        static_cast<QDialog*>(d)->reject();
    });
    QVERIFY(m_bar->Form_Load());
    QVERIFY(script.done());
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QStringLiteral("0"));

    // The next session is a later start, and closing it keeps the set-up.
    m_bar->close();
    m_bar.reset();
    modDeclarePublic::reset();
    m_config.buttons = QStringList({QStringLiteral("/bin/prog1;;P1;1")});
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
    m_bar = std::make_unique<frmMain>();
    m_desktop->bar = m_bar.get();
    QVERIFY(m_bar->Form_Load());
    QVERIFY(SetupDone);
    m_bar->close();
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
}

void tst_frmmain::firstLaunchCutShortGoesOn_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("a button saved") << true;
    QTest::newRow("cancelled again") << false;
}

void tst_frmmain::firstLaunchCutShortGoesOn()
{
    QFETCH(bool, saved);
    // The language was chosen and the marker written, then the bar ended before any configuration.
    laterStartFiles();
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("DoviConfig.txt"))));
    barfixture::ModalScript script;
    script.then(QStringLiteral("frmPrefs"), [this, saved](QWidget* d) {
        QVERIFY(FirstRun);
        QVERIFY(!m_bar->isVisible());
        if (saved)
            connect(static_cast<QDialog*>(d), &QDialog::finished, [this] { savedFromPreferences(); });
        static_cast<QDialog*>(d)->reject();
    });

    QCOMPARE(m_bar->Form_Load(), saved);
    QVERIFY(script.done());
    QCOMPARE(m_bar->isVisible(), saved);
    QVERIFY(!std::any_of(m_doubles->messages->shown.cbegin(), m_doubles->messages->shown.cend(),
                         [](const auto& m) { return m.text.contains(QStringLiteral("cannot be read")); }));
    if (saved) {
        QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
        QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
                 QStringLiteral("1"));
    } else {
        // Without a button the set-up is undone as any abandoned first launch: the next start is one.
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("Dovi_Run.txt"))));
        QVERIFY(m_doubles->settings->values.isEmpty());
    }
}

void tst_frmmain::markerWithOtherLineIsLaterStart()
{
    laterStartFiles(2);
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    QVERIFY(marker.open(QIODevice::WriteOnly | QIODevice::Truncate));
    marker.write("run=2\r\n");
    marker.close();
    QVERIFY(m_bar->Form_Load());
    QVERIFY(m_doubles->messages->shown.isEmpty());
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(readMarker(), QStringLiteral("run=2\r\n"));
}

void tst_frmmain::markerWithoutSettings()
{
    laterStartFiles(2);
    m_doubles->settings->values.clear();
    {
        barfixture::ModalScript script;
        script.then(QStringLiteral("frmLangue"), [](QWidget* d) { chooseLanguage(d, 0); });
        QVERIFY(m_bar->Form_Load());
        QVERIFY(script.done());
    }
    // Laid out from its file, the bar is set up: its settings were lost, not its buttons.
    QVERIFY(m_bar->isVisible());
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QVERIFY(SetupDone);
    QVERIFY(m_doubles->messages->shown.isEmpty());

    m_bar->close();
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QStringLiteral("0"));
    QVERIFY(m_doubles->settings->values.contains(settingKey("Transparency", "Val_Trans")));

    // The next start is an ordinary one, with the same buttons.
    m_bar.reset();
    modDeclarePublic::reset();
    m_bar = std::make_unique<frmMain>();
    m_desktop->bar = m_bar.get();
    barfixture::ModalAnswer none(QString(), [](QWidget*) {});
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(none.seen(), QString());
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(CurrentLang, qint16(0));
}

void tst_frmmain::unreadableConfigWithoutSettingsKeepsTheMarker()
{
    // The language chooser closed by its frame saves nothing; the file then cannot be read.
    laterStartFiles(2);
    m_doubles->settings->values.clear();
    m_config.buttons = QStringList{QStringLiteral("/bin/a;;A;x")};
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
    {
        barfixture::ModalScript script;
        script.then(QStringLiteral("frmLangue"), [](QWidget* d) { d->close(); });
        QVERIFY(!m_bar->Form_Load());
        QVERIFY(script.done());
    }
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    // Once the file is mended, the bar starts from it, not from a first launch's defaults.
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
    m_config.buttons = QStringList{QStringLiteral("/bin/a;;A;1")};
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));
    m_bar.reset();
    modDeclarePublic::reset();
    m_bar = std::make_unique<frmMain>();
    m_desktop->bar = m_bar.get();
    barfixture::ModalScript again;
    again.then(QStringLiteral("frmLangue"), [](QWidget* d) { chooseLanguage(d, 1); });
    QVERIFY(m_bar->Form_Load());
    QVERIFY(again.done());
    QCOMPARE(m_bar->Command1().ubound(), 1);
    QVERIFY(SetupDone);
}

void tst_frmmain::existingBoutonsMovesNothing()
{
    laterStartFiles(1);
    QVERIFY(QDir(m_folder->file(QStringLiteral("Boutons/XP"))).removeRecursively());
    deliverSkins();
    QVERIFY(m_bar->Form_Load());
    QVERIFY(!QFileInfo::exists(m_folder->file(QStringLiteral("Boutons/XP"))));
    QVERIFY(!QFileInfo::exists(m_folder->file(QStringLiteral("Boutons/XP_Blue"))));
    for (const char* name : SkinNames)
        QVERIFY(QFile::exists(m_folder->file(QString::fromLatin1(name))));
}

void tst_frmmain::missingSkinsAreNamed()
{
    laterStartFiles(1);
    QVERIFY(QDir(m_folder->file(QStringLiteral("Boutons"))).removeRecursively());
    // Only the XP_Blue skins were delivered.
    for (int i = 3; i < 6; ++i)
        QVERIFY(!barfixture::saveSkin(m_folder->file(QString::fromLatin1(SkinNames[i])), {8, 8}, Qt::blue)
                     .isEmpty());

    QVERIFY(m_bar->Form_Load());
    QVERIFY(m_bar->isVisible());
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const QString text = m_doubles->messages->shown.constFirst().text;
    for (int i = 0; i < 6; ++i)
        QCOMPARE(text.contains(QString::fromLatin1(SkinNames[i])), i < 3);
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("Boutons/XP_Blue/XP_Blue_Up.bmp"))));
}

void tst_frmmain::unreadableConfigAtStart()
{
    laterStartFiles(2);
    m_doubles->settings->values.insert(settingKey("Transparency", "Val_Trans"), QStringLiteral("90"));
    m_config.buttons = QStringList{QStringLiteral("/bin/a;;A;1"), QStringLiteral("/bin/b;;B;x")};
    QVERIFY(barfixture::writeConfig(m_folder->path(), m_config));

    QVERIFY(!m_bar->Form_Load());
    QVERIFY(!m_bar->isVisible());
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const auto message = m_doubles->messages->shown.constFirst();
    // English, as the settings say, with the file and the line of the second button.
    QVERIFY2(message.text.contains(QStringLiteral("line 15")), qPrintable(message.text));
    QVERIFY(message.text.contains(QStringLiteral("DoviConfig.txt")));
    QCOMPARE(message.title, frmMain::versionTitle());
    // A set-up bar that could not start keeps what it had stored.
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("90"));
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("Dovi_Run.txt"))));
}

void tst_frmmain::unreadableSettingsRunOnDefaults()
{
    laterStartFiles(2);
    m_doubles->settings->storeState = platform::SettingsStore::State::Unreadable;
    // No dialog is expected; one that comes anyway is closed and noted.
    barfixture::ModalAnswer none(QString(), [](QWidget*) {});
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(none.seen(), QString());
    QVERIFY(m_bar->isVisible());
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(CurrentLang, qint16(0));
    // The language cannot be known: both.
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const QString text = m_doubles->messages->shown.constFirst().text;
    QVERIFY(text.contains(settings::storeProblem(0)));
    QVERIFY(text.contains(settings::storeProblem(1)));
    QVERIFY(!settings::storeProblem(0).isEmpty());
    // The set-up is still there: closing resets nothing.
    m_bar->close();
    QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
}

void tst_frmmain::settingsThatCannotBeSavedAreTold_data()
{
    QTest::addColumn<bool>("setUp");
    QTest::newRow("language known") << true;
    QTest::newRow("first launch") << false;
}

void tst_frmmain::settingsThatCannotBeSavedAreTold()
{
    QFETCH(bool, setUp);
    laterStartFiles(1);
    if (!setUp)
        m_doubles->settings->values.clear();
    m_doubles->settings->storeState = platform::SettingsStore::State::ReadOnly;
    int messagesBeforeChooser = -1;
    barfixture::ModalAnswer chooser(QStringLiteral("frmLangue"), [&](QWidget* d) {
        messagesBeforeChooser = int(m_doubles->messages->shown.size());
        chooseLanguage(d, 1);
    });
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(chooser.answered(), !setUp);
    QVERIFY(!m_doubles->messages->shown.isEmpty());
    const QString text = m_doubles->messages->shown.constFirst().text;
    QVERIFY(text.contains(settings::storeProblem(1)));
    QCOMPARE(text.contains(settings::storeProblem(0)), !setUp);
    QCOMPARE(m_doubles->messages->shown.constFirst().icon, platform::MsgIcon::Warning);
    if (!setUp)
        QCOMPARE(messagesBeforeChooser, 1);
    QVERIFY(m_bar->isVisible());
}

void tst_frmmain::settingsThatCannotBeWrittenKeepTheBar()
{
    // The settings never could record the set-up: every start asks for the language again.
    laterStartFiles(3);
    m_doubles->settings->values.clear();
    m_doubles->settings->storeState = platform::SettingsStore::State::ReadOnly;
    m_doubles->settings->writable = false;
    const QByteArray config = barfixture::readFile(m_folder->file(QStringLiteral("DoviConfig.txt")));
    for (int start = 1; start <= 2; ++start) {
        barfixture::ModalAnswer chooser(QStringLiteral("frmLangue"),
                                        [](QWidget* d) { chooseLanguage(d, 1); });
        QVERIFY(m_bar->Form_Load());
        QVERIFY(chooser.answered());
        // The language chosen is this session's, though it could not be kept.
        QCOMPARE(CurrentLang, qint16(1));
        QCOMPARE(m_bar->Command1().ubound(), 3);
        m_bar->close();
        // Closing does not undo a set-up the bar's own files hold: no first launch follows.
        QCOMPARE(readMarker(), QStringLiteral("run=1\r\n"));
        QCOMPARE(barfixture::readFile(m_folder->file(QStringLiteral("DoviConfig.txt"))), config);
        m_bar.reset();
        modDeclarePublic::reset();
        m_bar = std::make_unique<frmMain>();
        m_desktop->bar = m_bar.get();
    }
}

void tst_frmmain::backgroundIsDesktopUnderBar()
{
    laterStartFiles(2);
    QVERIFY(m_bar->Form_Load());
    QVERIFY(!m_desktop->grabs.isEmpty());
    const QRect under(200, 100, 80, 30);
    QCOMPARE(m_desktop->grabs.constLast(), under);
    QVERIFY(!m_desktop->barVisibleAtGrab.constLast());
    QVERIFY(m_bar->isVisible());

    const QImage background = m_bar->background().toImage();
    QCOMPARE(background.size(), under.size());
    for (const QPoint& p : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 29), QPoint(41, 17)})
        QCOMPARE(background.pixelColor(p), PositionDesktop::colourAt(under.x() + p.x(), under.y() + p.y()));

    // After a move the copy is taken where the bar now is.
    m_bar->setLeft(10 * 15);
    m_bar->setTop(20 * 15);
    m_bar->PaintDesktopBehind();
    QCOMPARE(m_desktop->grabs.constLast(), QRect(10, 20, 80, 30));
    QCOMPARE(m_bar->background().toImage().pixelColor(0, 0), PositionDesktop::colourAt(10, 20));
    QVERIFY(m_bar->isVisible());
}

// A new desktop background is copied again, with the bar out of the way, but not under one of the
// bar's dialogs: then once it is closed.
void tst_frmmain::seeThroughBarFollowsTheCompositor()
{
    // The skins' mask cuts the top-left corner of each button.
    QImage mask(40, 30, QImage::Format_RGB32);
    mask.fill(Qt::black);
    mask.setPixelColor(0, 0, QColor(255, 128, 255));
    QVERIFY(mask.save(m_config.mask, "BMP"));
    laterStartFiles(2);
    m_doubles->windows->seeThrough = platform::Backdrop::SeeThrough;
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(m_doubles->windows->prepareCalls, 1);
    QVERIFY(m_bar->isVisible());
    // No copy: the live desktop shows around the buttons, which alone take clicks.
    QVERIFY(m_desktop->grabs.isEmpty());
    QVERIFY(m_bar->background().isNull());
    const QRegion shape = m_bar->mask();
    for (const QPoint& cut : {QPoint(0, 0), QPoint(40, 0)})
        QVERIFY2(!shape.contains(cut), qPrintable(QStringLiteral("%1,%2").arg(cut.x()).arg(cut.y())));
    for (const QPoint& kept : {QPoint(1, 0), QPoint(39, 0), QPoint(0, 29), QPoint(79, 29)})
        QVERIFY(shape.contains(kept));

    // The compositor goes: the published wallpaper is copied, without hiding the bar, and the
    // whole window is the bar's again.
    m_desktop->wallpaperColour = Qt::darkGreen;
    m_doubles->windows->seeThrough = platform::Backdrop::Copy;
    m_doubles->windows->translucent = false;
    QVERIFY(m_doubles->windows->desktopChanged);
    m_doubles->windows->desktopChanged();
    QVERIFY(m_desktop->grabs.isEmpty());
    QVERIFY(m_bar->mask().isEmpty());
    QCOMPARE(m_bar->background().toImage().pixelColor(0, 0), QColor(Qt::darkGreen));
    QVERIFY(!TransparencyAvailable);
    QVERIFY(m_bar->isVisible());

    // Without a published wallpaper, the screen under the hidden bar.
    m_desktop->wallpaperColour = QColor();
    m_bar->PaintDesktopBehind();
    QCOMPARE(m_desktop->grabs.size(), 1);
    QVERIFY(!m_desktop->barVisibleAtGrab.constLast());
}

void tst_frmmain::newWallpaperIsCopiedAgain()
{
    laterStartFiles(2);
    QVERIFY(m_bar->Form_Load());
    QCOMPARE(m_desktop->watcher.data(), m_bar.get());
    QVERIFY(m_desktop->backgroundChanged);
    const qsizetype grabs = m_desktop->grabs.size();

    m_desktop->backgroundChanged();
    QCOMPARE(m_desktop->grabs.size(), grabs + 1);
    QCOMPARE(m_desktop->grabs.constLast(), QRect(200, 100, 80, 30));
    QVERIFY(!m_desktop->barVisibleAtGrab.constLast());
    QVERIFY(m_bar->isVisible());

    {
        QDialog dialog(m_bar.get());
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        m_desktop->backgroundChanged();
        m_desktop->backgroundChanged();
        QTest::qWait(700);
        QCOMPARE(m_desktop->grabs.size(), grabs + 1);
        QVERIFY(m_bar->isVisible());
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_desktop->grabs.size(), grabs + 2, 3000);
    QTest::qWait(700);
    QCOMPARE(m_desktop->grabs.size(), grabs + 2);

    // A hidden bar takes its copy when it shows again.
    m_bar->hide();
    m_desktop->backgroundChanged();
    QCOMPARE(m_desktop->grabs.size(), grabs + 2);
}

void tst_frmmain::closingAfterSetupSavesLevel()
{
    laterStartFiles(1);
    QVERIFY(m_bar->Form_Load());
    TransparencyValue = 140;
    m_bar->close();
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("140"));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("Dovi_Run.txt"))));

    // Where translucency was unavailable the bar stores an opaque level, never 0.
    cleanup();
    init();
    laterStartFiles(1);
    m_doubles->windows->translucent = false;
    QVERIFY(m_bar->Form_Load());
    m_bar->close();
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("255"));

    // A session started before the compositing manager gives back the level the user had chosen.
    cleanup();
    init();
    laterStartFiles(1);
    m_doubles->settings->values.insert(settingKey("Transparency", "Val_Trans"), QStringLiteral("128"));
    m_doubles->windows->translucent = false;
    QVERIFY(m_bar->Form_Load());
    QVERIFY(!TransparencyAvailable);
    m_bar->close();
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("128"));
}

void tst_frmmain::closingUnfinishedSetupDeletesEverything()
{
    laterStartFiles(1);
    const QString marker = m_folder->file(QStringLiteral("Dovi_Run.txt"));
    QVERIFY(QFile::setPermissions(marker, QFileDevice::ReadOwner));
    m_doubles->settings->values.insert(settingKey("Infos", "ToolTip"), QStringLiteral("1"));
    SetupDone = false;
    QDialog other;
    other.show();
    m_bar->show();
    m_bar->close();
    QVERIFY(!QFile::exists(marker));
    QVERIFY(m_doubles->settings->values.isEmpty());
    QVERIFY(!other.isVisible());
}

void tst_frmmain::showInfosOpensTipsModally()
{
    QString seen;
    barfixture::ModalAnswer answer(QStringLiteral("frmInfos"), [&seen](QWidget* d) {
        seen = d->objectName();
        QCOMPARE(InfosTip, qint16(3));
        static_cast<QDialog*>(d)->reject();
    });
    m_bar->ShowInfos(3);
    QCOMPARE(seen, QStringLiteral("frmInfos"));
    QCOMPARE(InfosTip, qint16(3));
}

void tst_frmmain::languageChooser_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("checked");
    QTest::addColumn<int>("toggled"); // the option checked without a click; -1 none
    QTest::newRow("none") << QString() << 0 << -1;
    QTest::newRow("French, English toggled") << QStringLiteral("0") << 0 << 1;
    QTest::newRow("English, French toggled") << QStringLiteral("1") << 1 << 0;
    QTest::newRow("other") << QStringLiteral("7") << 1 << -1;
}

void tst_frmmain::languageChooser()
{
    QFETCH(QString, stored);
    QFETCH(int, checked);
    if (!stored.isNull())
        m_doubles->settings->values.insert(settingKey("GeneralSetLng", "Lang"), stored);
    frmLangue langue;
    QCOMPARE(langue.windowTitle(), QStringLiteral("Language..."));
    QCOMPARE(langue.Option1(0)->text().remove(QLatin1Char('&')), QStringLiteral("Français / French"));
    QCOMPARE(langue.Option1(1)->text().remove(QLatin1Char('&')), QStringLiteral("Anglais / English"));
    QCOMPARE(langue.Command1()->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
    QVERIFY(langue.Option1(checked)->isChecked());
    QVERIFY(!langue.Option1(1 - checked)->isChecked());
    // OK is the only button: there is no cancel.
    QCOMPARE(langue.findChildren<QPushButton*>().size(), 1);
    // The flags at their own size, with a see-through surround.
    for (QLabel* image : {langue.Image1(), langue.Image2()}) {
        const QImage picture = image->pixmap().toImage();
        QCOMPARE(picture.size(), QSize(32, 32));
        QVERIFY(!image->hasScaledContents());
        QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
    }
    for (const int id : {101, 102})
        QCOMPARE(frmLangue::flagIcon(id).availableSizes(), (QList<QSize>{{32, 32}, {16, 16}}));
    // France in its tricolour: blue on the left of the middle, red on the right.
    const QImage france = langue.Image1()->pixmap().toImage();
    const QColor left = france.pixelColor(10, 16);
    const QColor right = france.pixelColor(22, 16);
    QVERIFY2(left.blue() > 150 && left.red() < 100, qPrintable(left.name()));
    QVERIFY2(right.red() > 150 && right.blue() < 100, qPrintable(right.name()));

    // It opens with the focus on the checked option.
    langue.show();
    QVERIFY(QTest::qWaitForWindowActive(&langue));
    QCOMPARE(QApplication::focusWidget(), langue.Option1(checked));
    // A choice made otherwise than by a click (an accessibility Toggle, the arrow keys) counts as
    // one; the same language again stores the same values and changes nothing else.
    QFETCH(int, toggled);
    if (toggled >= 0)
        langue.Option1(toggled)->setChecked(true);
    const int chosen = toggled >= 0 ? toggled : checked;
    LangFirstChoice = false;
    CurrentLang = qint16(checked);
    langue.Command1()->click();
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QString::number(chosen));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "FirstLaunch")),
             QStringLiteral("1"));
    QCOMPARE(CurrentLang, qint16(chosen));
}

void tst_frmmain::languageChooserClosedSavesNothing()
{
    frmLangue langue;
    langue.show();
    langue.Option1(1)->click();
    langue.close();
    QVERIFY(m_doubles->settings->values.isEmpty());
    QCOMPARE(CurrentLang, qint16(0));
    // At the first launch too, OK makes the choice the session's language, whether or not the
    // settings keep it.
    frmLangue first;
    LangFirstChoice = true;
    first.Option1(1)->click();
    first.Command1()->click();
    QCOMPARE(CurrentLang, qint16(1));
    QCOMPARE(m_doubles->settings->values.value(settingKey("GeneralSetLng", "Lang")), QStringLiteral("1"));
}

void tst_frmmain::versionTitle()
{
    QCOMPARE(frmMain::versionTitle(), QStringLiteral("Dovi V2.1.14"));
    m_doubles->app->ver = {3, 0, 7};
    QCOMPARE(frmMain::versionTitle(), QStringLiteral("Dovi V3.0.7"));
}

QTEST_MAIN(tst_frmmain)
#include "tst_frmmain.moc"
