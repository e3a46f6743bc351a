// Window transparency: whether it is available, the level given to a window (255 an ordinary one,
// never below the floor), the slider that changes the bar live, and the level kept from one start to
// the next.
#include "bar/frmmain.h"
#include "bar/frmtransparency.h"
#include "bar/moddeclarepublic.h"
#include "bar/modsetformstransparency.h"
#include "platform/linux/x11windowservices.h"
#include "tst_frmmain_fixture.h"

#include <QSlider>

using barfixture::settingKey;
using platform::testing::ScopedDoubles;
using namespace modDeclarePublic;

class tst_transparency : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void availability_data();
    void availability();
    void levelsGiven_data();
    void levelsGiven();
    void realWindowOpacity();
    void sliderRangeAndStart();
    void sliderChangesBarLive();
    void sliderDoesNotCoverTheBar_data();
    void sliderDoesNotCoverTheBar();
    void levelKeptAcrossStarts();
    void levelKeptWhenTheSliderCloses();

private:
    void laterStartFiles();

    std::unique_ptr<barfixture::ProgramFolder> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
};

void tst_transparency::init()
{
    m_folder = std::make_unique<barfixture::ProgramFolder>();
    QVERIFY(m_folder->ok());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
    modDeclarePublic::reset();
}

void tst_transparency::cleanup()
{
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

void tst_transparency::availability_data()
{
    QTest::addColumn<bool>("translucent");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("message");

    QTest::newRow("compositor") << true << true << 0 << QString();
    QTest::newRow("no compositor") << false << true << 0 << QString();
    QTest::newRow("unknown, French") << false << false << 0
                                     << QStringLiteral("Dovi ne peut pas savoir si ses fenêtres peuvent être "
                                                       "translucides : unknown");
    QTest::newRow("unknown, English")
        << false << false << 1
        << QStringLiteral("Dovi cannot tell whether its windows can be translucent: unknown");
}

void tst_transparency::availability()
{
    QFETCH(bool, translucent);
    QFETCH(bool, known);
    QFETCH(int, lang);
    QFETCH(QString, message);
    m_doubles->windows->translucent = translucent;
    m_doubles->windows->answerKnown = known;
    CurrentLang = static_cast<qint16>(lang);
    QCOMPARE(modSetFormsTransparency::IsLayeredWindowsOS(), translucent && known);
    if (message.isEmpty()) {
        QVERIFY(m_doubles->messages->shown.isEmpty());
        return;
    }
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    QCOMPARE(m_doubles->messages->shown.constFirst().text, message);
    QCOMPARE(m_doubles->messages->shown.constFirst().title, QStringLiteral("Dovi"));
    QCOMPARE(m_doubles->messages->shown.constFirst().icon, platform::MsgIcon::None);
    QCOMPARE(m_doubles->messages->shown.constFirst().buttons, platform::MsgButtons::Ok);
}

void tst_transparency::levelsGiven_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("given");
    QTest::newRow("opaque") << 255 << 255;
    QTest::newRow("half") << 128 << 128;
    QTest::newRow("floor") << 25 << 25;
    QTest::newRow("below the floor") << 3 << 25;
    QTest::newRow("zero") << 0 << 25;
    QTest::newRow("negative") << -7 << 25;
    QTest::newRow("above 255") << 400 << 255;
}

void tst_transparency::levelsGiven()
{
    QFETCH(int, level);
    QFETCH(int, given);
    QWidget window;
    modSetFormsTransparency::SetFormTransparency(&window, level);
    QCOMPARE(m_doubles->windows->opacities, QList<int>{given});
    QCOMPARE(modSetFormsTransparency::clampLevel(level), given);
}

void tst_transparency::realWindowOpacity()
{
    // The window service of this system, on whatever window system the test runs.
    platform::services().windows = std::make_unique<platform::X11WindowServices>();
    QWidget window;
    window.show();
    modSetFormsTransparency::SetFormTransparency(&window, 128);
    QCOMPARE(window.windowOpacity(), 128 / 255.0);
    modSetFormsTransparency::SetFormTransparency(&window, 255);
    QCOMPARE(window.windowOpacity(), 1.0);
}

void tst_transparency::sliderRangeAndStart()
{
    frmMain bar;
    TransparencyValue = 180;
    frmTransparency form(bar, &bar);
    QCOMPARE(form.objectName(), QStringLiteral("frmTransparency"));
    QSlider* slider = form.Slider1();
    QCOMPARE(slider->maximum(), 255);
    QCOMPARE(slider->minimum(), modSetFormsTransparency::MinimumLevel);
    QCOMPARE(slider->value(), 180);
    // Loading shows the level; it changes nothing.
    QVERIFY(m_doubles->windows->opacities.isEmpty());

    // The floor holds whatever is asked of the slider.
    slider->setValue(0);
    QCOMPARE(slider->value(), modSetFormsTransparency::MinimumLevel);
    QCOMPARE(TransparencyValue, qint16(modSetFormsTransparency::MinimumLevel));
}

void tst_transparency::sliderChangesBarLive()
{
    frmMain bar;
    frmTransparency form(bar, &bar);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSlider* slider = form.Slider1();
    QCOMPARE(slider->value(), 255);

    // A click on the track or a key: the value changes and the bar with it.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    QCOMPARE(TransparencyValue, qint16(255 - slider->pageStep()));
    QCOMPARE(m_doubles->windows->opacities.constLast(), 255 - slider->pageStep());
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(TransparencyValue, qint16(255));
    QCOMPARE(m_doubles->windows->opacities.constLast(), 255);

    // While the thumb is dragged every position shows at once.
    slider->setSliderDown(true);
    slider->setSliderPosition(128);
    QCOMPARE(TransparencyValue, qint16(128));
    QCOMPARE(m_doubles->windows->opacities.constLast(), 128);
    slider->setSliderDown(false);
    QCOMPARE(TransparencyValue, qint16(128));

    // Nothing is stored until the bar closes.
    QVERIFY(!m_doubles->settings->values.contains(settingKey("Transparency", "Val_Trans")));
}

void tst_transparency::sliderDoesNotCoverTheBar_data()
{
    QTest::addColumn<QPoint>("barAt");
    QTest::addColumn<QSize>("barSize");
    QTest::addColumn<QList<QRect>>("screens"); // the main screen first; empty: one of the double's size
    QTest::newRow("room below") << QPoint(200, 300) << QSize(144, 48) << QList<QRect>{};
    QTest::newRow("at the bottom edge") << QPoint(400, 720) << QSize(144, 48) << QList<QRect>{};
    QTest::newRow("column at the right edge") << QPoint(976, 100) << QSize(48, 480) << QList<QRect>{};
    // Beside the bar is on the bar's own screen, not the main one.
    QTest::newRow("at the bottom of a taller second screen")
        << QPoint(1500, 950) << QSize(144, 48) << QList<QRect>{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
}

void tst_transparency::sliderDoesNotCoverTheBar()
{
    // The slider is there to watch the bar change: it opens beside the bar, on the screen.
    QFETCH(QPoint, barAt);
    QFETCH(QSize, barSize);
    QFETCH(QList<QRect>, screens);
    m_doubles->screen->screens = screens;
    const QRect screen = screens.isEmpty() ? QRect(QPoint(0, 0), m_doubles->screen->size) : screens.last();
    const int tppX = m_doubles->screen->twipsPerPixelX();
    const int tppY = m_doubles->screen->twipsPerPixelY();
    frmMain bar;
    bar.setLeft(barAt.x() * tppX);
    bar.setTop(barAt.y() * tppY);
    bar.setWidth(barSize.width() * tppX);
    bar.setHeight(barSize.height() * tppY);
    frmTransparency form(bar, &bar);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect slider = form.frameGeometry();
    QVERIFY2(!slider.intersects(QRect(barAt, barSize)), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(slider.x())
                                                                       .arg(slider.y())
                                                                       .arg(slider.width())
                                                                       .arg(slider.height())));
    QVERIFY(screen.contains(slider));
}

void tst_transparency::laterStartFiles()
{
    m_doubles->settings->values.insert(settingKey("GeneralSetLng", "FirstLaunch"), QStringLiteral("1"));
    QFile marker(m_folder->file(QStringLiteral("Dovi_Run.txt")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("run=1\r\n");
    marker.close();
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("Boutons")));
    barfixture::ConfigText text;
    text.up = barfixture::saveSkin(m_folder->file(QStringLiteral("up.bmp")), {40, 40}, Qt::gray);
    text.down = text.up;
    text.mask = text.up;
    text.buttons << QStringLiteral("/usr/bin/a;;A;1");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
}

void tst_transparency::levelKeptAcrossStarts()
{
    laterStartFiles();
    {
        frmMain bar;
        QVERIFY(bar.Form_Load());
        QCOMPARE(m_doubles->windows->opacities, QList<int>{255});
        frmTransparency form(bar, &bar);
        form.Slider1()->setValue(128);
        QCOMPARE(m_doubles->windows->opacities.constLast(), 128);
        bar.close();
    }
    QCOMPARE(m_doubles->settings->values.value(settingKey("Transparency", "Val_Trans")),
             QStringLiteral("128"));

    m_doubles->windows->opacities.clear();
    TransparencyValue = 255;
    frmMain again;
    QVERIFY(again.Form_Load());
    QCOMPARE(TransparencyValue, qint16(128));
    QCOMPARE(m_doubles->windows->opacities, QList<int>{128});
}

// The level is stored as soon as the slider closes, not only when the bar does: a session that ends
// with its window system gives the bar no chance to close.
void tst_transparency::levelKeptWhenTheSliderCloses()
{
    const QString key = settingKey("Transparency", "Val_Trans");
    frmMain bar;
    SetupDone = true;
    {
        frmTransparency form(bar, &bar);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Slider1()->setValue(90);
        QVERIFY(!m_doubles->settings->values.contains(key));
        form.close();
    }
    QCOMPARE(m_doubles->settings->values.value(key), QStringLiteral("90"));

    // A first launch not completed stores nothing.
    m_doubles->settings->values.remove(key);
    SetupDone = false;
    frmTransparency form(bar, &bar);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Slider1()->setValue(120);
    form.reject();
    QVERIFY(!m_doubles->settings->values.contains(key));
    QCOMPARE(TransparencyValue, qint16(120));
}

QTEST_MAIN(tst_transparency)
#include "tst_transparency.moc"
