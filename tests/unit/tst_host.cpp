// The control host: property bag, value coercion, extender, creation by ProgID from the program folder
// or the per-user control registry, the four entry points, and the control array.
#include "button/dispids.h"
#include "picture/dispids.h"
#include "platform/host/controlarray.h"
#include "platform/host/controlhost.h"
#include "platform/host/controlregistry.h"
#include "platform/host/devicepicture.h"
#include "platform/host/libraryexports.h"
#include "platform/host/modulepath.h"
#include "platform/testing/doubles.h"

#include <QFile>
#include <QPainter>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

using platform::testing::ScopedDoubles;

namespace {
QString binLibrary(const QString& name)
{
    return QStringLiteral(DOVI_TEST_BIN_DIR "/lib") + name + QStringLiteral(".so");
}
QString registryFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Dovi/Controls.ini");
}
// The module that holds a control's code.
QString libraryOf(const host::Control& control)
{
    return host::modulePathOf(control.metaObject());
}
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_host : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void scalingToTheScreen_data();
    void scalingToTheScreen();

    void bagMissingReadsAsDefault();
    void bagLeavesOutDefaults();
    void bagRoundTripKeepsOrder();
    void coerceInteger_data();
    void coerceInteger();
    void coerceBooleanAndLong();

    void extenderTwipsXAndYApart();
    void extenderVisibleTooltipAndAmbientFont();

    void progIdValidation_data();
    void progIdValidation();
    void createByProgIdFromProgramFolder();
    void unknownProgIdGivesReason_data();
    void unknownProgIdGivesReason();
    void lateBoundGetAndPut();
    void registrationIsConsultedFirst();
    void registeredLibraryWinsOverProgramFolder();
    void arrayElementsComeFromTheTemplatesLibrary();
    void missingRegisteredFileFallsBackToProgramFolder();
    void classObject();
    void canUnloadNowRefusedWhileAnInstanceLives();
    void idleLibrariesUnloadAndLoadAgain();

    void arrayTemplateAndLoad();
    void arrayUnloadAndEvents();
    void arraySurvivesElementDeletedByOthers();

    void maskRegionsFollowPixelsAndColour();
};

void tst_host::init()
{
    QFile::remove(registryFile());
}

void tst_host::cleanup()
{
    QFile::remove(registryFile());
}

void tst_host::bagMissingReadsAsDefault()
{
    host::PropertyBag bag;
    QCOMPARE(bag.ReadProperty(QStringLiteral("IconMovingValue"), 7).toInt(), 7);
    QVERIFY(!bag.ReadProperty(QStringLiteral("Nothing")).isValid());
    bag.WriteProperty(QStringLiteral("IconMovingValue"), 3, 0);
    QCOMPARE(bag.ReadProperty(QStringLiteral("IconMovingValue"), 7).toInt(), 3);
}

void tst_host::bagLeavesOutDefaults()
{
    host::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("OpenWindowsStyle"), 1, 1);
    bag.WriteProperty(QStringLiteral("Icone"), QString(), QString());
    bag.WriteProperty(QStringLiteral("Icone2"), QStringLiteral(""), QString());
    bag.WriteProperty(QStringLiteral("ImageMask"), QStringLiteral("0"), QStringLiteral("0"));
    bag.WriteProperty(QStringLiteral("GraphicMode"), false, false);
    QCOMPARE(bag.size(), 0);
    // Writing the default over a written value takes it out again.
    bag.WriteProperty(QStringLiteral("OpenWindowsStyle"), 3, 1);
    QVERIFY(bag.contains(QStringLiteral("OpenWindowsStyle")));
    bag.WriteProperty(QStringLiteral("OpenWindowsStyle"), 1, 1);
    QVERIFY(!bag.contains(QStringLiteral("OpenWindowsStyle")));
    QVERIFY(bag.names().isEmpty());
}

void tst_host::bagRoundTripKeepsOrder()
{
    host::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("B"), 2, 0);
    bag.WriteProperty(QStringLiteral("A"), QStringLiteral("x"), QString());
    bag.WriteProperty(QStringLiteral("C"), true, false);
    QCOMPARE(bag.names(), (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
    QCOMPARE(bag.ReadProperty(QStringLiteral("A"), QString()).toString(), QStringLiteral("x"));
    QCOMPARE(bag.ReadProperty(QStringLiteral("C"), false).toBool(), true);
}

void tst_host::coerceInteger_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::addColumn<long>("number");
    QTest::newRow("int") << QVariant(12) << true << 12 << 0L;
    QTest::newRow("numeric text") << QVariant(QStringLiteral(" 42 ")) << true << 42 << 0L;
    QTest::newRow("half to even down") << QVariant(2.5) << true << 2 << 0L;
    QTest::newRow("half to even up") << QVariant(3.5) << true << 4 << 0L;
    QTest::newRow("True is -1") << QVariant(true) << true << -1 << 0L;
    QTest::newRow("largest") << QVariant(32767) << true << 32767 << 0L;
    QTest::newRow("overflow") << QVariant(32768) << false << 0 << host::DispError::Overflow;
    QTest::newRow("negative overflow") << QVariant(-32769) << false << 0 << host::DispError::Overflow;
    QTest::newRow("text") << QVariant(QStringLiteral("abc")) << false << 0 << host::DispError::TypeMismatch;
    QTest::newRow("empty") << QVariant() << false << 0 << host::DispError::TypeMismatch;
}

void tst_host::coerceInteger()
{
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    QFETCH(long, number);
    int out = 0;
    host::DispResult result;
    QCOMPARE(host::coerce::toInteger(value, &out, &result), ok);
    if (ok)
        QCOMPARE(out, expected);
    else
        QCOMPARE(result.number, number);
}

void tst_host::coerceBooleanAndLong()
{
    bool flag = false;
    host::DispResult result;
    QVERIFY(host::coerce::toBoolean(QStringLiteral("TRUE"), &flag, &result) && flag);
    QVERIFY(host::coerce::toBoolean(QStringLiteral("False"), &flag, &result) && !flag);
    QVERIFY(host::coerce::toBoolean(-1, &flag, &result) && flag);
    QVERIFY(host::coerce::toBoolean(0, &flag, &result) && !flag);
    QVERIFY(!host::coerce::toBoolean(QStringLiteral("maybe"), &flag, &result));
    QCOMPARE(result.number, host::DispError::TypeMismatch);

    qint32 number = 0;
    QVERIFY(host::coerce::toLong(16744703, &number, &result));
    QCOMPARE(number, 0xFF80FF);
    QVERIFY(host::coerce::toLong(QVariant(qint64(0xFFFFFFFF)), &number, &result));
    QCOMPARE(number, -1);
    QVERIFY(!host::coerce::toLong(QVariant(qint64(1) << 33), &number, &result));
    QCOMPARE(result.number, host::DispError::Overflow);
}

void tst_host::extenderTwipsXAndYApart()
{
    ScopedDoubles doubles;
    doubles.screen->tppX = 12;
    doubles.screen->tppY = 15;
    host::ControlHost controlHost;
    QWidget container;
    auto control = controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container);
    QVERIFY(control);
    host::Extender& e = control->extender();
    e.setBounds(120, 150, 1200, 450);
    QCOMPARE(control->geometry(), QRect(10, 10, 100, 30));
    QCOMPARE(e.Left(), 120.0);
    QCOMPARE(e.Top(), 150.0);
    QCOMPARE(e.Width(), 1200.0);
    QCOMPARE(e.Height(), 450.0);
    e.setLeft(240);
    e.setTop(300);
    QCOMPARE(control->pos(), QPoint(20, 20));
    e.move(0, 0);
    QCOMPARE(control->pos(), QPoint(0, 0));
    // The control's Resize runs at once, though the control is hidden.
    QSignalSpy resized(control.get(), &host::Control::Resize);
    e.setWidth(600);
    QCOMPARE(control->width(), 50);
    QCOMPARE(resized.count(), 1);
    e.setHeight(-30);
    QCOMPARE(control->height(), 0);

    // Beyond what a widget can take: held at the limit, never wrapped around to another value.
    e.setWidth(1e12);
    QCOMPARE(control->width(), QWIDGETSIZE_MAX);
    e.setWidth((4294967296.0 + 40) * 12);
    QCOMPARE(control->width(), QWIDGETSIZE_MAX);
    e.setLeft(-1e15);
    QCOMPARE(control->x(), -QWIDGETSIZE_MAX);
    e.setHeight(std::nan(""));
    QCOMPARE(control->height(), 0);
}

void tst_host::extenderVisibleTooltipAndAmbientFont()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    QFont font(QStringLiteral("Serif"), 17);
    container.setFont(font);
    auto control = controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container);
    QVERIFY(control);
    QVERIFY(!control->extender().Visible());
    QVERIFY(control->isHidden());
    control->extender().setVisible(true);
    QVERIFY(control->extender().Visible());
    QVERIFY(!control->isHidden());
    control->extender().setToolTipText(QStringLiteral("Tip"));
    QCOMPARE(control->extender().ToolTipText(), QStringLiteral("Tip"));
    QCOMPARE(control->toolTip(), QStringLiteral("Tip"));
    QCOMPARE(control->extender().ambientFont(), font);
}

void tst_host::progIdValidation_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<bool>("valid");
    QTest::newRow("button") << QStringLiteral("DoviButton.UserControl1") << true;
    QTest::newRow("with version") << QStringLiteral("VistelPerso.Vistel.1") << true;
    QTest::newRow("no class") << QStringLiteral("DoviButton") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("path") << QStringLiteral("../../tmp/evil.Class") << false;
    QTest::newRow("slash") << QStringLiteral("a/b.Class") << false;
    QTest::newRow("space") << QStringLiteral("Dovi Button.X") << false;
    QTest::newRow("underscores and digits") << QStringLiteral("_Lib2.Class_3") << true;
    QTest::newRow("name starts with a digit") << QStringLiteral("2Lib.Class") << false;
    QTest::newRow("class starts with a digit") << QStringLiteral("Lib.3Class") << false;
    QTest::newRow("empty class") << QStringLiteral("Lib.") << false;
    QTest::newRow("empty version") << QStringLiteral("Lib.Class.") << false;
    QTest::newRow("version not a number") << QStringLiteral("Lib.Class.v1") << false;
    QTest::newRow("four parts") << QStringLiteral("Lib.Class.1.2") << false;
    QTest::newRow("letter beyond ASCII") << QStringLiteral("Bibliothèque.Class") << false;
    QTest::newRow("line break") << QStringLiteral("Lib.Class\n") << false;
}

void tst_host::progIdValidation()
{
    QFETCH(QString, progId);
    QFETCH(bool, valid);
    ScopedDoubles doubles;
    QCOMPARE(host::ControlHost::isValidProgId(progId), valid);
    QCOMPARE(host::ControlHost().libraryPathFor(progId).isEmpty(), !valid);
}

void tst_host::createByProgIdFromProgramFolder()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QCOMPARE(controlHost.libraryPathFor(QStringLiteral("DoviButton.UserControl1")), binLibrary("DoviButton"));
    QWidget container;
    QString error;
    auto button = controlHost.create(QStringLiteral("DoviButton.UserControl1"), &container, &error);
    QVERIFY2(button, qPrintable(error));
    QCOMPARE(button->progId(), QStringLiteral("DoviButton.UserControl1"));
    QCOMPARE(button->parentWidget(), &container);
    QCOMPARE(libraryOf(*button), binLibrary("DoviButton"));
    auto picture = controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container, &error);
    QVERIFY2(picture, qPrintable(error));
    QCOMPARE(picture->progId(), QStringLiteral("VistelPerso.Vistel"));
    QVERIFY(controlHost.loadedLibraries().contains(binLibrary("DoviButton")));
    QVERIFY(controlHost.loadedLibraries().contains(binLibrary("VistelPerso")));
}

void tst_host::unknownProgIdGivesReason_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such library") << QStringLiteral("Nope.Thing") << QStringLiteral("libNope.so");
    QTest::newRow("no such class") << QStringLiteral("VistelPerso.Other")
                                   << QStringLiteral("does not provide");
    QTest::newRow("not a ProgID") << QStringLiteral("../x.y") << QStringLiteral("is not a ProgID");
}

void tst_host::unknownProgIdGivesReason()
{
    QFETCH(QString, progId);
    QFETCH(QString, reason);
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    QString error;
    QVERIFY(!controlHost.create(progId, &container, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void tst_host::lateBoundGetAndPut()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    auto button = controlHost.create(QStringLiteral("DoviButton.UserControl1"), &container);
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::OpenWindowsStyle, 3));
    QCOMPARE(button->getProperty(ButtonDispId::OpenWindowsStyle).toInt(), 3);
    QVERIFY(button->putProperty(ButtonDispId::Programme, QStringLiteral("/bin/true")));
    QCOMPARE(button->getProperty(ButtonDispId::Programme).toString(), QStringLiteral("/bin/true"));
    const host::DispResult unknown = button->putProperty(0x12345, 1);
    QVERIFY(!unknown);
    QCOMPARE(unknown.number, host::DispError::NoSuchMember);
    host::DispResult result;
    QVERIFY(!button->getProperty(0x12345, &result).isValid());
    QCOMPARE(result.number, host::DispError::NoSuchMember);
}

void tst_host::registrationIsConsultedFirst()
{
    // A program folder without libraries: only the registry can find the control.
    QTemporaryDir emptyFolder;
    ScopedDoubles doubles(emptyFolder.path());
    host::ControlHost controlHost;
    QWidget container;
    QString error;
    QVERIFY(!controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container, &error));

    QCOMPARE(host::ControlHost::callEntryPoint(binLibrary("VistelPerso"), "DllRegisterServer", &error),
             host::S_Ok);
    QVERIFY(QFile::exists(registryFile()));
    QCOMPARE(host::ControlRegistry().libraryFor(QStringLiteral("VistelPerso.Vistel")),
             binLibrary("VistelPerso"));
    QCOMPARE(controlHost.libraryPathFor(QStringLiteral("VistelPerso.Vistel")), binLibrary("VistelPerso"));
    auto control = controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container, &error);
    QVERIFY2(control, qPrintable(error));
    control.reset();

    QCOMPARE(host::ControlHost::callEntryPoint(binLibrary("VistelPerso"), "DllUnregisterServer", &error),
             host::S_Ok);
    QVERIFY(host::ControlRegistry().libraryFor(QStringLiteral("VistelPerso.Vistel")).isEmpty());
    QVERIFY(!controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container, &error));
    QVERIFY(error.contains(emptyFolder.path()));

    QCOMPARE(host::ControlHost::callEntryPoint(emptyFolder.path() + QStringLiteral("/libNone.so"),
                                               "DllRegisterServer", &error),
             host::E_Fail);
}

void tst_host::registeredLibraryWinsOverProgramFolder()
{
    // A copy of the library elsewhere, registered: it is used although the program folder has one too.
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(QStringLiteral("libVistelPerso.so"));
    QVERIFY(QFile::copy(binLibrary("VistelPerso"), copy));
    ScopedDoubles doubles;
    QVERIFY(host::ControlRegistry().registerControl(QStringLiteral("VistelPerso.Vistel"), copy));
    host::ControlHost controlHost;
    QCOMPARE(controlHost.libraryPathFor(QStringLiteral("VistelPerso.Vistel")), copy);
    QWidget container;
    QString error;
    auto control = controlHost.create(QStringLiteral("VistelPerso.Vistel"), &container, &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(libraryOf(*control), copy);
}

void tst_host::arrayElementsComeFromTheTemplatesLibrary()
{
    // Registered after the template was made, another copy of the library does not split the array.
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(QStringLiteral("libVistelPerso.so"));
    QVERIFY(QFile::copy(binLibrary("VistelPerso"), copy));
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    host::ControlArray array(QStringLiteral("VistelPerso.Vistel"), &container, controlHost);
    QVERIFY(array.createTemplate());
    QCOMPARE(libraryOf(*array.at(0)), binLibrary("VistelPerso"));
    QVERIFY(host::ControlRegistry().registerControl(QStringLiteral("VistelPerso.Vistel"), copy));
    QString error;
    host::Control* one = array.load(1, &error);
    QVERIFY2(one, qPrintable(error));
    QCOMPARE(libraryOf(*one), binLibrary("VistelPerso"));
    // A new array follows the registration.
    host::ControlArray other(QStringLiteral("VistelPerso.Vistel"), &container, controlHost);
    QVERIFY(other.createTemplate());
    QCOMPARE(libraryOf(*other.at(0)), copy);
}

void tst_host::missingRegisteredFileFallsBackToProgramFolder()
{
    ScopedDoubles doubles;
    QVERIFY(host::ControlRegistry().registerControl(QStringLiteral("DoviButton.UserControl1"),
                                                    QStringLiteral("/nonexistent/libDoviButton.so")));
    QCOMPARE(host::ControlHost().libraryPathFor(QStringLiteral("DoviButton.UserControl1")),
             binLibrary("DoviButton"));
}

void tst_host::classObject()
{
    ScopedDoubles doubles;
    QLibrary library(binLibrary("VistelPerso"));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    auto getClassObject = reinterpret_cast<host::GetClassObjectFn>(library.resolve("DllGetClassObject"));
    QVERIFY(getClassObject);
    QVERIFY(library.resolve("DllRegisterServer"));
    QVERIFY(library.resolve("DllUnregisterServer"));
    QVERIFY(library.resolve("DllCanUnloadNow"));
    host::ClassFactory* factory = nullptr;
    QCOMPARE(getClassObject("DoviButton.UserControl1", &factory), long(host::E_ClassNotAvailable));
    QVERIFY(!factory);
    QCOMPARE(getClassObject(VISTEL_PROGID, nullptr), long(host::E_Fail));
    QCOMPARE(getClassObject(VISTEL_PROGID, &factory), long(host::S_Ok));
    QVERIFY(factory);
    host::ClassFactory* again = nullptr;
    getClassObject(VISTEL_PROGID, &again);
    QCOMPARE(again, factory);
    QWidget container;
    auto control = factory->CreateInstance(&container);
    QVERIFY(control);
    QCOMPARE(control->progId(), QStringLiteral(VISTEL_PROGID));
}

void tst_host::canUnloadNowRefusedWhileAnInstanceLives()
{
    ScopedDoubles doubles;
    QLibrary button(binLibrary("DoviButton"));
    QLibrary picture(binLibrary("VistelPerso"));
    QVERIFY(button.load() && picture.load());
    auto buttonCanUnload = reinterpret_cast<host::CanUnloadNowFn>(button.resolve("DllCanUnloadNow"));
    auto pictureCanUnload = reinterpret_cast<host::CanUnloadNowFn>(picture.resolve("DllCanUnloadNow"));
    QVERIFY(buttonCanUnload && pictureCanUnload);
    QCOMPARE(buttonCanUnload(), long(host::S_Ok));
    QCOMPARE(pictureCanUnload(), long(host::S_Ok));
    {
        host::ControlHost controlHost;
        QWidget container;
        auto control = controlHost.create(QStringLiteral("DoviButton.UserControl1"), &container);
        QVERIFY(control);
        QCOMPARE(buttonCanUnload(), long(host::S_False));
        // The button's own picture control is an instance of the picture library.
        QCOMPARE(pictureCanUnload(), long(host::S_False));
        QCOMPARE(controlHost.unloadIdleLibraries(), 0);
        QVERIFY(controlHost.loadedLibraries().contains(binLibrary("DoviButton")));
    }
    QCOMPARE(buttonCanUnload(), long(host::S_Ok));
    QCOMPARE(pictureCanUnload(), long(host::S_Ok));
}

void tst_host::idleLibrariesUnloadAndLoadAgain()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    auto control = controlHost.create(QStringLiteral("DoviButton.UserControl1"), &container);
    QVERIFY(control);
    // Values the controls handed out outlive the libraries being let go of.
    const QString title = control->getProperty(ButtonDispId::TextModeTitle).toString();
    const QString refused = control->putProperty(ButtonDispId::IconMovingValue, 40000).error;
    control.reset();
    QCOMPARE(controlHost.unloadIdleLibraries(), 1);
    QVERIFY(controlHost.loadedLibraries().isEmpty());
    QCOMPARE(title, QStringLiteral("Titre du bouton"));
    QVERIFY(!refused.isEmpty());
    QCOMPARE(refused, QString(refused.toUtf8()));
    QString error;
    control = controlHost.create(QStringLiteral("DoviButton.UserControl1"), &container, &error);
    QVERIFY2(control, qPrintable(error));
    QVERIFY(control->putProperty(ButtonDispId::Language, 1));
    QCOMPARE(control->getProperty(ButtonDispId::Language).toInt(), 1);
}

void tst_host::arrayTemplateAndLoad()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    host::ControlArray array(QStringLiteral("DoviButton.UserControl1"), &container, controlHost);
    QCOMPARE(array.ubound(), -1);
    QString error;
    QVERIFY2(array.createTemplate(&error), qPrintable(error));
    QCOMPARE(array.count(), 1);
    QVERIFY(array.at(0)->isHidden());
    QVERIFY(array.put(0, ButtonDispId::Button_Title, QStringLiteral("from template")));
    array.at(0)->extender().move(150, 300);
    array.at(0)->extender().setToolTipText(QStringLiteral("tip"));

    host::Control* one = array.load(1, &error);
    QVERIFY2(one, qPrintable(error));
    QCOMPARE(array.ubound(), 1);
    QCOMPARE(array[1], one);
    QVERIFY(one->isHidden());
    QVERIFY(!one->extender().Visible());
    QCOMPARE(array.get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("from template"));
    QCOMPARE(one->extender().Left(), 150.0);
    QCOMPARE(one->extender().Top(), 300.0);
    QCOMPARE(one->extender().ToolTipText(), QStringLiteral("tip"));

    QVERIFY(!array.load(1, &error));
    QVERIFY(error.contains(QStringLiteral("already")));
    QVERIFY(!array.load(-1, &error));
    host::DispResult result;
    QVERIFY(!array.get(7, ButtonDispId::Programme, &result).isValid());
    QVERIFY(!result);
    QVERIFY(!array.put(7, ButtonDispId::Programme, QString()));
}

void tst_host::arrayUnloadAndEvents()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    QWidget container;
    host::ControlArray array(QStringLiteral("DoviButton.UserControl1"), &container, controlHost);
    QVERIFY(array.createTemplate());
    host::Control* one = array.load(1);
    host::Control* two = array.load(2);
    QVERIFY(one && two);
    QSignalSpy clicks(&array, &host::ControlArray::Click);
    QSignalSpy ups(&array, &host::ControlArray::MouseUp);
    Q_EMIT two->Click();
    Q_EMIT one->MouseUp(2, 1, 30.0f, 45.0f);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), 2);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(ups.at(0).at(0).toInt(), 1);
    QCOMPARE(ups.at(0).at(1).toInt(), 2);
    QCOMPARE(ups.at(0).at(2).toInt(), 1);
    QCOMPARE(ups.at(0).at(3).toFloat(), 30.0f);

    QVERIFY(!array.unload(0));
    QVERIFY(array.at(0));
    QPointer<host::Control> watch(two);
    QVERIFY(array.unload(2));
    QVERIFY(!array.at(2));
    QVERIFY(two->isHidden());
    QCOMPARE(array.ubound(), 1);
    // Still alive until the event loop runs, and no longer wired.
    QVERIFY(watch);
    Q_EMIT two->Click();
    QCOMPARE(clicks.count(), 1);
    flushDeletes();
    QVERIFY(!watch);
    QVERIFY(!array.unload(2));
    // The freed index can be loaded again.
    QVERIFY(array.load(2));
}

void tst_host::arraySurvivesElementDeletedByOthers()
{
    ScopedDoubles doubles;
    host::ControlHost controlHost;
    auto container = std::make_unique<QWidget>();
    auto* array = new host::ControlArray(QStringLiteral("VistelPerso.Vistel"), container.get(), controlHost);
    QVERIFY(array->createTemplate());
    host::Control* one = array->load(1);
    QVERIFY(one);
    delete one;
    QVERIFY(!array->at(1));
    QCOMPARE(array->count(), 1);
    // The container takes the array and the remaining elements with it.
    container.reset();
}

void tst_host::maskRegionsFollowPixelsAndColour()
{
    // A 10 x 10 picture, red with a blue corner square, and another with the square elsewhere.
    const auto picture = [](const QPoint& square) {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                image.setPixelColor(square.x() + x, square.y() + y, QColor(Qt::blue));
        return QPixmap::fromImage(image);
    };
    QWidget first;
    QWidget second;
    QWidget third;
    host::Control::applyMaskPicture(&first, picture({0, 0}), Qt::blue);
    QVERIFY(!first.mask().contains(QPoint(1, 1)));
    QVERIFY(first.mask().contains(QPoint(8, 8)));
    // Same size and colours, other pixels: the other cut.
    host::Control::applyMaskPicture(&second, picture({7, 7}), Qt::blue);
    QVERIFY(second.mask().contains(QPoint(1, 1)));
    QVERIFY(!second.mask().contains(QPoint(8, 8)));
    // Same pixels, other see-through colour.
    host::Control::applyMaskPicture(&third, picture({0, 0}), Qt::red);
    QVERIFY(third.mask().contains(QPoint(1, 1)));
    QVERIFY(!third.mask().contains(QPoint(8, 8)));
    // The same pixels loaded again into a new pixmap cut the same.
    host::Control::applyMaskPicture(&third, picture({0, 0}), Qt::blue);
    QCOMPARE(third.mask(), first.mask());
    // A picture all of the see-through colour leaves nothing visible.
    QPixmap blue(10, 10);
    blue.fill(Qt::blue);
    host::Control::applyMaskPicture(&third, blue, Qt::blue);
    QVERIFY(!third.mask().intersects(QRect(0, 0, 10, 10)));
    // One pixmap painted over between two uses is cut by its new pixels.
    QPixmap painted = picture({0, 0});
    host::Control::applyMaskPicture(&third, painted, Qt::blue);
    QVERIFY(!third.mask().contains(QPoint(1, 1)));
    {
        QPainter painter(&painted);
        painter.fillRect(0, 0, 3, 3, Qt::red);
        painter.fillRect(7, 7, 3, 3, Qt::blue);
    }
    host::Control::applyMaskPicture(&third, painted, Qt::blue);
    QVERIFY(third.mask().contains(QPoint(1, 1)));
    QVERIFY(!third.mask().contains(QPoint(8, 8)));
}

void tst_host::scalingToTheScreen_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("device");
    QTest::newRow("100 %") << 48 << 48;
    QTest::newRow("125 %") << 48 << 60;
    QTest::newRow("150 %") << 48 << 72;
    QTest::newRow("115 %, odd") << 48 << 55;
    QTest::newRow("200 %") << 48 << 96;
    QTest::newRow("an @2x picture at 150 %") << 96 << 72;
}

void tst_host::scalingToTheScreen()
{
    QFETCH(int, source);
    QFETCH(int, device);
    const std::vector<int> map = host::devicepicture::symmetricMap(source, device);
    QCOMPARE(int(map.size()), device);
    std::vector<int> shares(size_t(source), 0);
    for (int d = 0; d < device; ++d) {
        // In order, and a mirror image of itself but for an odd middle pixel.
        QVERIFY(d == 0 || map[size_t(d)] >= map[size_t(d - 1)]);
        if (!(device % 2 == 1 && d == device / 2))
            QCOMPARE(map[size_t(device - 1 - d)], source - 1 - map[size_t(d)]);
        ++shares[size_t(map[size_t(d)])];
    }
    // Every picture pixel shows, as evenly as the ratio allows, when the picture is enlarged.
    if (device >= source) {
        const auto [fewest, most] = std::minmax_element(shares.cbegin(), shares.cend());
        QVERIFY(*fewest >= 1 && *most - *fewest <= 1);
        // The edges take the larger share: an outline keeps its width all round.
        QCOMPARE(shares.front(), *most);
        QCOMPARE(shares.back(), *most);
    }
    // At a whole ratio, each picture pixel is a square.
    if (device % source == 0) {
        for (int d = 0; d < device; ++d)
            QCOMPARE(map[size_t(d)], d / (device / source));
    }
}

QTEST_MAIN(tst_host)
#include "tst_host.moc"
