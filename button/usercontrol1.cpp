#include "button/usercontrol1.h"

#include "button/buttonaccessible.h"
#include "button/buttondrag.h"
#include "picture/vistel.h"
#include "platform/host/devicepicture.h"
#include "platform/services.h"

#include <QEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

// Design sizes of the constituents, in twips.
constexpr double UpDesignWidth = 720, UpDesignHeight = 720;
constexpr double DownDesignWidth = 1215, DownDesignHeight = 495;
constexpr double IconDesignWidth = 1215, IconDesignHeight = 495;
constexpr double TitleDesignWidth = 1125, TitleDesignHeight = 195;
constexpr double VistelDesignSize = 495;

QString defaultTitle()
{
    return QStringLiteral("Titre du bouton");
}

int pixelsX(double twips)
{
    return static_cast<int>(std::lround(twips / platform::services().screen->twipsPerPixelX()));
}

int pixelsY(double twips)
{
    return static_cast<int>(std::lround(twips / platform::services().screen->twipsPerPixelY()));
}

QSize designSize(double widthTwips, double heightTwips)
{
    return {pixelsX(widthTwips), pixelsY(heightTwips)};
}

// Bag values as the property's type; a value that does not convert reads as the default.
bool bagBoolean(const host::PropertyBag& bag, const QString& name, bool fallback)
{
    bool value = fallback;
    host::DispResult ignored;
    return host::coerce::toBoolean(bag.ReadProperty(name, fallback), &value, &ignored) ? value : fallback;
}

int bagInteger(const host::PropertyBag& bag, const QString& name, int fallback)
{
    int value = fallback;
    host::DispResult ignored;
    return host::coerce::toInteger(bag.ReadProperty(name, fallback), &value, &ignored) ? value : fallback;
}

qint32 bagLong(const host::PropertyBag& bag, const QString& name, qint32 fallback)
{
    qint32 value = fallback;
    host::DispResult ignored;
    return host::coerce::toLong(bag.ReadProperty(name, fallback), &value, &ignored) ? value : fallback;
}

// The mark of the button that has the keyboard: a ring along the button's outline, inside it, so that
// it follows the skin's shape and shows on a bar cut to its buttons. It lies above the button's parts.
class FocusMark final : public QWidget {
public:
    explicit FocusMark(QWidget* button) : QWidget(button)
    {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QWidget* button = parentWidget();
        const QRegion outline = button->mask().isEmpty() ? QRegion(button->rect()) : button->mask();
        constexpr int Width = 2;
        QRegion inside = outline;
        for (const QPoint& step : {QPoint(Width, 0), QPoint(-Width, 0), QPoint(0, Width), QPoint(0, -Width)})
            inside &= outline.translated(step);
        QPainter painter(this);
        painter.setClipRegion(outline - inside);
        painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Highlight));
    }
};

QLabel* makePart(QWidget* parent, const QString& name)
{
    auto* part = new QLabel(parent);
    part->setObjectName(name);
    part->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    part->setContentsMargins(0, 0, 0, 0);
    part->setMargin(0);
    return part;
}

} // namespace

HeldPicture::HeldPicture(const QString& name, QSize size, QObject* parent) : QObject(parent), m_size(size)
{
    setObjectName(name);
}

void HeldPicture::setPicture(const QPixmap& picture, QSize sizeWithout)
{
    m_pixmap = picture;
    m_size = picture.isNull() ? sizeWithout : picture.size();
}

QPixmap UserControl1::builtInMask()
{
    // Drawn once: every button starts with it.
    static const QImage image = [] {
        static const int cut[] = {9, 6, 4, 3, 2, 2, 1, 1, 1};
        constexpr int side = 46;
        QImage drawn(side, side, QImage::Format_RGB32);
        drawn.fill(QColor(49, 45, 45));
        const QRgb white = qRgb(255, 255, 255);
        for (int row = 0; row < static_cast<int>(std::size(cut)); ++row) {
            for (int i = 0; i < cut[row]; ++i) {
                for (int y : {row, side - 1 - row}) {
                    drawn.setPixel(i, y, white);
                    drawn.setPixel(side - 1 - i, y, white);
                }
            }
        }
        return drawn;
    }();
    return QPixmap::fromImage(image);
}

// --- Initialize

UserControl1::UserControl1(QWidget* parent) : host::Control(parent)
{
    setObjectName(QStringLiteral("UserControl1"));
    ButtonAccessible::install();
    setAttribute(Qt::WA_NoSystemBackground);

    // Back to front: the title, the icon, then the target's icon above them; the skins are held.
    imgDown = new HeldPicture(QStringLiteral("imgDown"), designSize(DownDesignWidth, DownDesignHeight), this);
    imgUp = new HeldPicture(QStringLiteral("imgUp"), designSize(UpDesignWidth, UpDesignHeight), this);
    lblBtnTitle = makePart(this, QStringLiteral("lblBtnTitle"));
    lblBtnTitle->setAlignment(Qt::AlignCenter);
    // The title is the user's text: "<b>" or "&amp;" in it are shown as typed, not as markup.
    lblBtnTitle->setTextFormat(Qt::PlainText);
    // Given a size, it is not measured by Qt when it shows: it is measured once, to its text, when it
    // first shows (sizeTitle), and not at all on a bar of pictures.
    lblBtnTitle->resize(designSize(TitleDesignWidth, TitleDesignHeight));
    imgIcon = makePart(this, QStringLiteral("imgIcon"));
    imgIcon->resize(designSize(IconDesignWidth, IconDesignHeight));

    Vistel1 = new Vistel(this);
    Vistel1->setObjectName(QStringLiteral("Vistel1"));
    Vistel1->resize(designSize(VistelDesignSize, VistelDesignSize));
    // Its design state, as saved with the button: transparent, persistent image.
    host::PropertyBag design;
    design.WriteProperty(QStringLiteral("AutoRedraw"), true, false);
    design.WriteProperty(QStringLiteral("BackStyle"), 0, 1);
    Vistel1->ReadProperties(design);
    Vistel1->setAutoRedraw(true);
    Vistel1->raise();
    // The keyboard reaches the buttons by a click, a window activation or the arrows (Tab too).
    setFocusPolicy(Qt::StrongFocus);
    m_focusMark = new FocusMark(this);

    for (QWidget* part : {static_cast<QWidget*>(imgIcon), static_cast<QWidget*>(lblBtnTitle)})
        part->installEventFilter(this);
    Vistel1->installEventFilter(this);
    // Installed after the press and release handling above, so it sees the mouse first.
    auto* drag = new ButtonDrag(this, [this] {
        if (m_pressed)
            ReturnToRest();
    });
    for (QWidget* part : {static_cast<QWidget*>(this), static_cast<QWidget*>(imgIcon),
                          static_cast<QWidget*>(lblBtnTitle), static_cast<QWidget*>(Vistel1)})
        drag->watch(part);
    connect(Vistel1, &host::Control::MouseDown, this,
            [this](int button, int, float, float) { HandlePress(button); });
    connect(Vistel1, &host::Control::MouseUp, this,
            [this](int button, int shift, float x, float y) { HandleRelease(button, shift, x, y); });
    connect(Vistel1, &host::Control::DblClick, this, [this] { m_secondPress = true; });

    m_maskPicture = builtInMask();
    m_font = extender().ambientFont();
    setTitleCaption(defaultTitle());
    FitToSkin();
    CentreImage(Vistel1);
    applyMask();
}

UserControl1::~UserControl1() = default;

// --- helpers

float UserControl1::twipsX(qreal pixels) const
{
    return static_cast<float>(pixels * twipsPerPixelX());
}

float UserControl1::twipsY(qreal pixels) const
{
    return static_cast<float>(pixels * twipsPerPixelY());
}

host::DispResult UserControl1::pictureFailure(int status, const QString& path) const
{
    const bool french = m_language == 0;
    if (status == static_cast<int>(platform::LoadedPicture::Status::NotFound))
        return host::DispResult::failure(french ? QStringLiteral("Fichier introuvable : %1").arg(path)
                                                : QStringLiteral("File not found: %1").arg(path),
                                         host::DispError::FileNotFound);
    return host::DispResult::failure(french ? QStringLiteral("Image non valide : %1").arg(path)
                                            : QStringLiteral("Invalid picture: %1").arg(path),
                                     host::DispError::InvalidPicture);
}

void UserControl1::setSurfacePicture(const QPixmap& picture, const QPixmap& doubleSize)
{
    m_surfacePicture = picture;
    m_surfacePicture2x = doubleSize;
    update();
}

void UserControl1::followScreenRatio()
{
    m_upPicture2x = doubleSizePicture(m_pictureUp.toString(), m_upPicture);
    m_downPicture2x = doubleSizePicture(m_pictureDown.toString(), m_downPicture);
    const bool ownMask = !m_imageMask.isEmpty() && m_imageMask != QLatin1String("0");
    m_maskPicture2x = ownMask ? doubleSizePicture(m_imageMask, m_maskPicture) : QPixmap();
    setSurfacePicture(m_surfacePicture, m_pressed ? m_downPicture2x : m_upPicture2x);
    applyMask();
}

QPixmap UserControl1::doubleSizePicture(const QString& path, const QPixmap& picture) const
{
    // Not looked for where it is not used: a bar at 100 % reads no file more.
    if (picture.isNull() || devicePixelRatioF() < 1.5)
        return {};
    const QString sibling = host::devicepicture::doubleSizePath(path);
    if (sibling.isEmpty() || !QFileInfo::exists(sibling))
        return {};
    const platform::LoadedPicture loaded = platform::services().pictures->load(sibling);
    return loaded.ok() && loaded.pixmap.size() == picture.size() * 2 ? loaded.pixmap : QPixmap();
}

QImage UserControl1::maskFor(bool doubleSize) const
{
    if (!doubleSize)
        return m_maskPicture.toImage();
    if (!m_maskPicture2x.isNull())
        return m_maskPicture2x.toImage();
    return host::devicepicture::scaled(m_maskPicture.toImage(), m_maskPicture.size() * 2);
}

const QPixmap& UserControl1::deviceSurface(qreal ratio)
{
    const bool doubleSize = ratio >= 1.5 && !m_surfacePicture2x.isNull();
    const auto drawnFrom = std::make_tuple(m_surfacePicture.cacheKey(), m_surfacePicture2x.cacheKey(),
                                           m_maskPicture.cacheKey(), m_maskColour, ratio);
    if (drawnFrom != m_deviceSurfaceOf || m_deviceSurface.isNull()) {
        const QImage skin = (doubleSize ? m_surfacePicture2x : m_surfacePicture).toImage();
        const QSize device = host::devicepicture::deviceSize(m_surfacePicture.size(), ratio);
        m_deviceSurface = QPixmap::fromImage(
            host::devicepicture::cut(skin, maskFor(doubleSize), colourFromLong(m_maskColour).rgb(), device));
        m_deviceSurfaceOf = drawnFrom;
    }
    return m_deviceSurface;
}

void UserControl1::setIconPicture(const QPixmap& picture)
{
    m_iconPicture = picture;
    if (picture.isNull()) {
        // An image without a picture keeps its size.
        imgIcon->clear();
        return;
    }
    imgIcon->setPixmap(picture);
    if (!m_iconStretch)
        imgIcon->resize(picture.size());
}

void UserControl1::CentreImage(QWidget* part)
{
    // Top := height / 2 - part height / 2, Left := width / 2 - part width / 2 (in twips; the same in pixels).
    part->move(static_cast<int>(std::lround((width() - part->width()) / 2.0)),
               static_cast<int>(std::lround((height() - part->height()) / 2.0)));
}

void UserControl1::FitToSkin()
{
    // The button takes the size of the up skin and can be given no other.
    setFixedSize(imgUp->size());
    imgIcon->setGeometry(0, 0, width(), height());
    sizeMayHaveChanged();
}

void UserControl1::UserControl_Resize()
{
    FitToSkin();
    CentreImage(Vistel1);
    // How wide the title may be depends on the button's width.
    placeTitle();
    Vistel1->setAutoRedraw(true);
    if (m_focusMark)
        m_focusMark->setGeometry(rect());
}

void UserControl1::applyMode()
{
    imgIcon->setVisible(m_graphicMode);
    lblBtnTitle->setVisible(!m_graphicMode);
}

void UserControl1::applyMask()
{
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0) || m_maskPicture.isNull()) {
        applyMaskPicture(this, m_maskPicture, colourFromLong(m_maskColour));
        return;
    }
    // At another ratio the outline is cut in the screen's pixels, as the skin is drawn: the button
    // keeps every logical pixel of which the screen shows a part.
    const bool doubleSize = ratio >= 1.5 && !m_surfacePicture2x.isNull();
    const QSize device = host::devicepicture::deviceSize(m_maskPicture.size(), ratio);
    const QImage mask = host::devicepicture::scaled(maskFor(doubleSize), device);
    QRegion region =
        host::devicepicture::logicalRegion(mask, colourFromLong(m_maskColour).rgb(), m_maskPicture.size());
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    setMask(region);
}

void UserControl1::setTitleCaption(const QString& text)
{
    // The label takes its text when it shows: a label's text is announced to the accessibility
    // bridge, whose first use joins the session bus, and a bar's buttons are made before the bar is
    // on the screen. A bar of pictures never shows its titles.
    m_titleText = text;
    placeTitle();
}

void UserControl1::placeTitle()
{
    m_titleSized = false;
    if (lblBtnTitle->isVisible())
        sizeTitle();
    else
        CentreImage(lblBtnTitle);
}

void UserControl1::sizeTitle()
{
    // The design size, grown to the text when it needs more, but not beyond the button's width: the
    // button cuts off what is beyond its edges anyway, and a release on the title is measured from the
    // title's corner, so a title wider than that made the middle of the button dead to clicks.
    if (lblBtnTitle->text() != m_titleText)
        lblBtnTitle->setText(m_titleText);
    const QFontMetrics metrics(lblBtnTitle->font());
    const QSize design = designSize(TitleDesignWidth, TitleDesignHeight);
    const int needed = metrics.horizontalAdvance(m_titleText) + 2;
    lblBtnTitle->resize(std::max(design.width(), std::min(needed, width())),
                        std::max(design.height(), metrics.height()));
    CentreImage(lblBtnTitle);
    m_titleSized = true;
}

void UserControl1::setMaskColourValue(qint32 value)
{
    m_maskColour = value;
    applyMask();
}

void UserControl1::SetToolTips(const QString& text)
{
    for (QObject* child : children()) {
        // The focus mark takes no mouse, and so no tooltip.
        if (auto* part = qobject_cast<QWidget*>(child); part && part != m_focusMark)
            part->setToolTip(text);
    }
}

void UserControl1::showIconeMessage()
{
    QString text;
    QString title;
    if (m_language == 0) {
        title = QStringLiteral("Erreur chemin...");
        text = QStringLiteral("Une icône d'un de vos boutons ne contient pas un chemin valide, \r\n"
                              "veuillez vérifier que le chemin contient le nom et l'extention du fichier !");
    } else {
        title = QStringLiteral("Error way...");
        text = QStringLiteral("An icon of one of your buttons does not contain a valid way, \r\n"
                              "please check that the way contains the name and the extention of the file !");
    }
    platform::services().messages->show(window(), text, title, platform::MsgIcon::Critical,
                                        platform::MsgButtons::Ok);
}

// --- property procedures with side effects

host::DispResult UserControl1::letIcone(const QVariant& value)
{
    m_icone = value;
    const QString path = value.toString();
    auto& pictures = *platform::services().pictures;
    platform::LoadedPicture loaded = pictures.load(path);
    if (loaded.ok()) {
        setIconPicture(loaded.pixmap);
        if (m_extractIcon) {
            setIconPicture(QPixmap());
            return {};
        }
        loaded = pictures.load(m_icone.toString());
        if (loaded.ok()) {
            setIconPicture(loaded.pixmap);
            CentreImage(imgIcon);
            Q_EMIT PropertyChanged(QStringLiteral("Icone"));
            return {};
        }
    }
    // The trapped case: a missing file is told, any other loading error is dropped; the call succeeds.
    setIconPicture(QPixmap());
    if (loaded.status == platform::LoadedPicture::Status::NotFound)
        showIconeMessage();
    return {};
}

QVariant UserControl1::getIcone()
{
    if (m_extractIcon) {
        setIconPicture(QPixmap());
        return m_icone;
    }
    const platform::LoadedPicture loaded = platform::services().pictures->load(m_icone.toString());
    if (loaded.ok()) {
        setIconPicture(loaded.pixmap);
        CentreImage(imgIcon);
    } else {
        setIconPicture(QPixmap());
        if (loaded.status == platform::LoadedPicture::Status::NotFound)
            showIconeMessage();
    }
    return m_icone;
}

host::DispResult UserControl1::letProgramme(const QVariant& value)
{
    m_programme = value;
    const QPointer<UserControl1> self(this);
    platform::services().events->doEvents();
    if (!self)
        return {};
    redrawTargetIcon(value.toString());
    if (self)
        Q_EMIT PropertyChanged(QStringLiteral("Programme"));
    return {};
}

QVariant UserControl1::getProgramme()
{
    const QVariant value = m_programme;
    const QPointer<UserControl1> self(this);
    platform::services().events->doEvents();
    if (self)
        redrawTargetIcon(value.toString());
    return value;
}

void UserControl1::redrawTargetIcon(const QString& target)
{
    // Once ExtractIcon has hidden the target's icon it never shows again, and looking the icon up is
    // the costly part of a button: a hidden icon is not drawn.
    if (!Vistel1->isHidden())
        Vistel1->setProgramme(target);
}

host::DispResult UserControl1::loadPictureUp()
{
    const QString path = m_pictureUp.toString();
    auto& pictures = *platform::services().pictures;
    host::DispResult result;
    platform::LoadedPicture loaded = pictures.load(path);
    if (loaded.ok()) {
        m_upPicture = loaded.pixmap;
        // The surface's picture is a second load of the same file.
        loaded = pictures.load(path);
    }
    if (!loaded.ok()) {
        // A usable state: no skin, the template's size.
        result = pictureFailure(static_cast<int>(loaded.status), path);
        m_upPicture = QPixmap();
        loaded.pixmap = QPixmap();
    }
    imgUp->setPicture(m_upPicture, designSize(UpDesignWidth, UpDesignHeight));
    m_upPicture2x = doubleSizePicture(path, m_upPicture);
    setSurfacePicture(loaded.pixmap, m_upPicture2x);
    FitToSkin();
    return result;
}

host::DispResult UserControl1::loadPictureDown()
{
    const QString path = m_pictureDown.toString();
    const platform::LoadedPicture loaded = platform::services().pictures->load(path);
    host::DispResult result;
    m_downPicture = loaded.ok() ? loaded.pixmap : QPixmap();
    m_downPicture2x = doubleSizePicture(path, m_downPicture);
    if (!loaded.ok())
        result = pictureFailure(static_cast<int>(loaded.status), path);
    imgDown->setPicture(m_downPicture, designSize(DownDesignWidth, DownDesignHeight));
    return result;
}

host::DispResult UserControl1::loadImageMask()
{
    // "0" (the default) and the empty text name no file: the built-in mask.
    const QString path = m_imageMask;
    host::DispResult result;
    m_maskPicture2x = QPixmap();
    if (path.isEmpty() || path == QLatin1String("0")) {
        m_maskPicture = builtInMask();
    } else {
        const platform::LoadedPicture loaded = platform::services().pictures->load(path);
        if (loaded.ok() && !loaded.pixmap.isNull()) {
            m_maskPicture = loaded.pixmap;
            m_maskPicture2x = doubleSizePicture(path, m_maskPicture);
        } else {
            m_maskPicture = builtInMask();
            result = pictureFailure(static_cast<int>(loaded.status), path);
        }
    }
    applyMask();
    return result;
}

void UserControl1::letGraphicMode(bool value)
{
    m_graphicMode = value;
    applyMode();
    Q_EMIT PropertyChanged(QStringLiteral("GraphicMode"));
}

void UserControl1::letExtractIcon(bool value)
{
    m_extractIcon = value;
    // Only ever hides: setting True again does not show Vistel1.
    if (!value)
        Vistel1->hide();
    Q_EMIT PropertyChanged(QStringLiteral("ExtractIcon"));
}

// --- dispatch

QVariant UserControl1::getProperty(host::DispId id, host::DispResult* result)
{
    host::DispResult local;
    host::DispResult& r = result ? *result : local;
    r = {};
    switch (id) {
    case ButtonDispId::BackColor:
        return m_backColor;
    case ButtonDispId::ForeColor:
        return m_foreColor;
    case ButtonDispId::Enabled:
        return m_enabled;
    case ButtonDispId::Font:
        return m_font;
    case ButtonDispId::BackStyle:
        return m_backStyle;
    case ButtonDispId::BorderStyle:
        return m_borderStyle;
    case ButtonDispId::Refresh:
        r = invoke(id);
        return {};
    case ButtonDispId::Icone:
        return getIcone();
    case ButtonDispId::Programme:
        return getProgramme();
    case ButtonDispId::PictureUp:
        r = loadPictureUp();
        return m_pictureUp;
    case ButtonDispId::PictureDown:
        r = loadPictureDown();
        return m_pictureDown;
    case ButtonDispId::Button_Title:
        return m_buttonTitle;
    case ButtonDispId::ToolTipText:
        return imgIcon->toolTip();
    case ButtonDispId::IconMove:
        return m_iconMove;
    case ButtonDispId::IconMovingValue:
        return m_iconMovingValue;
    case ButtonDispId::OpenWindowsStyle:
        return m_openWindowsStyle;
    case ButtonDispId::GraphicMode:
        applyMode();
        return m_graphicMode;
    case ButtonDispId::TextModeTitle:
        return m_titleText;
    case ButtonDispId::MaskColor:
        return m_maskColour;
    case ButtonDispId::ImageMask:
        r = loadImageMask();
        return m_imageMask;
    case ButtonDispId::ExtractIcon:
        if (!m_extractIcon)
            Vistel1->hide();
        return m_extractIcon;
    case ButtonDispId::Language:
        return m_language;
    default:
        r = host::DispResult::failure(QStringLiteral("No property with dispatch identifier %1").arg(id),
                                      host::DispError::NoSuchMember);
        return {};
    }
}

host::DispResult UserControl1::putProperty(host::DispId id, const QVariant& value)
{
    host::DispResult result;
    bool flag = false;
    int integer = 0;
    qint32 number = 0;
    const auto changed = [this](const char* name) {
        Q_EMIT PropertyChanged(QString::fromLatin1(name));
        return host::DispResult();
    };
    switch (id) {
    case ButtonDispId::BackColor:
        if (!host::coerce::toLong(value, &number, &result))
            return result;
        m_backColor = number;
        return changed("BackColor");
    case ButtonDispId::ForeColor:
        if (!host::coerce::toLong(value, &number, &result))
            return result;
        m_foreColor = number;
        return changed("ForeColor");
    case ButtonDispId::Enabled:
        if (!host::coerce::toBoolean(value, &flag, &result))
            return result;
        m_enabled = flag;
        return changed("Enabled");
    case ButtonDispId::Font:
        if (value.typeId() != QMetaType::QFont)
            return host::DispResult::failure(QStringLiteral("Type mismatch"), host::DispError::TypeMismatch);
        m_font = value.value<QFont>();
        return changed("Font");
    case ButtonDispId::BackStyle:
    case ButtonDispId::BorderStyle:
        if (!host::coerce::toInteger(value, &integer, &result))
            return result;
        if (id == ButtonDispId::BackStyle) {
            m_backStyle = integer;
            return changed("BackStyle");
        }
        m_borderStyle = integer;
        return changed("BorderStyle");
    case ButtonDispId::Refresh:
        return invoke(id);
    case ButtonDispId::Icone:
        return letIcone(value);
    case ButtonDispId::Programme:
        return letProgramme(value);
    case ButtonDispId::PictureUp:
        m_pictureUp = value;
        result = loadPictureUp();
        // The stored path has changed even when its file cannot be loaded.
        changed("PictureUp");
        return result;
    case ButtonDispId::PictureDown:
        m_pictureDown = value;
        result = loadPictureDown();
        changed("PictureDown");
        return result;
    case ButtonDispId::Button_Title:
        m_buttonTitle = value;
        return changed("Button_Title");
    case ButtonDispId::ToolTipText:
        imgIcon->setToolTip(value.toString());
        return changed("ToolTipText");
    case ButtonDispId::IconMove:
        if (!host::coerce::toBoolean(value, &flag, &result))
            return result;
        m_iconMove = flag;
        return changed("IconMove");
    case ButtonDispId::IconMovingValue:
        if (!host::coerce::toInteger(value, &integer, &result))
            return result;
        m_iconMovingValue = integer;
        return changed("IconMovingValue");
    case ButtonDispId::OpenWindowsStyle:
        if (!host::coerce::toInteger(value, &integer, &result))
            return result;
        m_openWindowsStyle = integer;
        return changed("OpenWindowsStyle");
    case ButtonDispId::GraphicMode:
        if (!host::coerce::toBoolean(value, &flag, &result))
            return result;
        letGraphicMode(flag);
        return {};
    case ButtonDispId::TextModeTitle:
        setTitleCaption(value.toString());
        return changed("TextModeTitle");
    case ButtonDispId::MaskColor:
        if (!host::coerce::toLong(value, &number, &result))
            return result;
        setMaskColourValue(number);
        return changed("MaskColor");
    case ButtonDispId::ImageMask:
        m_imageMask = value.toString();
        result = loadImageMask();
        changed("ImageMask");
        return result;
    case ButtonDispId::ExtractIcon:
        if (!host::coerce::toBoolean(value, &flag, &result))
            return result;
        letExtractIcon(flag);
        return {};
    case ButtonDispId::Language:
        if (!host::coerce::toInteger(value, &integer, &result))
            return result;
        m_language = integer;
        return changed("Language");
    default:
        return host::DispResult::failure(QStringLiteral("No property with dispatch identifier %1").arg(id),
                                         host::DispError::NoSuchMember);
    }
}

host::DispResult UserControl1::invoke(host::DispId id)
{
    // Refresh does nothing.
    if (id == ButtonDispId::Refresh)
        return {};
    return host::Control::invoke(id);
}

// --- persistence

void UserControl1::InitProperties()
{
    m_backColor = 0;
    m_foreColor = 0;
    m_enabled = false;
    m_font = extender().ambientFont();
    m_backStyle = 0;
    m_borderStyle = 0;
    m_icone = QString();
    m_programme = QString();
    m_pictureUp = QString();
    m_pictureDown = QString();
    m_buttonTitle = QString();
    m_iconMove = false;
    m_iconMovingValue = 0;
    m_openWindowsStyle = 1;
    m_graphicMode = false;
    m_imageMask = QStringLiteral("0");
    m_extractIcon = false;
    m_language = 0;
}

void UserControl1::ReadProperties(const host::PropertyBag& bag)
{
    m_backColor = bagLong(bag, QStringLiteral("BackColor"), 0);
    m_foreColor = bagLong(bag, QStringLiteral("ForeColor"), 0);
    m_enabled = bagBoolean(bag, QStringLiteral("Enabled"), false);
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), extender().ambientFont());
    m_font = font.typeId() == QMetaType::QFont ? font.value<QFont>() : extender().ambientFont();
    m_backStyle = bagInteger(bag, QStringLiteral("BackStyle"), 0);
    m_borderStyle = bagInteger(bag, QStringLiteral("BorderStyle"), 0);
    // Paths are stored only: nothing is loaded, drawn or applied until the owner sets or reads them.
    m_icone = bag.ReadProperty(QStringLiteral("Icone"), QString());
    m_programme = bag.ReadProperty(QStringLiteral("Programme"), QString());
    m_pictureUp = bag.ReadProperty(QStringLiteral("PictureUp"), QString());
    m_pictureDown = bag.ReadProperty(QStringLiteral("PictureDown"), QString());
    m_buttonTitle = bag.ReadProperty(QStringLiteral("Button_Title"), QString());
    imgIcon->setToolTip(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
    m_iconMove = bagBoolean(bag, QStringLiteral("IconMove"), false);
    m_iconMovingValue = bagInteger(bag, QStringLiteral("IconMovingValue"), 0);
    m_openWindowsStyle = bagInteger(bag, QStringLiteral("OpenWindowsStyle"), 1);
    m_graphicMode = bagBoolean(bag, QStringLiteral("GraphicMode"), false);
    setTitleCaption(bag.ReadProperty(QStringLiteral("TextModeTitle"), defaultTitle()).toString());
    setMaskColourValue(bagLong(bag, QStringLiteral("MaskColor"), DefaultMaskColor));
    m_imageMask = bag.ReadProperty(QStringLiteral("ImageMask"), QStringLiteral("0")).toString();
    m_extractIcon = bagBoolean(bag, QStringLiteral("ExtractIcon"), false);
    m_language = bagInteger(bag, QStringLiteral("Language"), 0);
}

void UserControl1::WriteProperties(host::PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, 0);
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, 0);
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled, false);
    bag.WriteProperty(QStringLiteral("Font"), m_font, extender().ambientFont());
    bag.WriteProperty(QStringLiteral("BackStyle"), m_backStyle, 0);
    bag.WriteProperty(QStringLiteral("BorderStyle"), m_borderStyle, 0);
    bag.WriteProperty(QStringLiteral("Icone"), m_icone, QString());
    bag.WriteProperty(QStringLiteral("Programme"), m_programme, QString());
    bag.WriteProperty(QStringLiteral("PictureUp"), m_pictureUp, QString());
    bag.WriteProperty(QStringLiteral("PictureDown"), m_pictureDown, QString());
    bag.WriteProperty(QStringLiteral("Button_Title"), m_buttonTitle, QString());
    bag.WriteProperty(QStringLiteral("ToolTipText"), imgIcon->toolTip(), QString());
    bag.WriteProperty(QStringLiteral("IconMove"), m_iconMove, false);
    bag.WriteProperty(QStringLiteral("IconMovingValue"), m_iconMovingValue, 0);
    bag.WriteProperty(QStringLiteral("OpenWindowsStyle"), m_openWindowsStyle, 1);
    bag.WriteProperty(QStringLiteral("GraphicMode"), m_graphicMode, false);
    bag.WriteProperty(QStringLiteral("TextModeTitle"), m_titleText, defaultTitle());
    bag.WriteProperty(QStringLiteral("MaskColor"), m_maskColour, DefaultMaskColor);
    bag.WriteProperty(QStringLiteral("ImageMask"), m_imageMask, QStringLiteral("0"));
    bag.WriteProperty(QStringLiteral("ExtractIcon"), m_extractIcon, false);
    bag.WriteProperty(QStringLiteral("Language"), m_language, 0);
}

// --- drawing and mouse

void UserControl1::paintEvent(QPaintEvent*)
{
    if (m_surfacePicture.isNull())
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0)) {
        painter.drawPixmap(0, 0, m_surfacePicture);
        return;
    }
    // Pixel for pixel in the screen's pixels, which Qt would otherwise scale unevenly.
    const QPixmap& surface = deviceSurface(ratio);
    painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(surface.size()) / ratio), surface,
                       QRectF(surface.rect()));
}

void UserControl1::showEvent(QShowEvent* event)
{
    host::Control::showEvent(event);
    if (!event->spontaneous())
        SetToolTips(extender().ToolTipText());
}

QString UserControl1::accessibleTitle() const
{
    const QString title = m_buttonTitle.toString().trimmed();
    if (!title.isEmpty())
        return title;
    return platform::services().icons->nameFor(m_programme.toString(), m_language);
}

QString UserControl1::accessibleDescription() const
{
    return extender().ToolTipText();
}

void UserControl1::pressFromOutside()
{
    Q_EMIT Click();
}

void UserControl1::menuFromOutside()
{
    Q_EMIT MouseUp(2, 0, twipsX(width() / 2.0), twipsY(height() / 2.0));
}

void UserControl1::HandlePress(int button)
{
    if (!(button & 1))
        return;
    // A press whose release never came (a screen locker took the mouse) is over: this press starts
    // from the button at rest, not from an icon already shrunk.
    if (m_pressed)
        ReturnToRest();
    m_pressed = true;
    setSurfacePicture(m_downPicture, m_downPicture2x);
    if (m_iconMove)
        PressIcon();
}

void UserControl1::ReturnToRest()
{
    m_pressed = false;
    setSurfacePicture(m_upPicture, m_upPicture2x);
    if (m_iconMove)
        ReleaseIcon();
}

void UserControl1::HandleRelease(int button, int shift, float x, float y)
{
    const bool secondPress = std::exchange(m_secondPress, false);
    // Only the left, right and middle buttons are the button's: the back and forward buttons of a
    // mouse (mask 0) would count as a left release and start the target.
    if (!(button & (1 | 2 | 4)))
        return;
    const bool inside = x > 0 && y > 0 && x < extender().Width() && y < extender().Height();
    if (!inside) {
        ReturnToRest();
        return;
    }
    if (button & 2) {
        // The container answers with its menu, which takes the mouse: the release of a left button
        // still held would never come back here, and the button would stay pressed.
        if (m_pressed)
            ReturnToRest();
        Q_EMIT MouseUp(button, shift, x, y);
        return;
    }
    ReturnToRest();
    // Many users double-click out of habit: the second half of a double click (the desktop's time
    // and distance) starts the target no second time.
    if (secondPress)
        return;
    Q_EMIT Click();
}

void UserControl1::PressIcon()
{
    if (m_extractIcon)
        return;
    m_iconSizeBeforePress = imgIcon->size();
    m_iconStretch = true;
    imgIcon->setScaledContents(true);
    // Each side loses IconMovingValue pixels, down to nothing and never below. A negative value
    // makes the icon grow, up to a few times the button: beyond that it only shows less of itself,
    // and the stretched picture would take seconds and gigabytes at every press.
    const int limit = 4 * std::max({imgIcon->width(), imgIcon->height(), width(), height()});
    const auto pressed = [&](int side) {
        return std::clamp(side - m_iconMovingValue, 0, std::max(side, limit));
    };
    imgIcon->resize(pressed(imgIcon->width()), pressed(imgIcon->height()));
    CentreImage(imgIcon);
}

void UserControl1::ReleaseIcon()
{
    if (m_extractIcon)
        return;
    m_iconStretch = false;
    imgIcon->setScaledContents(false);
    if (!m_iconPicture.isNull())
        imgIcon->resize(m_iconPicture.size());
    else if (m_iconSizeBeforePress.isValid())
        imgIcon->resize(m_iconSizeBeforePress);
    m_iconSizeBeforePress = QSize();
    CentreImage(imgIcon);
}

bool UserControl1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip &&
        (watched == imgIcon || watched == lblBtnTitle || watched == Vistel1))
        return showPlainToolTip(static_cast<QWidget*>(watched), static_cast<QHelpEvent*>(event));
    if (watched != imgIcon && watched != lblBtnTitle)
        return host::Control::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        if (watched == lblBtnTitle && !m_titleSized)
            sizeTitle();
        return host::Control::eventFilter(watched, event);
    case QEvent::MouseButtonPress:
        HandlePress(buttonMask(static_cast<QMouseEvent*>(event)->button()));
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The icon shows its picture at the picture's own size, often larger than the button: measured
        // from its own corner, a release in the middle of such a button would count as outside it.
        const QPointF at = watched == imgIcon ? imgIcon->mapTo(this, mouse->position()) : mouse->position();
        HandleRelease(buttonMask(mouse->button()), shiftMask(mouse->modifiers()), twipsX(at.x()),
                      twipsY(at.y()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is no press (no MouseDown), and its release no click.
        m_secondPress = true;
        return true;
    default:
        return host::Control::eventFilter(watched, event);
    }
}

bool UserControl1::event(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        followScreenRatio();
    if (event->type() == QEvent::ToolTip)
        return showPlainToolTip(this, static_cast<QHelpEvent*>(event));
    return host::Control::event(event);
}

bool UserControl1::showPlainToolTip(QWidget* part, QHelpEvent* help)
{
    // The tooltip is the button's title, the user's text: Qt would draw one that looks like markup
    // ("<b>Mail</b>") as formatted text, so such a text is given escaped.
    const QString tip = part->toolTip();
    if (tip.isEmpty() || !Qt::mightBeRichText(tip))
        return part == this ? host::Control::event(help) : false;
    QToolTip::showText(
        help->globalPos(),
        QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() + QStringLiteral("</p>"), part);
    return true;
}

void UserControl1::mousePressEvent(QMouseEvent* event)
{
    HandlePress(buttonMask(event->button()));
}

void UserControl1::mouseReleaseEvent(QMouseEvent* event)
{
    HandleRelease(buttonMask(event->button()), shiftMask(event->modifiers()), twipsX(event->position().x()),
                  twipsY(event->position().y()));
}

void UserControl1::mouseDoubleClickEvent(QMouseEvent*)
{
    m_secondPress = true;
}

void UserControl1::focusInEvent(QFocusEvent* event)
{
    host::Control::focusInEvent(event);
    // As on most desktops, the mark shows once the keyboard is used: a click or a window brought
    // forward gives the keyboard without it, a key that moves it there shows it, and a menu closing
    // over a marked button leaves it.
    if (event->reason() != Qt::PopupFocusReason)
        showFocusMark(event->reason() != Qt::MouseFocusReason &&
                      event->reason() != Qt::ActiveWindowFocusReason);
}

void UserControl1::focusOutEvent(QFocusEvent* event)
{
    host::Control::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        showFocusMark(false);
}

void UserControl1::keyPressEvent(QKeyEvent* event)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    const bool startKey =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier
            ? event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space
            : false;
    // The keyboard is in use: where it is shows, also when an arrow finds no button further.
    showFocusMark(true);
    if (!menuKey && !startKey) {
        // The bar moves the keyboard along its buttons.
        event->ignore();
        return;
    }
    event->accept();
    // A key held down repeats: it starts the target once.
    if (event->isAutoRepeat())
        return;
    if (menuKey)
        menuFromOutside();
    else
        pressFromOutside();
}

void UserControl1::showFocusMark(bool shown)
{
    m_focusMark->setGeometry(rect());
    m_focusMark->raise();
    m_focusMark->setVisible(shown && hasFocus());
}

DOVI_CONTROL_LIBRARY(DOVIBUTTON_PROGID, UserControl1, ButtonLibraryTag)
