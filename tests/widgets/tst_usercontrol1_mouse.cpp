// The launcher button's drawing, shape and click behaviour on the offscreen platform: the
// press/release table with real window-level mouse events (so the part that got the press gets the
// release), the mask outline and hit area, the icon move, and the tooltips when shown.
#include "button/dispids.h"
#include "platform/host/controlhost.h"
#include "platform/testing/doubles.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QtTest>

using platform::testing::FakeIconProvider;
using platform::testing::ScopedDoubles;

namespace {
const QColor UpColour(0, 160, 0);
const QColor DownColour(0, 0, 160);
const QColor ContainerColour(Qt::yellow);
const QPoint ButtonAt(10, 10);

QString saveSolid(const QString& path, QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "BMP");
    return path;
}
} // namespace

class tst_usercontrol1_mouse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void restsOnUpSkin();
    void pressRelease_data();
    void pressRelease();
    void doubleClickStartsOnce_data();
    void doubleClickStartsOnce();
    void leftHeldWhileMenuOpensLeavesNothingPressed();
    void releaseMeasuredFromVistel1Corner();
    void releaseMeasuredFromTitleCorner();
    void middleOfALongTitleIsClickable();
    void releaseOverTheIconMeasuredFromTheButton();
    void backAndForwardButtonsAreNotTheButtons();
    void maskShapesOutlineAndHitArea();
    void builtInMaskHasRoundedCorners();
    void shrinkStopsAtZero();
    void negativeValueGrowsWithinBounds();
    void iconMovingValueZeroKeepsSize();
    void aLostReleaseDoesNotShrinkTheIconTwice();
    void tooltipsOnEveryConstituentWhenShown();
    void tooltipShowsTheTitleAsTyped_data();
    void tooltipShowsTheTitleAsTyped();

private:
    void press(Qt::MouseButton button, QPoint at);
    void release(Qt::MouseButton button, QPoint at);
    QColor pixel(QPoint at);
    QLabel* part(const char* name) { return m_button->findChild<QLabel*>(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
    QString m_up, m_down, m_mask, m_icon;
    std::unique_ptr<ScopedDoubles> m_doubles;
    FakeIconProvider* m_icons = nullptr;
    std::unique_ptr<host::ControlHost> m_host;
    std::unique_ptr<QWidget> m_container;
    std::unique_ptr<host::Control> m_button;
};

void tst_usercontrol1_mouse::initTestCase()
{
    m_up = saveSolid(m_dir.filePath(QStringLiteral("up.bmp")), {46, 46}, UpColour);
    m_down = saveSolid(m_dir.filePath(QStringLiteral("down.bmp")), {46, 46}, DownColour);
    m_icon = saveSolid(m_dir.filePath(QStringLiteral("icon.bmp")), {32, 32}, Qt::red);
    // The mask: the mask colour &HFF80FF in 6 x 6 corners.
    QImage mask(46, 46, QImage::Format_RGB32);
    mask.fill(QColor(49, 45, 45));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            for (const QPoint& p :
                 {QPoint(x, y), QPoint(45 - x, y), QPoint(x, 45 - y), QPoint(45 - x, 45 - y)})
                mask.setPixelColor(p, QColor(255, 128, 255));
    m_mask = m_dir.filePath(QStringLiteral("mask.bmp"));
    QVERIFY(mask.save(m_mask, "BMP"));
}

void tst_usercontrol1_mouse::init()
{
    m_doubles = std::make_unique<ScopedDoubles>();
    m_icons = platform::testing::installFakeIcons();
    m_host = std::make_unique<host::ControlHost>();
    m_container = std::make_unique<QWidget>();
    m_container->resize(200, 200);
    m_container->setAutoFillBackground(true);
    QPalette palette = m_container->palette();
    palette.setColor(QPalette::Window, ContainerColour);
    m_container->setPalette(palette);
    QString error;
    m_button = m_host->create(QStringLiteral(DOVIBUTTON_PROGID), m_container.get(), &error);
    QVERIFY2(m_button, qPrintable(error));
    // As the bar sets a button up, in its order.
    QVERIFY(m_button->putProperty(ButtonDispId::PictureDown, m_down));
    QVERIFY(m_button->putProperty(ButtonDispId::PictureUp, m_up));
    QVERIFY(m_button->putProperty(ButtonDispId::ImageMask, QStringLiteral("0")));
    QVERIFY(m_button->putProperty(ButtonDispId::MaskColor, 16744703));
    QVERIFY(m_button->putProperty(ButtonDispId::IconMovingValue, 4));
    m_button->extender().move(ButtonAt.x() * 15, ButtonAt.y() * 15);
    m_button->extender().setVisible(true);
    QVERIFY(m_button->putProperty(ButtonDispId::GraphicMode, true));
    m_container->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
    // Activated as it showed, the window gave its button the keyboard, and with it a mark.
    m_button->clearFocus();
}

void tst_usercontrol1_mouse::cleanup()
{
    m_button.reset();
    m_container.reset();
    m_host.reset();
    m_doubles.reset();
}

void tst_usercontrol1_mouse::press(Qt::MouseButton button, QPoint at)
{
    QTest::mousePress(m_container->windowHandle(), button, {}, ButtonAt + at);
}

void tst_usercontrol1_mouse::release(Qt::MouseButton button, QPoint at)
{
    QTest::mouseRelease(m_container->windowHandle(), button, {}, ButtonAt + at);
}

QColor tst_usercontrol1_mouse::pixel(QPoint at)
{
    return m_container->grab().toImage().pixelColor(ButtonAt + at);
}

void tst_usercontrol1_mouse::restsOnUpSkin()
{
    QCOMPARE(m_button->size(), QSize(46, 46));
    QCOMPARE(pixel({2, 23}), UpColour);
    QCOMPARE(pixel({45, 45}), UpColour);
    QCOMPARE(pixel({46, 46}), ContainerColour);
}

void tst_usercontrol1_mouse::pressRelease_data()
{
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("iconMove");
    QTest::addColumn<bool>("extractIcon");
    QTest::addColumn<bool>("withIcon");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("mouseUps");
    QTest::addColumn<bool>("downSkinWhilePressed");
    QTest::addColumn<bool>("shrunkWhilePressed");
    const int left = Qt::LeftButton, right = Qt::RightButton, middle = Qt::MiddleButton;
    const QPoint centre(23, 23);
    // The edge rows keep the icon still: a shrunk imgIcon's corner moves, and releases are measured
    // from the corner of the part that got the press.
    QTest::newRow("left inside") << left << centre << centre << true << false << true << 1 << 0 << true
                                 << true;
    QTest::newRow("left released outside")
        << left << centre << QPoint(80, 23) << true << false << true << 0 << 0 << true << true;
    QTest::newRow("left edge X = 0") << left << centre << QPoint(0, 23) << false << false << false << 0 << 0
                                     << true << false;
    QTest::newRow("left edge Y = 0") << left << centre << QPoint(23, 0) << false << false << false << 0 << 0
                                     << true << false;
    QTest::newRow("left edge X = width")
        << left << centre << QPoint(46, 23) << false << false << false << 0 << 0 << true << false;
    QTest::newRow("left edge Y = height")
        << left << centre << QPoint(23, 46) << false << false << false << 0 << 0 << true << false;
    // Pressed near the release: a press that slides past the drag distance drags the button.
    QTest::newRow("left last pixel inside")
        << left << QPoint(42, 42) << QPoint(45, 45) << false << false << false << 1 << 0 << true << false;
    QTest::newRow("left first pixel inside")
        << left << QPoint(4, 4) << QPoint(1, 1) << false << false << false << 1 << 0 << true << false;
    QTest::newRow("left slid past the drag distance: no click")
        << left << centre << QPoint(45, 45) << false << false << false << 0 << 0 << true << false;
    QTest::newRow("right inside") << right << centre << centre << true << false << true << 0 << 1 << false
                                  << false;
    QTest::newRow("right outside") << right << centre << QPoint(80, 23) << true << false << true << 0 << 0
                                   << false << false;
    QTest::newRow("right edge X = 0")
        << right << centre << QPoint(0, 23) << true << false << false << 0 << 0 << false << false;
    QTest::newRow("middle inside") << middle << centre << centre << true << false << true << 1 << 0 << false
                                   << false;
    QTest::newRow("middle outside") << middle << centre << QPoint(23, 60) << true << false << true << 0 << 0
                                    << false << false;
    QTest::newRow("ExtractIcon with IconMove")
        << left << centre << centre << true << true << true << 1 << 0 << true << false;
    QTest::newRow("IconMove off") << left << centre << centre << false << false << true << 1 << 0 << true
                                  << false;
    // The thumb buttons of a mouse are no button of the bar's: nothing happens, nothing starts.
    const int back = Qt::BackButton, forward = Qt::ForwardButton;
    QTest::newRow("back inside") << back << centre << centre << true << false << true << 0 << 0 << false
                                 << false;
    QTest::newRow("forward inside") << forward << centre << centre << true << false << true << 0 << 0 << false
                                    << false;
    QTest::newRow("back on the target's icon")
        << back << centre << centre << true << true << true << 0 << 0 << false << false;
}

void tst_usercontrol1_mouse::pressRelease()
{
    QFETCH(int, mouseButton);
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, iconMove);
    QFETCH(bool, extractIcon);
    QFETCH(bool, withIcon);
    QFETCH(int, clicks);
    QFETCH(int, mouseUps);
    QFETCH(bool, downSkinWhilePressed);
    QFETCH(bool, shrunkWhilePressed);
    const auto button = static_cast<Qt::MouseButton>(mouseButton);

    const QString target = QStringLiteral("/usr/bin/xterm");
    m_icons->icons.insert(target, QPixmap(33, 33));
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, iconMove));
    QVERIFY(m_button->putProperty(ButtonDispId::ExtractIcon, extractIcon));
    QVERIFY(m_button->putProperty(ButtonDispId::Programme, target));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, withIcon ? m_icon : QString()));
    QLabel* imgIcon = part("imgIcon");
    const QRect rest = imgIcon->geometry();
    auto* vistel = m_button->findChild<host::Control*>(QStringLiteral("Vistel1"));
    const QRect vistelRest = vistel->geometry();

    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    QSignalSpy upSpy(m_button.get(), &host::Control::MouseUp);
    QSignalSpy downSpy(m_button.get(), &host::Control::MouseDown);

    press(button, pressAt);
    QCOMPARE(pixel({2, 23}), downSkinWhilePressed ? DownColour : UpColour);
    if (shrunkWhilePressed) {
        QCOMPARE(imgIcon->size(), rest.size() - QSize(4, 4));
        QCOMPARE(imgIcon->geometry().center(), rest.center());
    } else {
        QCOMPARE(imgIcon->geometry(), rest);
    }
    QCOMPARE(vistel->geometry(), vistelRest);
    QCOMPARE(clickSpy.count() + upSpy.count() + downSpy.count(), 0);

    release(button, releaseAt);
    QCOMPARE(clickSpy.count(), clicks);
    QCOMPARE(upSpy.count(), mouseUps);
    QCOMPARE(downSpy.count(), 0);
    if (mouseUps) {
        const QList<QVariant> args = upSpy.first();
        QCOMPARE(args.at(0).toInt(), 2);
        QCOMPARE(args.at(1).toInt(), 0);
        QVERIFY(args.at(2).toFloat() > 0);
        QVERIFY(args.at(3).toFloat() > 0);
    }
    QCOMPARE(pixel({2, 23}), UpColour);
    QCOMPARE(imgIcon->geometry(), rest);
}

void tst_usercontrol1_mouse::doubleClickStartsOnce_data()
{
    // Each part of the button takes the double click of its own: the surface, the icon, the target's
    // icon (Vistel1).
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("extractIcon");
    QTest::addColumn<bool>("withIcon");
    QTest::newRow("surface") << QPoint(2, 23) << false << false;
    QTest::newRow("icon") << QPoint(23, 23) << false << true;
    QTest::newRow("target's icon") << QPoint(23, 23) << true << true;
}

void tst_usercontrol1_mouse::doubleClickStartsOnce()
{
    QFETCH(QPoint, at);
    QFETCH(bool, extractIcon);
    QFETCH(bool, withIcon);
    const QString target = QStringLiteral("/usr/bin/xterm");
    m_icons->icons.insert(target, QPixmap(33, 33));
    QVERIFY(m_button->putProperty(ButtonDispId::ExtractIcon, extractIcon));
    QVERIFY(m_button->putProperty(ButtonDispId::Programme, target));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, withIcon ? m_icon : QString()));
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);

    QTest::mouseDClick(m_container->windowHandle(), Qt::LeftButton, {}, ButtonAt + at);
    QCOMPARE(clickSpy.count(), 1);
    // A click after the double-click time is a click again.
    press(Qt::LeftButton, at);
    release(Qt::LeftButton, at);
    QCOMPARE(clickSpy.count(), 2);
}

void tst_usercontrol1_mouse::leftHeldWhileMenuOpensLeavesNothingPressed()
{
    // The left button is held while a right click opens the bar's menu: the menu takes the mouse,
    // so the left release goes to it and never to the button.
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    const QRect rest = imgIcon->geometry();
    QMenu menu;
    menu.addAction(QStringLiteral("Quitter"));
    connect(m_button.get(), &host::Control::MouseUp, &menu,
            [&] { menu.popup(m_container->mapToGlobal(QPoint(150, 150))); });
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    QSignalSpy upSpy(m_button.get(), &host::Control::MouseUp);

    press(Qt::LeftButton, {23, 23});
    QCOMPARE(pixel({2, 23}), DownColour);
    press(Qt::RightButton, {23, 23});
    release(Qt::RightButton, {23, 23});
    QCOMPARE(upSpy.count(), 1);
    QVERIFY(menu.isVisible());
    release(Qt::LeftButton, {23, 23});
    menu.close();
    QTRY_VERIFY(!menu.isVisible());

    QCOMPARE(clickSpy.count(), 0);
    QCOMPARE(pixel({2, 23}), UpColour);
    QCOMPARE(imgIcon->geometry(), rest);
    QVERIFY(!imgIcon->hasScaledContents());

    // The next click is an ordinary one.
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(pixel({2, 23}), DownColour);
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(clickSpy.count(), 1);
    QCOMPARE(pixel({2, 23}), UpColour);
    QCOMPARE(imgIcon->geometry(), rest);
}

void tst_usercontrol1_mouse::releaseMeasuredFromVistel1Corner()
{
    const QString target = QStringLiteral("/usr/bin/xterm");
    m_icons->icons.insert(target, QPixmap(33, 33));
    QVERIFY(m_button->putProperty(ButtonDispId::ExtractIcon, true));
    QVERIFY(m_button->putProperty(ButtonDispId::Programme, target));
    auto* vistel = m_button->findChild<host::Control*>(QStringLiteral("Vistel1"));
    QCOMPARE(vistel->geometry(), QRect(7, 7, 33, 33));
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    QSignalSpy vistelDown(vistel, &host::Control::MouseDown);
    press(Qt::LeftButton, {20, 20});
    QCOMPARE(vistelDown.count(), 1);
    QCOMPARE(pixel({2, 23}), DownColour);
    // Over the button, but left of Vistel1's corner: outside.
    release(Qt::LeftButton, {3, 20});
    QCOMPARE(clickSpy.count(), 0);
    QCOMPARE(pixel({2, 23}), UpColour);
    press(Qt::LeftButton, {20, 20});
    release(Qt::LeftButton, {20, 20});
    QCOMPARE(clickSpy.count(), 1);
}

void tst_usercontrol1_mouse::releaseMeasuredFromTitleCorner()
{
    QVERIFY(m_button->putProperty(ButtonDispId::GraphicMode, false));
    QVERIFY(m_button->putProperty(ButtonDispId::ExtractIcon, false));
    QVERIFY(m_button->putProperty(ButtonDispId::TextModeTitle, QStringLiteral("Mail")));
    QLabel* title = part("lblBtnTitle");
    QVERIFY(title->isVisible());
    QVERIFY(title->geometry().top() > 3);
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    const QPoint centre = title->geometry().center();
    press(Qt::LeftButton, centre);
    QCOMPARE(pixel({2, 2}), DownColour);
    // Above the label's corner, still over the button: outside.
    release(Qt::LeftButton, {centre.x(), title->geometry().top() - 2});
    QCOMPARE(clickSpy.count(), 0);
    press(Qt::LeftButton, centre);
    release(Qt::LeftButton, centre);
    QCOMPARE(clickSpy.count(), 1);
}

void tst_usercontrol1_mouse::middleOfALongTitleIsClickable()
{
    // A text button whose title is wider than the button: a release on the title is measured from the
    // title's corner, so the title must not reach far beyond the button's left edge.
    QVERIFY(m_button->putProperty(ButtonDispId::GraphicMode, false));
    QVERIFY(m_button->putProperty(ButtonDispId::ExtractIcon, false));
    const QString title = QStringLiteral("Navigateur Web et courrier");
    QVERIFY(m_button->putProperty(ButtonDispId::TextModeTitle, title));
    QLabel* label = part("lblBtnTitle");
    QVERIFY(label->isVisible());
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(title) > 2 * m_button->width());
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    for (const QPoint& at : {QPoint(5, 23), QPoint(23, 23), QPoint(30, 23)}) {
        QCOMPARE(m_button->childAt(at), label);
        press(Qt::LeftButton, at);
        QCOMPARE(pixel({2, 2}), DownColour);
        release(Qt::LeftButton, at);
        QCOMPARE(pixel({2, 2}), UpColour);
    }
    QCOMPARE(clickSpy.count(), 3);
}

void tst_usercontrol1_mouse::releaseOverTheIconMeasuredFromTheButton()
{
    // An icon larger than the button, as a theme's application icons are: it covers the whole button.
    const QString large = saveSolid(m_dir.filePath(QStringLiteral("large.bmp")), {128, 128}, Qt::red);
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, large));
    QLabel* imgIcon = part("imgIcon");
    QCOMPARE(imgIcon->geometry(), QRect(-41, -41, 128, 128));
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    for (const QPoint& at : {QPoint(23, 23), QPoint(40, 40), QPoint(8, 40)}) {
        QCOMPARE(m_button->childAt(at), imgIcon);
        press(Qt::LeftButton, at);
        release(Qt::LeftButton, at);
    }
    QCOMPARE(clickSpy.count(), 3);

    // A small icon: a release over the button beside the icon is inside, one past the button's edge
    // is not.
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
    press(Qt::LeftButton, {8, 23});
    release(Qt::LeftButton, {3, 23});
    QCOMPARE(clickSpy.count(), 4);
    press(Qt::LeftButton, {23, 23});
    release(Qt::LeftButton, {50, 23});
    QCOMPARE(clickSpy.count(), 4);
    QCOMPARE(pixel({2, 23}), UpColour);
}

void tst_usercontrol1_mouse::backAndForwardButtonsAreNotTheButtons()
{
    // Held down, the left button stays pressed through a click of a thumb button, and its own release
    // is the one click.
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    const QRect rest = imgIcon->geometry();
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    QSignalSpy upSpy(m_button.get(), &host::Control::MouseUp);
    press(Qt::LeftButton, {23, 23});
    for (const Qt::MouseButton thumb : {Qt::BackButton, Qt::ForwardButton}) {
        QTest::mousePress(m_container->windowHandle(), thumb, Qt::NoModifier, ButtonAt + QPoint(23, 23));
        QTest::mouseRelease(m_container->windowHandle(), thumb, Qt::NoModifier, ButtonAt + QPoint(23, 23));
    }
    QCOMPARE(clickSpy.count(), 0);
    QCOMPARE(upSpy.count(), 0);
    QCOMPARE(pixel({2, 23}), DownColour);
    QCOMPARE(imgIcon->size(), rest.size() - QSize(4, 4));
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(clickSpy.count(), 1);
    QCOMPARE(pixel({2, 23}), UpColour);
    QCOMPARE(imgIcon->geometry(), rest);
}

void tst_usercontrol1_mouse::maskShapesOutlineAndHitArea()
{
    QVERIFY(m_button->putProperty(ButtonDispId::ImageMask, m_mask));
    QVERIFY(m_button->putProperty(ButtonDispId::MaskColor, 16744703));
    // See-through where the mask has the mask colour.
    QCOMPARE(pixel({0, 0}), ContainerColour);
    QCOMPARE(pixel({5, 5}), ContainerColour);
    QCOMPARE(pixel({45, 0}), ContainerColour);
    QCOMPARE(pixel({0, 45}), ContainerColour);
    QCOMPARE(pixel({40, 45}), ContainerColour);
    QCOMPARE(pixel({6, 0}), UpColour);
    QCOMPARE(pixel({0, 6}), UpColour);
    QCOMPARE(pixel({23, 23}), UpColour);
    QVERIFY(!m_button->mask().contains(QPoint(2, 2)));
    QVERIFY(m_button->mask().contains(QPoint(23, 23)));
    // A click on a cut-out corner is not the button's.
    QSignalSpy clickSpy(m_button.get(), &host::Control::Click);
    press(Qt::LeftButton, {2, 2});
    QCOMPARE(pixel({23, 23}), UpColour);
    release(Qt::LeftButton, {2, 2});
    QCOMPARE(clickSpy.count(), 0);
    press(Qt::LeftButton, {23, 23});
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(clickSpy.count(), 1);
    // The pressed outline is the same.
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(pixel({2, 2}), ContainerColour);
    QCOMPARE(pixel({23, 10}), DownColour);
    release(Qt::LeftButton, {23, 23});
}

void tst_usercontrol1_mouse::builtInMaskHasRoundedCorners()
{
    // The built-in mask's corners are white: with the default mask colour the outline is the square.
    QCOMPARE(m_button->mask().boundingRect(), QRect(0, 0, 46, 46));
    QVERIFY(m_button->mask().contains(QPoint(0, 0)));
    QVERIFY(m_button->putProperty(ButtonDispId::MaskColor, 0xFFFFFF));
    const QRegion region = m_button->mask();
    const int cut[] = {9, 6, 4, 3, 2, 2, 1, 1, 1};
    for (int row = 0; row < 9; ++row) {
        for (int y : {row, 45 - row}) {
            QVERIFY2(!region.contains(QPoint(cut[row] - 1, y)), qPrintable(QString::number(row)));
            QVERIFY(region.contains(QPoint(cut[row], y)));
            QVERIFY(!region.contains(QPoint(46 - cut[row], y)));
            QVERIFY(region.contains(QPoint(45 - cut[row], y)));
        }
    }
    QVERIFY(region.contains(QPoint(0, 9)));
    QVERIFY(region.contains(QPoint(0, 36)));
    QCOMPARE(pixel({0, 0}), ContainerColour);
    QCOMPARE(pixel({0, 23}), UpColour);
}

void tst_usercontrol1_mouse::shrinkStopsAtZero()
{
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::IconMovingValue, 100));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->size(), QSize(0, 0));
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
}

void tst_usercontrol1_mouse::negativeValueGrowsWithinBounds()
{
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    QVERIFY(m_button->putProperty(ButtonDispId::IconMovingValue, -6));
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->size(), QSize(38, 38));
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));

    // The lowest value the file accepts: the icon grows to a bound, not to 32,800 pixels a side.
    QVERIFY(m_button->putProperty(ButtonDispId::IconMovingValue, -32768));
    press(Qt::LeftButton, {23, 23});
    QVERIFY(imgIcon->width() > 32 && imgIcon->width() <= 4 * m_button->width());
    QCOMPARE(imgIcon->height(), imgIcon->width());
    QCOMPARE(pixel({23, 23}), QColor(Qt::red));
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
}

void tst_usercontrol1_mouse::aLostReleaseDoesNotShrinkTheIconTwice()
{
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(9, 9, 28, 28));
    // Its release went to whoever grabbed the mouse; the next press, later, is an ordinary one.
    QTest::mousePress(m_container->windowHandle(), Qt::LeftButton, {}, ButtonAt + QPoint(23, 23),
                      QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QCOMPARE(imgIcon->geometry(), QRect(9, 9, 28, 28));
    QCOMPARE(pixel({2, 23}), DownColour);
    release(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
    QCOMPARE(pixel({2, 23}), UpColour);
}

void tst_usercontrol1_mouse::iconMovingValueZeroKeepsSize()
{
    QVERIFY(m_button->putProperty(ButtonDispId::IconMove, true));
    QVERIFY(m_button->putProperty(ButtonDispId::IconMovingValue, 0));
    QVERIFY(m_button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part("imgIcon");
    press(Qt::LeftButton, {23, 23});
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
    QVERIFY(imgIcon->hasScaledContents());
    QCOMPARE(pixel({23, 23}), QColor(Qt::red));
    release(Qt::LeftButton, {23, 23});
    QVERIFY(!imgIcon->hasScaledContents());
}

void tst_usercontrol1_mouse::tooltipsOnEveryConstituentWhenShown()
{
    m_button->extender().setVisible(false);
    m_button->extender().setToolTipText(QStringLiteral("Web browser"));
    QVERIFY(m_button->putProperty(ButtonDispId::ToolTipText, QStringLiteral("own")));
    m_button->extender().setVisible(true);
    // The parts that can be under the pointer: the skins are held as pictures, not shown by parts.
    const QList<QWidget*> parts = m_button->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QStringList names;
    for (QWidget* constituent : parts) {
        if (constituent->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue; // the keyboard's mark
        names << constituent->objectName();
        QCOMPARE(constituent->toolTip(), QStringLiteral("Web browser"));
    }
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Vistel1"), QStringLiteral("imgIcon"),
                                 QStringLiteral("lblBtnTitle")}));
    QCOMPARE(m_button->getProperty(ButtonDispId::ToolTipText).toString(), QStringLiteral("Web browser"));
}

void tst_usercontrol1_mouse::tooltipShowsTheTitleAsTyped_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("tags") << QStringLiteral("<b>Mail</b> & <i>news</i>");
    QTest::newRow("plain") << QStringLiteral("Mail & news");
}

void tst_usercontrol1_mouse::tooltipShowsTheTitleAsTyped()
{
    // A title is the user's text: the tooltip shows "<b>" as typed, not as bold.
    QFETCH(QString, title);
    m_button->extender().setVisible(false);
    m_button->extender().setToolTipText(title);
    m_button->extender().setVisible(true);
    m_container->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
    for (const char* name : {"imgIcon", "Vistel1"}) {
        auto* constituent = m_button->findChild<QWidget*>(QLatin1String(name));
        QVERIFY(constituent);
        constituent->show();
        constituent->raise();
        const QPoint at = constituent->rect().center();
        QHelpEvent help(QEvent::ToolTip, at, constituent->mapToGlobal(at));
        QApplication::sendEvent(constituent, &help);
        QVERIFY(QToolTip::isVisible());
        const QString shown = QToolTip::text();
        const QString plain =
            Qt::mightBeRichText(shown) ? QTextDocumentFragment::fromHtml(shown).toPlainText() : shown;
        QCOMPARE(plain, title);
        QToolTip::hideText();
    }
}

QTEST_MAIN(tst_usercontrol1_mouse)
#include "tst_usercontrol1_mouse.moc"
