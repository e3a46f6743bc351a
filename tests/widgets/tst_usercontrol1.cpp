// The launcher button DoviButton.UserControl1, loaded from the program folder through the
// host: every property by dispatch identifier with its defaults and side effects, the Icone message,
// the failures of the skin properties, and the property bag.
#include "button/dispids.h"
#include "picture/dispids.h"
#include "platform/host/controlarray.h"
#include "platform/host/controlhost.h"
#include "platform/testing/doubles.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using platform::testing::FakeIconProvider;
using platform::testing::ScopedDoubles;

namespace {
QString saveSolid(const QString& path, QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "BMP");
    return path;
}

const QString FrenchText =
    QStringLiteral("Une icône d'un de vos boutons ne contient pas un chemin valide, \r\n"
                   "veuillez vérifier que le chemin contient le nom et l'extention du "
                   "fichier !");
const QString EnglishText = QStringLiteral("An icon of one of your buttons does not contain a valid way, \r\n"
                                           "please check that the way contains the name and the extention of "
                                           "the file !");
} // namespace

class tst_usercontrol1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void defaultsAfterCreation_data();
    void defaultsAfterCreation();
    void storedPropertiesPutAndGet_data();
    void storedPropertiesPutAndGet();
    void badValuesAreRefused();
    void refreshDoesNothing();

    void iconeLoadsAndCentres();
    void iconeWithExtractIconStaysEmptyAndUnmarked();
    void iconeMissingFileMessage_data();
    void iconeMissingFileMessage();
    void iconeEmptyClearsWithoutMessage();
    void iconeUnreadableIsDropped();
    void iconeGetReloadsAndCentres();

    void pictureUpResizesButtonAndIcon();
    void pictureUpMissingFileFailsAndKeepsTemplateSize();
    void pictureUpGetReloads();
    void buttonSnapsBackToSkinSize();
    void pictureDownMissingFileFails();
    void imageMaskFailsAndFallsBackToBuiltIn();

    void graphicModeGetReappliesVisibility();
    void extractIconOnlyHides();
    void textModeTitleRecentresLabel();
    void textModeTitleIsShownAsTyped();
    void titleSetOffScreenIsSizedWhenShown();
    void programmeLetAndGetRedrawTargetIcon();
    void deletedWhileTargetIconDrawsIsLeftAlone();
    void toolTipTextIsIconTooltip();

    void writeLeavesOutDefaults();
    void bagRoundTripLoadsNothing();
    void lateBoundThroughControlArray();

private:
    std::unique_ptr<host::Control> create();
    QLabel* part(host::Control& button, const char* name);
    // A value of a picture the button holds without showing it (its skins).
    QVariant held(host::Control& button, const char* name, const char* value);

    QTemporaryDir m_dir;
    QString m_up, m_up60, m_wide, m_down, m_mask, m_icon, m_bad;
    std::unique_ptr<ScopedDoubles> m_doubles;
    FakeIconProvider* m_icons = nullptr;
    std::unique_ptr<host::ControlHost> m_host;
    std::unique_ptr<QWidget> m_container;
};

void tst_usercontrol1::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_up = saveSolid(m_dir.filePath(QStringLiteral("up.bmp")), {46, 46}, QColor(0, 160, 0));
    m_up60 = saveSolid(m_dir.filePath(QStringLiteral("up60.bmp")), {60, 40}, QColor(0, 160, 0));
    m_wide = saveSolid(m_dir.filePath(QStringLiteral("wide.bmp")), {300, 40}, QColor(0, 160, 0));
    m_down = saveSolid(m_dir.filePath(QStringLiteral("down.bmp")), {46, 46}, QColor(0, 0, 160));
    m_mask = saveSolid(m_dir.filePath(QStringLiteral("mask.bmp")), {46, 46}, QColor(49, 45, 45));
    m_icon = saveSolid(m_dir.filePath(QStringLiteral("icon.bmp")), {32, 32}, Qt::red);
    m_bad = m_dir.filePath(QStringLiteral("bad.bmp"));
    QFile bad(m_bad);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a picture");
}

void tst_usercontrol1::init()
{
    m_doubles = std::make_unique<ScopedDoubles>();
    m_icons = platform::testing::installFakeIcons();
    m_host = std::make_unique<host::ControlHost>();
    m_container = std::make_unique<QWidget>();
    m_container->resize(200, 200);
}

void tst_usercontrol1::cleanup()
{
    m_container.reset();
    m_host.reset();
    m_doubles.reset();
}

std::unique_ptr<host::Control> tst_usercontrol1::create()
{
    QString error;
    auto control = m_host->create(QStringLiteral(DOVIBUTTON_PROGID), m_container.get(), &error);
    if (!control)
        qWarning("%s", qPrintable(error));
    return control;
}

QLabel* tst_usercontrol1::part(host::Control& button, const char* name)
{
    return button.findChild<QLabel*>(QString::fromLatin1(name));
}

QVariant tst_usercontrol1::held(host::Control& button, const char* name, const char* value)
{
    const QObject* picture = button.findChild<QObject*>(QString::fromLatin1(name));
    return picture ? picture->property(value) : QVariant();
}

void tst_usercontrol1::defaultsAfterCreation_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("BackColor") << ButtonDispId::BackColor << QVariant(0);
    QTest::newRow("ForeColor") << ButtonDispId::ForeColor << QVariant(0);
    QTest::newRow("Enabled") << ButtonDispId::Enabled << QVariant(false);
    QTest::newRow("BackStyle") << ButtonDispId::BackStyle << QVariant(0);
    QTest::newRow("BorderStyle") << ButtonDispId::BorderStyle << QVariant(0);
    QTest::newRow("Icone") << ButtonDispId::Icone << QVariant(QString());
    QTest::newRow("Programme") << ButtonDispId::Programme << QVariant(QString());
    QTest::newRow("PictureUp") << ButtonDispId::PictureUp << QVariant(QString());
    QTest::newRow("PictureDown") << ButtonDispId::PictureDown << QVariant(QString());
    QTest::newRow("Button_Title") << ButtonDispId::Button_Title << QVariant(QString());
    QTest::newRow("ToolTipText") << ButtonDispId::ToolTipText << QVariant(QString());
    QTest::newRow("IconMove") << ButtonDispId::IconMove << QVariant(false);
    QTest::newRow("IconMovingValue") << ButtonDispId::IconMovingValue << QVariant(0);
    QTest::newRow("OpenWindowsStyle") << ButtonDispId::OpenWindowsStyle << QVariant(1);
    QTest::newRow("GraphicMode") << ButtonDispId::GraphicMode << QVariant(false);
    QTest::newRow("TextModeTitle") << ButtonDispId::TextModeTitle
                                   << QVariant(QStringLiteral("Titre du bouton"));
    QTest::newRow("MaskColor") << ButtonDispId::MaskColor << QVariant(16744703);
    QTest::newRow("ImageMask") << ButtonDispId::ImageMask << QVariant(QStringLiteral("0"));
    QTest::newRow("ExtractIcon") << ButtonDispId::ExtractIcon << QVariant(false);
    QTest::newRow("Language") << ButtonDispId::Language << QVariant(0);
}

void tst_usercontrol1::defaultsAfterCreation()
{
    QFETCH(int, id);
    QFETCH(QVariant, expected);
    auto button = create();
    QVERIFY(button);
    host::DispResult result;
    const QVariant value = button->getProperty(id, &result);
    QVERIFY2(result, qPrintable(result.error));
    QCOMPARE(value, expected);
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_usercontrol1::storedPropertiesPutAndGet_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("BackColor") << ButtonDispId::BackColor << "BackColor" << QVariant(0x123456)
                               << QVariant(0x123456);
    QTest::newRow("ForeColor") << ButtonDispId::ForeColor << "ForeColor" << QVariant(255) << QVariant(255);
    QTest::newRow("Enabled") << ButtonDispId::Enabled << "Enabled" << QVariant(true) << QVariant(true);
    QTest::newRow("BackStyle") << ButtonDispId::BackStyle << "BackStyle" << QVariant(1) << QVariant(1);
    QTest::newRow("BorderStyle") << ButtonDispId::BorderStyle << "BorderStyle" << QVariant(1) << QVariant(1);
    QTest::newRow("Button_Title") << ButtonDispId::Button_Title << "Button_Title"
                                  << QVariant(QStringLiteral("Mail")) << QVariant(QStringLiteral("Mail"));
    QTest::newRow("IconMove") << ButtonDispId::IconMove << "IconMove" << QVariant(true) << QVariant(true);
    QTest::newRow("IconMovingValue") << ButtonDispId::IconMovingValue << "IconMovingValue" << QVariant(4)
                                     << QVariant(4);
    QTest::newRow("IconMovingValue from text")
        << ButtonDispId::IconMovingValue << "IconMovingValue" << QVariant(QStringLiteral("3")) << QVariant(3);
    QTest::newRow("OpenWindowsStyle")
        << ButtonDispId::OpenWindowsStyle << "OpenWindowsStyle" << QVariant(3) << QVariant(3);
    QTest::newRow("GraphicMode") << ButtonDispId::GraphicMode << "GraphicMode" << QVariant(true)
                                 << QVariant(true);
    QTest::newRow("TextModeTitle") << ButtonDispId::TextModeTitle << "TextModeTitle"
                                   << QVariant(QStringLiteral("Web")) << QVariant(QStringLiteral("Web"));
    QTest::newRow("MaskColor") << ButtonDispId::MaskColor << "MaskColor" << QVariant(0xFFFFFF)
                               << QVariant(0xFFFFFF);
    QTest::newRow("ImageMask") << ButtonDispId::ImageMask << "ImageMask" << QVariant(QStringLiteral("0"))
                               << QVariant(QStringLiteral("0"));
    QTest::newRow("ExtractIcon") << ButtonDispId::ExtractIcon << "ExtractIcon" << QVariant(true)
                                 << QVariant(true);
    QTest::newRow("Language") << ButtonDispId::Language << "Language" << QVariant(1) << QVariant(1);
    QTest::newRow("ToolTipText") << ButtonDispId::ToolTipText << "ToolTipText"
                                 << QVariant(QStringLiteral("tip")) << QVariant(QStringLiteral("tip"));
    QTest::newRow("Programme") << ButtonDispId::Programme << "Programme"
                               << QVariant(QStringLiteral("/bin/ls")) << QVariant(QStringLiteral("/bin/ls"));
}

void tst_usercontrol1::storedPropertiesPutAndGet()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    auto button = create();
    QVERIFY(button);
    QSignalSpy changed(button.get(), &host::Control::PropertyChanged);
    const host::DispResult put = button->putProperty(id, value);
    QVERIFY2(put, qPrintable(put.error));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), name);
    QCOMPARE(button->getProperty(id), expected);
}

void tst_usercontrol1::badValuesAreRefused()
{
    auto button = create();
    QVERIFY(button);
    QCOMPARE(button->putProperty(ButtonDispId::IconMovingValue, 40000).number, host::DispError::Overflow);
    QCOMPARE(button->putProperty(ButtonDispId::OpenWindowsStyle, QStringLiteral("x")).number,
             host::DispError::TypeMismatch);
    QCOMPARE(button->putProperty(ButtonDispId::Font, 12).number, host::DispError::TypeMismatch);
    QCOMPARE(button->getProperty(ButtonDispId::IconMovingValue).toInt(), 0);
    QCOMPARE(button->getProperty(ButtonDispId::OpenWindowsStyle).toInt(), 1);
    QCOMPARE(button->putProperty(0x68030014, 1).number, host::DispError::NoSuchMember);
    const QFont font(QStringLiteral("Serif"), 20);
    QVERIFY(button->putProperty(ButtonDispId::Font, font));
    QCOMPARE(button->getProperty(ButtonDispId::Font).value<QFont>(), font);
}

void tst_usercontrol1::refreshDoesNothing()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->invoke(ButtonDispId::Refresh));
    QVERIFY(!button->invoke(ButtonDispId::Language));
}

void tst_usercontrol1::iconeLoadsAndCentres()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    QSignalSpy changed(button.get(), &host::Control::PropertyChanged);
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part(*button, "imgIcon");
    QCOMPARE(imgIcon->pixmap().size(), QSize(32, 32));
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Icone"));
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_usercontrol1::iconeWithExtractIconStaysEmptyAndUnmarked()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    QVERIFY(button->putProperty(ButtonDispId::ExtractIcon, true));
    QSignalSpy changed(button.get(), &host::Control::PropertyChanged);
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_icon));
    QLabel* imgIcon = part(*button, "imgIcon");
    QVERIFY(imgIcon->pixmap().isNull());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(button->getProperty(ButtonDispId::Icone).toString(), m_icon);
    QVERIFY(imgIcon->pixmap().isNull());
    // A missing file is still told.
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_dir.filePath(QStringLiteral("none.ico"))));
    QCOMPARE(m_doubles->messages->shown.size(), 1);
}

void tst_usercontrol1::iconeMissingFileMessage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("French") << 0 << QStringLiteral("Erreur chemin...") << FrenchText;
    QTest::newRow("English") << 1 << QStringLiteral("Error way...") << EnglishText;
    QTest::newRow("any other is English") << 7 << QStringLiteral("Error way...") << EnglishText;
}

void tst_usercontrol1::iconeMissingFileMessage()
{
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, text);
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::Language, language));
    const QString missing = m_dir.filePath(QStringLiteral("missing.ico"));
    // The trapped case: the call itself succeeds.
    const host::DispResult result = button->putProperty(ButtonDispId::Icone, missing);
    QVERIFY(result);
    QCOMPARE(m_doubles->messages->shown.size(), 1);
    const platform::testing::ShownMessage& shown = m_doubles->messages->shown.first();
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.icon, platform::MsgIcon::Critical);
    QCOMPARE(shown.buttons, platform::MsgButtons::Ok);
    QCOMPARE(button->getProperty(ButtonDispId::Icone).toString(), missing);
    // Reading it again tells again.
    QCOMPARE(m_doubles->messages->shown.size(), 2);
}

void tst_usercontrol1::iconeEmptyClearsWithoutMessage()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_icon));
    QVERIFY(!part(*button, "imgIcon")->pixmap().isNull());
    QVERIFY(button->putProperty(ButtonDispId::Icone, QString()));
    QVERIFY(part(*button, "imgIcon")->pixmap().isNull());
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_usercontrol1::iconeUnreadableIsDropped()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_bad));
    QVERIFY(m_doubles->messages->shown.isEmpty());
    QVERIFY(part(*button, "imgIcon")->pixmap().isNull());
    QCOMPARE(button->getProperty(ButtonDispId::Icone).toString(), m_bad);
}

void tst_usercontrol1::iconeGetReloadsAndCentres()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_icon));
    // PictureUp makes imgIcon cover the button: the icon is drawn at its top-left corner...
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    QLabel* imgIcon = part(*button, "imgIcon");
    QCOMPARE(imgIcon->geometry(), QRect(0, 0, 46, 46));
    QCOMPARE(imgIcon->pixmap().size(), QSize(32, 32));
    // ...until Icone is read again.
    QCOMPARE(button->getProperty(ButtonDispId::Icone).toString(), m_icon);
    QCOMPARE(imgIcon->geometry(), QRect(7, 7, 32, 32));
}

void tst_usercontrol1::pictureUpResizesButtonAndIcon()
{
    auto button = create();
    QVERIFY(button);
    // The template size: 720 x 720 twips.
    QCOMPARE(button->size(), QSize(48, 48));
    QCOMPARE(button->extender().Width(), 720.0);
    QSignalSpy changed(button.get(), &host::Control::PropertyChanged);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up60));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(button->size(), QSize(60, 40));
    QCOMPARE(button->extender().Width(), 900.0);
    QCOMPARE(button->extender().Height(), 600.0);
    QCOMPARE(part(*button, "imgIcon")->geometry(), QRect(0, 0, 60, 40));
    QCOMPARE(held(*button, "imgUp", "size").toSize(), QSize(60, 40));
    // Vistel1 (33 x 33) stays centred.
    auto* vistel = button->findChild<host::Control*>(QStringLiteral("Vistel1"));
    QVERIFY(vistel);
    QCOMPARE(vistel->geometry(), QRect(14, 4, 33, 33));
}

void tst_usercontrol1::pictureUpMissingFileFailsAndKeepsTemplateSize()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up60));
    const QString missing = m_dir.filePath(QStringLiteral("gone.bmp"));
    QSignalSpy changed(button.get(), &host::Control::PropertyChanged);
    const host::DispResult result = button->putProperty(ButtonDispId::PictureUp, missing);
    QVERIFY(!result);
    QCOMPARE(result.number, host::DispError::FileNotFound);
    QVERIFY(result.error.contains(missing));
    QCOMPARE(changed.count(), 1);
    // The stored path is replaced; the button is back at the template size with no skin.
    host::DispResult get;
    QCOMPARE(button->getProperty(ButtonDispId::PictureUp, &get).toString(), missing);
    QCOMPARE(get.number, host::DispError::FileNotFound);
    QCOMPARE(button->size(), QSize(48, 48));
    QVERIFY(held(*button, "imgUp", "pixmap").value<QPixmap>().isNull());
    // An unreadable picture fails with its own number, in the button's language.
    QVERIFY(button->putProperty(ButtonDispId::Language, 1));
    const host::DispResult unreadable = button->putProperty(ButtonDispId::PictureUp, m_bad);
    QCOMPARE(unreadable.number, host::DispError::InvalidPicture);
    QVERIFY(unreadable.error.startsWith(QStringLiteral("Invalid picture")));
    QVERIFY(m_doubles->messages->shown.isEmpty());
}

void tst_usercontrol1::pictureUpGetReloads()
{
    QTemporaryDir dir;
    const QString file = saveSolid(dir.filePath(QStringLiteral("up.bmp")), {46, 46}, Qt::green);
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, file));
    QCOMPARE(button->size(), QSize(46, 46));
    saveSolid(file, {50, 30}, Qt::green);
    QCOMPARE(button->getProperty(ButtonDispId::PictureUp).toString(), file);
    QCOMPARE(button->size(), QSize(50, 30));
}

void tst_usercontrol1::buttonSnapsBackToSkinSize()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    button->extender().setWidth(2000);
    button->extender().setHeight(100);
    QCOMPARE(button->extender().Width(), 690.0);
    QCOMPARE(button->extender().Height(), 690.0);
    button->resize(10, 10);
    QCOMPARE(button->size(), QSize(46, 46));
}

void tst_usercontrol1::pictureDownMissingFileFails()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureDown, m_down));
    QCOMPARE(held(*button, "imgDown", "pixmap").value<QPixmap>().size(), QSize(46, 46));
    const host::DispResult result =
        button->putProperty(ButtonDispId::PictureDown, QStringLiteral("/nope.bmp"));
    QCOMPARE(result.number, host::DispError::FileNotFound);
    QVERIFY(held(*button, "imgDown", "pixmap").value<QPixmap>().isNull());
    QCOMPARE(button->getProperty(ButtonDispId::PictureDown).toString(), QStringLiteral("/nope.bmp"));
}

void tst_usercontrol1::imageMaskFailsAndFallsBackToBuiltIn()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    // The built-in mask: 46 x 46, no mask colour in it.
    QCOMPARE(button->mask().boundingRect(), QRect(0, 0, 46, 46));
    const host::DispResult result = button->putProperty(ButtonDispId::ImageMask, QStringLiteral("/nope.bmp"));
    QCOMPARE(result.number, host::DispError::FileNotFound);
    QCOMPARE(button->mask().boundingRect(), QRect(0, 0, 46, 46));
    host::DispResult get;
    QCOMPARE(button->getProperty(ButtonDispId::ImageMask, &get).toString(), QStringLiteral("/nope.bmp"));
    QVERIFY(!get);
    // The default "0" names the built-in mask: no failure.
    QVERIFY(button->putProperty(ButtonDispId::ImageMask, QStringLiteral("0")));
    button->getProperty(ButtonDispId::ImageMask, &get);
    QVERIFY(get);
}

void tst_usercontrol1::graphicModeGetReappliesVisibility()
{
    auto button = create();
    QVERIFY(button);
    QLabel* imgIcon = part(*button, "imgIcon");
    QLabel* title = part(*button, "lblBtnTitle");
    QVERIFY(button->putProperty(ButtonDispId::GraphicMode, true));
    QVERIFY(!imgIcon->isHidden());
    QVERIFY(title->isHidden());
    QVERIFY(button->putProperty(ButtonDispId::GraphicMode, false));
    QVERIFY(imgIcon->isHidden());
    QVERIFY(!title->isHidden());
    // Read from a bag, the mode is stored but not applied until GraphicMode is read.
    host::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("GraphicMode"), true, false);
    button->ReadProperties(bag);
    QVERIFY(imgIcon->isHidden());
    QCOMPARE(button->getProperty(ButtonDispId::GraphicMode).toBool(), true);
    QVERIFY(!imgIcon->isHidden());
    QVERIFY(title->isHidden());
}

void tst_usercontrol1::extractIconOnlyHides()
{
    auto button = create();
    QVERIFY(button);
    auto* vistel = button->findChild<host::Control*>(QStringLiteral("Vistel1"));
    QVERIFY(vistel);
    QVERIFY(!vistel->isHidden());
    QVERIFY(button->putProperty(ButtonDispId::ExtractIcon, false));
    QVERIFY(vistel->isHidden());
    QVERIFY(button->putProperty(ButtonDispId::ExtractIcon, true));
    QVERIFY(vistel->isHidden());
    // Reading a stored False hides it too.
    auto other = create();
    auto* otherVistel = other->findChild<host::Control*>(QStringLiteral("Vistel1"));
    QVERIFY(!otherVistel->isHidden());
    QCOMPARE(other->getProperty(ButtonDispId::ExtractIcon).toBool(), false);
    QVERIFY(otherVistel->isHidden());
}

void tst_usercontrol1::textModeTitleRecentresLabel()
{
    auto button = create();
    QVERIFY(button);
    // A skin wide enough for the whole title.
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_wide));
    QLabel* title = part(*button, "lblBtnTitle");
    button->extender().setVisible(true);
    m_container->show();
    const QString longTitle = QStringLiteral("A rather long title");
    const int advance = QFontMetrics(title->font()).horizontalAdvance(longTitle);
    QVERIFY(advance > 75 && advance < 290);
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, longTitle));
    QCOMPARE(title->text(), longTitle);
    const QRect r = title->geometry();
    // Wider than its design size of 75 pixels, to fit the text.
    QVERIFY(r.width() > 75);
    QVERIFY(r.width() >= advance);
    QVERIFY(qAbs((r.left() + r.right() + 1) - 300) <= 1);
    QVERIFY(qAbs((r.top() + r.bottom() + 1) - 40) <= 1);
    QCOMPARE(button->getProperty(ButtonDispId::TextModeTitle).toString(), longTitle);
    // A title wider than the button is as wide as the button, which cuts off the rest anyway.
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, longTitle + longTitle + longTitle));
    QCOMPARE(title->geometry(), QRect(0, r.top(), 300, r.height()));
    // On a button narrower than the design size, the title keeps that size; centred again.
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    QCOMPARE(title->width(), 75);
    QVERIFY(qAbs((title->geometry().left() + title->geometry().right() + 1) - 46) <= 1);
    QVERIFY(qAbs((title->geometry().top() + title->geometry().bottom() + 1) - 46) <= 1);
    // A short title gives the design size back.
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, QStringLiteral("Mail")));
    QCOMPARE(title->width(), 75);
}

void tst_usercontrol1::textModeTitleIsShownAsTyped()
{
    // A title is the user's text, not markup: tags show as typed and colour nothing.
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_up));
    QLabel* title = part(*button, "lblBtnTitle");
    button->extender().setVisible(true);
    m_container->show();
    const QString markup = QStringLiteral("<font color=red>RRRR</font>");
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, markup));
    QCOMPARE(button->getProperty(ButtonDispId::TextModeTitle).toString(), markup);
    const QImage drawn = title->grab().toImage();
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            QVERIFY2(!(c.red() > 150 && c.green() < 100 && c.blue() < 100), "a title drawn as markup");
        }
    }
    QVERIFY(title->sizeHint().width() >= QFontMetrics(title->font()).horizontalAdvance(markup));
}

void tst_usercontrol1::titleSetOffScreenIsSizedWhenShown()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::PictureUp, m_wide));
    QLabel* title = part(*button, "lblBtnTitle");
    const QString longTitle = QStringLiteral("A rather long title");
    // Set in picture mode, before the button is on the screen, as the bar does.
    QVERIFY(button->putProperty(ButtonDispId::GraphicMode, true));
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, longTitle));
    button->extender().setVisible(true);
    m_container->show();
    QVERIFY(title->isHidden());
    QVERIFY(button->putProperty(ButtonDispId::GraphicMode, false));
    QVERIFY(title->isVisible());
    const QRect r = title->geometry();
    QVERIFY(r.width() >= QFontMetrics(title->font()).horizontalAdvance(longTitle));
    QVERIFY(qAbs((r.left() + r.right() + 1) - 300) <= 1);
    // Set while the bar is hidden: sized when the bar shows.
    m_container->hide();
    QVERIFY(button->putProperty(ButtonDispId::TextModeTitle, QStringLiteral("Mail")));
    m_container->show();
    QCOMPARE(title->width(), 75);
    QVERIFY(qAbs((title->geometry().left() + title->geometry().right() + 1) - 300) <= 1);
}

void tst_usercontrol1::programmeLetAndGetRedrawTargetIcon()
{
    const QString target = QStringLiteral("/usr/share/applications/firefox-esr.desktop");
    m_icons->icons.insert(target, QPixmap(32, 32));
    auto button = create();
    QVERIFY(button);
    auto* vistel = button->findChild<host::Control*>(QStringLiteral("Vistel1"));
    // The constituent was read from its design state: no drawing at creation.
    QVERIFY(m_icons->requests.isEmpty());
    const int pumps = m_doubles->events->calls;
    QVERIFY(button->putProperty(ButtonDispId::Programme, target));
    QCOMPARE(m_icons->requests, QStringList{target});
    // One DoEvents of the button, two of the picture control's drawing.
    QCOMPARE(m_doubles->events->calls, pumps + 3);
    QCOMPARE(button->getProperty(ButtonDispId::Programme).toString(), target);
    QCOMPARE(m_icons->requests, (QStringList{target, target}));
    QCOMPARE(vistel->getProperty(VistelDispId::Programme).toString(), target);
    // Reading the bag's value does not tell Vistel1.
    host::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Programme"), QStringLiteral("/other"), QString());
    const int requests = m_icons->requests.size();
    button->ReadProperties(bag);
    QCOMPARE(m_icons->requests.size(), requests);
    // Once ExtractIcon False has hidden the target's icon, it is no longer looked up; the button
    // still keeps and gives the target.
    QVERIFY(button->putProperty(ButtonDispId::ExtractIcon, false));
    const QString other = QStringLiteral("/usr/bin/xterm");
    QVERIFY(button->putProperty(ButtonDispId::Programme, other));
    QCOMPARE(button->getProperty(ButtonDispId::Programme).toString(), other);
    QCOMPARE(m_icons->requests.size(), requests);
    QVERIFY(vistel->isHidden());
}

void tst_usercontrol1::deletedWhileTargetIconDrawsIsLeftAlone()
{
    // The container deletes the button from an event that its picture control lets run while it
    // draws the target's icon: the button's first DoEvents passes, the drawing's first deletes.
    auto button = create();
    QVERIFY(button);
    platform::testing::HookedEventPump* raw = platform::testing::installHookedEvents();
    raw->fireAt = 2;
    host::Control* control = button.get();
    QSignalSpy changed(control, &host::Control::PropertyChanged);
    raw->hook = [&button] { button.reset(); };
    control->putProperty(ButtonDispId::Programme, QStringLiteral("/usr/bin/xterm"));
    QVERIFY(!button);
    QCOMPARE(raw->calls, 2);
    QCOMPARE(changed.count(), 0);
}

void tst_usercontrol1::toolTipTextIsIconTooltip()
{
    auto button = create();
    QVERIFY(button);
    QVERIFY(button->putProperty(ButtonDispId::ToolTipText, QStringLiteral("Open mail")));
    QCOMPARE(part(*button, "imgIcon")->toolTip(), QStringLiteral("Open mail"));
    QCOMPARE(button->getProperty(ButtonDispId::ToolTipText).toString(), QStringLiteral("Open mail"));
}

void tst_usercontrol1::writeLeavesOutDefaults()
{
    auto button = create();
    QVERIFY(button);
    host::PropertyBag bag;
    button->WriteProperties(bag);
    QCOMPARE(bag.names(), QStringList());
    QVERIFY(button->putProperty(ButtonDispId::OpenWindowsStyle, 1));
    QVERIFY(button->putProperty(ButtonDispId::Language, 1));
    QVERIFY(button->putProperty(ButtonDispId::Font, QFont(QStringLiteral("Serif"), 31)));
    QVERIFY(button->putProperty(ButtonDispId::MaskColor, 0xFFFFFF));
    QVERIFY(button->putProperty(ButtonDispId::Icone, m_icon));
    host::PropertyBag written;
    button->WriteProperties(written);
    QCOMPARE(written.names(), (QStringList{QStringLiteral("Font"), QStringLiteral("Icone"),
                                           QStringLiteral("MaskColor"), QStringLiteral("Language")}));
}

void tst_usercontrol1::bagRoundTripLoadsNothing()
{
    auto first = create();
    QVERIFY(first);
    first->putProperty(ButtonDispId::BackColor, 0x102030);
    first->putProperty(ButtonDispId::Enabled, true);
    first->putProperty(ButtonDispId::Icone, m_icon);
    first->putProperty(ButtonDispId::Programme, QStringLiteral("/bin/sh"));
    first->putProperty(ButtonDispId::PictureUp, m_up60);
    first->putProperty(ButtonDispId::PictureDown, m_down);
    first->putProperty(ButtonDispId::Button_Title, QStringLiteral("Shell"));
    first->putProperty(ButtonDispId::ToolTipText, QStringLiteral("tip"));
    first->putProperty(ButtonDispId::IconMove, true);
    first->putProperty(ButtonDispId::IconMovingValue, 2);
    first->putProperty(ButtonDispId::OpenWindowsStyle, 2);
    first->putProperty(ButtonDispId::GraphicMode, true);
    first->putProperty(ButtonDispId::TextModeTitle, QStringLiteral("Shell"));
    first->putProperty(ButtonDispId::MaskColor, 0xFFFFFF);
    first->putProperty(ButtonDispId::ImageMask, m_mask);
    first->putProperty(ButtonDispId::ExtractIcon, true);
    first->putProperty(ButtonDispId::Language, 1);
    host::PropertyBag bag;
    first->WriteProperties(bag);
    QCOMPARE(bag.size(), 17);

    auto second = create();
    QVERIFY(second);
    const int requests = m_icons->requests.size();
    second->ReadProperties(bag);
    // Nothing is loaded, drawn or applied.
    QCOMPARE(second->size(), QSize(48, 48));
    QVERIFY(part(*second, "imgIcon")->pixmap().isNull());
    QVERIFY(!part(*second, "lblBtnTitle")->isHidden());
    QVERIFY(!second->findChild<host::Control*>(QStringLiteral("Vistel1"))->isHidden());
    QCOMPARE(m_icons->requests.size(), requests);
    QCOMPARE(part(*second, "imgIcon")->toolTip(), QStringLiteral("tip"));
    QCOMPARE(second->getProperty(ButtonDispId::TextModeTitle).toString(), QStringLiteral("Shell"));
    host::PropertyBag again;
    second->WriteProperties(again);
    QCOMPARE(again.names(), bag.names());
    for (const QString& name : bag.names())
        QCOMPARE(again.ReadProperty(name), bag.ReadProperty(name));
    // Setting (or reading) them afterwards makes them take effect.
    QCOMPARE(second->getProperty(ButtonDispId::PictureUp).toString(), m_up60);
    QCOMPARE(second->size(), QSize(60, 40));
}

void tst_usercontrol1::lateBoundThroughControlArray()
{
    host::ControlArray array(QStringLiteral(DOVIBUTTON_PROGID), m_container.get(), *m_host);
    QVERIFY(array.createTemplate());
    QVERIFY(array.load(1));
    QVERIFY(array.put(1, ButtonDispId::Programme, QStringLiteral("/usr/bin/xterm")));
    QVERIFY(array.put(1, ButtonDispId::OpenWindowsStyle, 2));
    QCOMPARE(array.get(1, ButtonDispId::Programme).toString(), QStringLiteral("/usr/bin/xterm"));
    QCOMPARE(array.get(1, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    QCOMPARE(array.get(0, ButtonDispId::OpenWindowsStyle).toInt(), 1);
}

QTEST_MAIN(tst_usercontrol1)
#include "tst_usercontrol1.moc"
