// The picture control VistelPerso.Vistel, loaded from the program folder through the host:
// drawing at exactly the named moments, the see-through colours, events passed on, persistence, and
// a control deleted by its container from an event it let run.
#include "picture/dispids.h"
#include "platform/host/controlhost.h"
#include "platform/testing/doubles.h"

#include <QBitmap>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using platform::testing::FakeIconProvider;
using platform::testing::HookedEventPump;
using platform::testing::ScopedDoubles;

namespace {
const QColor SurfaceKey(255, 0, 255); // Vistel::surfaceBackColor()
const QColor ScratchKey(1, 254, 254); // Vistel::scratchBackColor()

// The control as its container shows it, on a yellow container, from the control's corner.
QImage grabInContainer(host::Control& control)
{
    QWidget* container = control.parentWidget();
    container->setAutoFillBackground(true);
    QPalette palette = container->palette();
    palette.setColor(QPalette::Window, Qt::yellow);
    container->setPalette(palette);
    control.move(10, 10);
    control.extender().setVisible(true);
    return container->grab(QRect(10, 10, control.width(), control.height())).toImage();
}

QPixmap solid(int side, const QColor& colour)
{
    QPixmap picture(side, side);
    picture.fill(colour);
    return picture;
}

} // namespace

class tst_vistel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void drawsOnceAtInitProperties();
    void documentDrawsAssociatedIconAndKeepsProgramme();
    void getRedraws();
    void emptyPathDrawsNothingWithoutError();
    void keyColoursAreSeeThrough();
    void softIconEdgesLeaveNoFringe();
    void opaqueBackStyleShowsWholeRectangle();
    void copyIsOneToOne();
    void resizeDoesNotRedraw();
    void readPropertiesDrawsNothing();
    void pictureIsScratchBackgroundAndDoesNotRedraw();
    void missingPictureFails();
    void otherPropertiesByDispatch();
    void eventsArePassedOn();
    void keyEventsArePassedOn();
    void writePropertiesLeavesOutDefaults();
    void drawingStartedDuringDoEventsWins();
    void growingDuringDrawingStaysWithinIt();
    void deletedWhileDrawingIsLeftAlone();
    void deletedOnMouseUpGivesNoClick();

private:
    std::unique_ptr<host::Control> create();

    std::unique_ptr<ScopedDoubles> m_doubles;
    FakeIconProvider* m_icons = nullptr;
    std::unique_ptr<host::ControlHost> m_host;
    std::unique_ptr<QWidget> m_container;
};

void tst_vistel::init()
{
    m_doubles = std::make_unique<ScopedDoubles>();
    m_icons = platform::testing::installFakeIcons();
    m_host = std::make_unique<host::ControlHost>();
    m_container = std::make_unique<QWidget>();
    m_container->resize(200, 200);
}

void tst_vistel::cleanup()
{
    m_container.reset();
    m_host.reset();
    m_doubles.reset();
}

std::unique_ptr<host::Control> tst_vistel::create()
{
    QString error;
    auto control = m_host->create(QStringLiteral(VISTEL_PROGID), m_container.get(), &error);
    if (!control)
        qWarning("%s", qPrintable(error));
    return control;
}

void tst_vistel::drawsOnceAtInitProperties()
{
    auto vistel = create();
    QVERIFY(vistel);
    QCOMPARE(m_icons->requests, QStringList{QString()});
    QCOMPARE(vistel->size(), QSize(33, 33));
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), QString());
}

void tst_vistel::documentDrawsAssociatedIconAndKeepsProgramme()
{
    const QString document = QStringLiteral("/home/user/letter.odt");
    m_icons->icons.insert(document, solid(32, Qt::red));
    auto vistel = create();
    QVERIFY(vistel);
    QSignalSpy changed(vistel.get(), &host::Control::PropertyChanged);
    QVERIFY(vistel->putProperty(VistelDispId::Programme, document));
    QCOMPARE(m_icons->requests.last(), document);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Programme"));
    const QImage drawn = vistel->grab().toImage();
    QCOMPARE(drawn.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), document);
    // Two DoEvents for each drawing: InitProperties, the Let and the Get.
    QCOMPARE(m_doubles->events->calls, 6);
}

void tst_vistel::getRedraws()
{
    const QString path = QStringLiteral("/usr/share/doc");
    auto vistel = create();
    QVERIFY(vistel);
    vistel->putProperty(VistelDispId::Programme, path);
    const int before = m_icons->requests.size();
    // The icon behind the path changed; reading Programme shows the new one.
    m_icons->icons.insert(path, solid(32, Qt::blue));
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), path);
    QCOMPARE(m_icons->requests.size(), before + 1);
    QCOMPARE(vistel->grab().toImage().pixelColor(10, 10), QColor(Qt::blue));
}

void tst_vistel::emptyPathDrawsNothingWithoutError()
{
    m_icons->icons.insert(QStringLiteral("/a"), solid(32, Qt::red));
    auto vistel = create();
    QVERIFY(vistel);
    QVERIFY(vistel->putProperty(VistelDispId::BackStyle, 0));
    QVERIFY(vistel->putProperty(VistelDispId::Programme, QStringLiteral("/a")));
    QVERIFY(vistel->mask().contains(QPoint(5, 5)));
    const host::DispResult result = vistel->putProperty(VistelDispId::Programme, QString());
    QVERIFY(result);
    // The previous image is gone and nothing is visible: no pixel of the control is in its region.
    for (int y = 0; y < vistel->height(); ++y)
        for (int x = 0; x < vistel->width(); ++x)
            QVERIFY(!vistel->mask().contains(QPoint(x, y)));
    QCOMPARE(grabInContainer(*vistel).pixelColor(5, 5), QColor(Qt::yellow));
}

void tst_vistel::keyColoursAreSeeThrough()
{
    // An icon with a pixel of each key colour and a stripe of red.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    icon.setPixelColor(3, 3, ScratchKey);
    icon.setPixelColor(4, 4, SurfaceKey);
    const QString path = QStringLiteral("/opt/app/bin/app");
    m_icons->icons.insert(path, QPixmap::fromImage(icon));
    auto vistel = create();
    QVERIFY(vistel);
    QVERIFY(vistel->putProperty(VistelDispId::BackStyle, 0));
    QVERIFY(vistel->putProperty(VistelDispId::Programme, path));
    const QRegion region = vistel->mask();
    QVERIFY(region.contains(QPoint(0, 0)));
    QVERIFY(region.contains(QPoint(31, 31)));
    QVERIFY(!region.contains(QPoint(3, 3)));
    QVERIFY(!region.contains(QPoint(4, 4)));
    // Outside the icon is the surface's own background colour.
    QVERIFY(!region.contains(QPoint(32, 32)));
    QVERIFY(!region.contains(QPoint(32, 0)));
    // In its container, the container's colour shows through there.
    const QImage grabbed = grabInContainer(*vistel);
    QCOMPARE(grabbed.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(grabbed.pixelColor(3, 3), QColor(Qt::yellow));
    QCOMPARE(grabbed.pixelColor(4, 4), QColor(Qt::yellow));
    QCOMPARE(grabbed.pixelColor(32, 32), QColor(Qt::yellow));
}

void tst_vistel::softIconEdgesLeaveNoFringe()
{
    // Theme icons have half-transparent edges: each edge pixel is either the icon's colour or
    // see-through, never a blend with the hidden drawing colour.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int x = 4; x < 28; ++x) {
        icon.setPixelColor(x, 4, QColor(0, 0, 255, 60));  // faint
        icon.setPixelColor(x, 5, QColor(0, 0, 255, 200)); // mostly opaque
        icon.setPixelColor(x, 6, QColor(0, 0, 255, 255));
    }
    const QString path = QStringLiteral("/opt/app/bin/soft");
    m_icons->icons.insert(path, QPixmap::fromImage(icon));
    auto vistel = create();
    QVERIFY(vistel);
    QVERIFY(vistel->putProperty(VistelDispId::BackStyle, 0));
    QVERIFY(vistel->putProperty(VistelDispId::Programme, path));
    const QImage grabbed = grabInContainer(*vistel);
    for (int x = 4; x < 28; ++x) {
        QCOMPARE(grabbed.pixelColor(x, 3), QColor(Qt::yellow));
        QCOMPARE(grabbed.pixelColor(x, 4), QColor(Qt::yellow));
        QCOMPARE(grabbed.pixelColor(x, 5), QColor(Qt::blue));
        QCOMPARE(grabbed.pixelColor(x, 6), QColor(Qt::blue));
    }
}

void tst_vistel::opaqueBackStyleShowsWholeRectangle()
{
    m_icons->icons.insert(QStringLiteral("/x"), solid(16, Qt::red));
    auto vistel = create();
    QVERIFY(vistel);
    QCOMPARE(vistel->getProperty(VistelDispId::BackStyle).toInt(), 1);
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/x"));
    QVERIFY(vistel->mask().isEmpty());
    QCOMPARE(vistel->grab().toImage().pixelColor(20, 20), SurfaceKey);
    const host::DispResult bad = vistel->putProperty(VistelDispId::BackStyle, 2);
    QVERIFY(!bad);
    QCOMPARE(bad.number, host::DispError::InvalidValue);
}

void tst_vistel::copyIsOneToOne()
{
    m_icons->icons.insert(QStringLiteral("/big"), solid(48, Qt::green));
    m_icons->icons.insert(QStringLiteral("/small"), solid(16, Qt::blue));
    auto vistel = create();
    QVERIFY(vistel);
    vistel->putProperty(VistelDispId::BackStyle, 0);
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/big"));
    // Clipped at the right and bottom: the whole 33 x 33 control is icon.
    QVERIFY(vistel->mask().contains(QPoint(32, 32)));
    QCOMPARE(vistel->grab().toImage().pixelColor(32, 32), QColor(Qt::green));
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/small"));
    QVERIFY(vistel->mask().contains(QPoint(0, 0)));
    QVERIFY(vistel->mask().contains(QPoint(15, 15)));
    QVERIFY(!vistel->mask().contains(QPoint(16, 16)));
}

void tst_vistel::resizeDoesNotRedraw()
{
    m_icons->icons.insert(QStringLiteral("/small"), solid(16, Qt::blue));
    auto vistel = create();
    QVERIFY(vistel);
    QSignalSpy resized(vistel.get(), &host::Control::Resize);
    QSignalSpy painted(vistel.get(), &host::Control::Paint);
    vistel->putProperty(VistelDispId::BackStyle, 0);
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/small"));
    const int requests = m_icons->requests.size();
    const QRegion before = vistel->mask();
    vistel->extender().setWidth(60 * 15);
    vistel->extender().setHeight(50 * 15);
    QCOMPARE(vistel->size(), QSize(60, 50));
    QCOMPARE(resized.count(), 2);
    QCOMPARE(m_icons->requests.size(), requests);
    QCOMPARE(vistel->mask(), before);
    QCOMPARE(vistel->grab().toImage().pixelColor(5, 5), QColor(Qt::blue));
    // The scratch surface follows: the next drawing uses the whole new size.
    m_icons->icons.insert(QStringLiteral("/big"), solid(64, Qt::green));
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/big"));
    QVERIFY(vistel->mask().contains(QPoint(59, 49)));
    m_container->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
    vistel->extender().setVisible(true);
    vistel->repaint();
    QCOMPARE(painted.count(), 0);
}

void tst_vistel::readPropertiesDrawsNothing()
{
    m_icons->icons.insert(QStringLiteral("/saved"), solid(32, Qt::red));
    auto vistel = create();
    QVERIFY(vistel);
    const int requests = m_icons->requests.size();
    host::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Programme"), QStringLiteral("/saved"), QString());
    bag.WriteProperty(QStringLiteral("AutoRedraw"), true, false);
    bag.WriteProperty(QStringLiteral("BackStyle"), 0, 1);
    vistel->ReadProperties(bag);
    QCOMPARE(m_icons->requests.size(), requests);
    // BackStyle applies at once; nothing drawn yet, so nothing is visible.
    QCOMPARE(vistel->getProperty(VistelDispId::BackStyle).toInt(), 0);
    QVERIFY(!vistel->mask().contains(QPoint(5, 5)));
    QCOMPARE(vistel->getProperty(VistelDispId::AutoRedraw).toBool(), true);
    QCOMPARE(m_icons->requests.size(), requests);
    // Reading Programme draws it.
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), QStringLiteral("/saved"));
    QCOMPARE(m_icons->requests.size(), requests + 1);
    QVERIFY(vistel->mask().contains(QPoint(5, 5)));
}

void tst_vistel::pictureIsScratchBackgroundAndDoesNotRedraw()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("back.bmp"));
    QImage back(33, 33, QImage::Format_RGB32);
    back.fill(ScratchKey);
    for (int x = 0; x < 33; ++x)
        back.setPixelColor(x, 30, Qt::yellow);
    QVERIFY(back.save(file, "BMP"));
    m_icons->icons.insert(QStringLiteral("/p"), solid(16, Qt::blue));
    auto vistel = create();
    QVERIFY(vistel);
    vistel->putProperty(VistelDispId::BackStyle, 0);
    const int requests = m_icons->requests.size();
    QSignalSpy changed(vistel.get(), &host::Control::PropertyChanged);
    QVERIFY(vistel->putProperty(VistelDispId::Picture, file));
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Picture"));
    QCOMPARE(m_icons->requests.size(), requests);
    QVERIFY(!vistel->mask().contains(QPoint(5, 30)));
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/p"));
    // The background picture's own colours show; its key-coloured pixels do not.
    QVERIFY(vistel->mask().contains(QPoint(5, 30)));
    QVERIFY(!vistel->mask().contains(QPoint(20, 20)));
    QCOMPARE(vistel->grab().toImage().pixelColor(5, 30), QColor(Qt::yellow));
    QCOMPARE(vistel->getProperty(VistelDispId::Picture).toString(), file);
    QCOMPARE(m_icons->requests.size(), requests + 1);
}

void tst_vistel::missingPictureFails()
{
    auto vistel = create();
    QVERIFY(vistel);
    const QString missing = QStringLiteral("/nonexistent/back.bmp");
    const host::DispResult put = vistel->putProperty(VistelDispId::Picture, missing);
    QVERIFY(!put);
    QCOMPARE(put.number, host::DispError::FileNotFound);
    host::DispResult get;
    QCOMPARE(vistel->getProperty(VistelDispId::Picture, &get).toString(), missing);
    QCOMPARE(get.number, host::DispError::FileNotFound);
}

void tst_vistel::otherPropertiesByDispatch()
{
    auto vistel = create();
    QVERIFY(vistel);
    QSignalSpy changed(vistel.get(), &host::Control::PropertyChanged);
    QCOMPARE(vistel->getProperty(VistelDispId::AutoRedraw).toBool(), false);
    QVERIFY(vistel->putProperty(VistelDispId::AutoRedraw, true));
    QCOMPARE(vistel->getProperty(VistelDispId::AutoRedraw).toBool(), true);
    QCOMPARE(vistel->getProperty(VistelDispId::BorderStyle).toInt(), 0);
    QVERIFY(vistel->putProperty(VistelDispId::BorderStyle, 1));
    QCOMPARE(vistel->getProperty(VistelDispId::BorderStyle).toInt(), 1);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("BorderStyle"));
    host::DispResult result;
    vistel->getProperty(VistelDispId::hDC, &result);
    QVERIFY(result);
    vistel->getProperty(VistelDispId::hwnd, &result);
    QVERIFY(result);
    QCOMPARE(vistel->putProperty(VistelDispId::hDC, 1).number, host::DispError::ReadOnly);
    QCOMPARE(vistel->putProperty(VistelDispId::hwnd, 1).number, host::DispError::ReadOnly);
    QCOMPARE(vistel->putProperty(VistelDispId::AutoRedraw, QStringLiteral("nope")).number,
             host::DispError::TypeMismatch);
    QCOMPARE(vistel->putProperty(0x68030007, 1).number, host::DispError::NoSuchMember);
}

void tst_vistel::eventsArePassedOn()
{
    auto vistel = create();
    QVERIFY(vistel);
    QSignalSpy down(vistel.get(), &host::Control::MouseDown);
    QSignalSpy up(vistel.get(), &host::Control::MouseUp);
    QSignalSpy move(vistel.get(), &host::Control::MouseMove);
    QSignalSpy click(vistel.get(), &host::Control::Click);
    QSignalSpy dbl(vistel.get(), &host::Control::DblClick);
    QTest::mousePress(vistel.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 3));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).toInt(), 1);
    QCOMPARE(down.at(0).at(1).toInt(), 1);
    QCOMPARE(down.at(0).at(2).toFloat(), 30.0f);
    QCOMPARE(down.at(0).at(3).toFloat(), 45.0f);
    QTest::mouseRelease(vistel.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(4, 5));
    QCOMPARE(up.count(), 1);
    QCOMPARE(up.at(0).at(0).toInt(), 1);
    QCOMPARE(up.at(0).at(1).toInt(), 2);
    QCOMPARE(up.at(0).at(2).toFloat(), 60.0f);
    QCOMPARE(click.count(), 1);
    QTest::mousePress(vistel.get(), Qt::RightButton, {}, QPoint(2, 3));
    QTest::mouseRelease(vistel.get(), Qt::RightButton, {}, QPoint(2, 3));
    QCOMPARE(up.count(), 2);
    QCOMPARE(up.at(1).at(0).toInt(), 2);
    QCOMPARE(click.count(), 1);
    QTest::mouseDClick(vistel.get(), Qt::LeftButton, {}, QPoint(2, 3));
    QCOMPARE(dbl.count(), 1);
    QTest::mouseMove(vistel.get(), QPoint(6, 7));
    QVERIFY(move.count() >= 1);
    QCOMPARE(move.last().at(2).toFloat(), 90.0f);
    QCOMPARE(move.last().at(3).toFloat(), 105.0f);
}

void tst_vistel::keyEventsArePassedOn()
{
    auto vistel = create();
    QVERIFY(vistel);
    QSignalSpy keyDown(vistel.get(), &host::Control::KeyDown);
    QSignalSpy keyPress(vistel.get(), &host::Control::KeyPress);
    QSignalSpy keyUp(vistel.get(), &host::Control::KeyUp);
    QTest::keyClick(vistel.get(), Qt::Key_A, Qt::NoModifier);
    QCOMPARE(keyDown.count(), 1);
    QCOMPARE(keyDown.at(0).at(0).toInt(), 65);
    QCOMPARE(keyPress.count(), 1);
    QCOMPARE(keyPress.at(0).at(0).toInt(), int('a'));
    QCOMPARE(keyUp.count(), 1);
    QTest::keyClick(vistel.get(), Qt::Key_F1, Qt::ShiftModifier);
    // Shift itself goes down first.
    QCOMPARE(keyDown.at(1).at(0).toInt(), 16);
    QCOMPARE(keyDown.last().at(0).toInt(), 112);
    QCOMPARE(keyDown.last().at(1).toInt(), 1);
}

void tst_vistel::writePropertiesLeavesOutDefaults()
{
    auto vistel = create();
    QVERIFY(vistel);
    host::PropertyBag bag;
    vistel->WriteProperties(bag);
    QCOMPARE(bag.size(), 0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("b.bmp"));
    QVERIFY(solid(4, Qt::red).save(file, "BMP"));
    vistel->putProperty(VistelDispId::AutoRedraw, true);
    vistel->putProperty(VistelDispId::Picture, file);
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/p"));
    vistel->putProperty(VistelDispId::BackStyle, 0);
    vistel->putProperty(VistelDispId::BorderStyle, 1);
    host::PropertyBag written;
    vistel->WriteProperties(written);
    QCOMPARE(written.names(), (QStringList{QStringLiteral("AutoRedraw"), QStringLiteral("Picture"),
                                           QStringLiteral("Programme"), QStringLiteral("BackStyle")}));
    QCOMPARE(written.ReadProperty(QStringLiteral("BackStyle")).toInt(), 0);
}

void tst_vistel::drawingStartedDuringDoEventsWins()
{
    m_icons->icons.insert(QStringLiteral("/first"), solid(32, Qt::red));
    m_icons->icons.insert(QStringLiteral("/second"), solid(32, Qt::blue));
    auto vistel = create();
    QVERIFY(vistel);
    vistel->putProperty(VistelDispId::BackStyle, 0);
    HookedEventPump* raw = platform::testing::installHookedEvents();
    host::Control* control = vistel.get();
    raw->hook = [control] { control->putProperty(VistelDispId::Programme, QStringLiteral("/second")); };
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/first"));
    // The older drawing gives way to the newer one: what shows is what Programme now holds.
    QCOMPARE(vistel->grab().toImage().pixelColor(5, 5), QColor(Qt::blue));
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), QStringLiteral("/second"));
    QCOMPARE(vistel->grab().toImage().pixelColor(5, 5), QColor(Qt::blue));
    QVERIFY(raw->calls >= 4);
}

void tst_vistel::growingDuringDrawingStaysWithinIt()
{
    m_icons->icons.insert(QStringLiteral("/a"), solid(32, Qt::red));
    auto vistel = create();
    QVERIFY(vistel);
    vistel->putProperty(VistelDispId::BackStyle, 0);
    const QSize before = vistel->size();
    HookedEventPump* raw = platform::testing::installHookedEvents();
    host::Control* control = vistel.get();
    // The container makes the control bigger while the drawing lets events run.
    raw->hook = [control] {
        control->extender().setWidth(90 * 15);
        control->extender().setHeight(80 * 15);
    };
    vistel->putProperty(VistelDispId::Programme, QStringLiteral("/a"));
    QCOMPARE(vistel->size(), QSize(90, 80));
    // The drawing is the one begun at the old size: the icon in the corner, nothing beyond it.
    const QImage shown = vistel->grab().toImage();
    QCOMPARE(shown.pixelColor(5, 5), QColor(Qt::red));
    QVERIFY(vistel->mask().contains(QPoint(5, 5)));
    QVERIFY(!vistel->mask().contains(QPoint(before.width() + 10, before.height() + 10)));
}

void tst_vistel::deletedWhileDrawingIsLeftAlone()
{
    m_icons->icons.insert(QStringLiteral("/a"), solid(32, Qt::red));
    HookedEventPump* raw = platform::testing::installHookedEvents();

    // The container deletes the control from an event that runs while the control draws.
    auto vistel = create();
    QVERIFY(vistel);
    host::Control* control = vistel.get();
    QSignalSpy changed(control, &host::Control::PropertyChanged);
    raw->hook = [&vistel] { vistel.reset(); };
    control->putProperty(VistelDispId::Programme, QStringLiteral("/a"));
    QVERIFY(!vistel);
    QCOMPARE(changed.count(), 0);

    // The same during a Get, which draws too: the value read before the drawing comes back.
    vistel = create();
    QVERIFY(vistel);
    control = vistel.get();
    raw->hook = [&vistel] { vistel.reset(); };
    QCOMPARE(control->getProperty(VistelDispId::Programme).toString(), QString());
    QVERIFY(!vistel);

    // While a new control draws itself the first time, its container goes and takes it along.
    raw->hook = [this] { m_container.reset(); };
    QString error;
    auto orphan = m_host->create(QStringLiteral(VISTEL_PROGID), m_container.get(), &error);
    QVERIFY(!orphan);
    QVERIFY(!m_container);
    QVERIFY(!error.isEmpty());
}

void tst_vistel::deletedOnMouseUpGivesNoClick()
{
    auto vistel = create();
    QVERIFY(vistel);
    host::Control* control = vistel.get();
    QSignalSpy clicks(control, &host::Control::Click);
    connect(control, &host::Control::MouseUp, this, [&vistel] { vistel.reset(); });
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 3), control->mapToGlobal(QPointF(2, 3)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &release);
    QVERIFY(!vistel);
    QCOMPARE(clicks.count(), 0);
}

QTEST_MAIN(tst_vistel)
#include "tst_vistel.moc"
