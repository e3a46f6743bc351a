#pragma once

#include "button/dispids.h"
#include "platform/host/control.h"
#include "platform/host/libraryexports.h"

#include <QColor>
#include <QFont>
#include <QPixmap>

#include <tuple>

class QHelpEvent;
class QLabel;
class Vistel;

// A picture the button holds without showing it by itself (its skins at rest and pressed), with the
// size it has on the button. Only the surface and the icon are drawn: these need no window of their own.
class HeldPicture final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QPixmap pixmap READ pixmap)
    Q_PROPERTY(QSize size READ size)
public:
    HeldPicture(const QString& name, QSize size, QObject* parent);

    const QPixmap& pixmap() const { return m_pixmap; }
    QSize size() const { return m_size; }
    // Without a picture, the part keeps the size given.
    void setPicture(const QPixmap& picture, QSize sizeWithout);

private:
    QPixmap m_pixmap;
    QSize m_size;
};

// Counts this library's live controls (DllCanUnloadNow).
struct ButtonLibraryTag {};

// The launcher button: a skinned, shaped picture button that shows an icon or a title and tells its
// container when it is clicked (Click for a left or middle release inside it, MouseUp for a right one).
// Its size is its up skin's; its outline and hit area are where the mask picture is not the mask colour.
class UserControl1 : public host::Control {
    Q_OBJECT
public:
    explicit UserControl1(QWidget* parent = nullptr);
    ~UserControl1() override;

    QString progId() const override { return QStringLiteral(DOVIBUTTON_PROGID); }
    // Gets of Programme, Icone, PictureUp, PictureDown, ImageMask, GraphicMode and ExtractIcon have
    // side effects (reloading, redrawing, re-applying).
    QVariant getProperty(host::DispId id, host::DispResult* result = nullptr) override;
    host::DispResult putProperty(host::DispId id, const QVariant& value) override;
    host::DispResult invoke(host::DispId id) override;

    void InitProperties() override;
    void ReadProperties(const host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) const override;

    // For the accessibility tree: the title, or without one what the desktop calls the target; the
    // tooltip.
    QString accessibleTitle() const;
    QString accessibleDescription() const;
    // A press or a menu asked for otherwise than by the mouse (an accessibility action, a key):
    // Click, or MouseUp of the right button at the button's centre.
    void pressFromOutside();
    void menuFromOutside();

    // The built-in 46 x 46 mask picture: RGB(49, 45, 45) with white rounded corners.
    static QPixmap builtInMask();
    static constexpr qint32 DefaultMaskColor = 0xFF80FF;

protected:
    void UserControl_Resize() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Return, Enter and Space start the target; the Menu key and Shift+F10 open the container's menu
    // at the button. Other keys go to the container.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Shows a part's tooltip as plain text; false when Qt's own handling is to show it.
    bool showPlainToolTip(QWidget* part, QHelpEvent* help);
    // Property procedures.
    host::DispResult letIcone(const QVariant& value);
    QVariant getIcone();
    host::DispResult letProgramme(const QVariant& value);
    QVariant getProgramme();
    void redrawTargetIcon(const QString& target);
    host::DispResult loadPictureUp();
    host::DispResult loadPictureDown();
    host::DispResult loadImageMask();
    void letGraphicMode(bool value);
    void letExtractIcon(bool value);
    void setTitleCaption(const QString& text);
    // Sizes the title now when it is on the screen, else when it first shows; centres it either way.
    void placeTitle();
    // Measures the title and centres it. Measuring loads the fonts, which a bar of pictures never
    // needs: a title that is not on the screen is measured when it first shows.
    void sizeTitle();
    void setMaskColourValue(qint32 value);

    // Layout of the parts and the press and release of the button.
    void FitToSkin();
    void CentreImage(QWidget* part);
    void applyMode();
    void applyMask();
    void SetToolTips(const QString& text);
    void HandlePress(int button);
    void HandleRelease(int button, int shift, float x, float y);
    // The up skin and the icon at its own size again; the press is over.
    void ReturnToRest();
    void PressIcon();
    void ReleaseIcon();

    void showFocusMark(bool shown);
    void setIconPicture(const QPixmap& picture);
    void setSurfacePicture(const QPixmap& picture, const QPixmap& doubleSize);
    // On a screen of another ratio: the @2x pictures looked for again, the outline cut again.
    void followScreenRatio();
    // The @2x sibling of a skin or mask file, where the screen's ratio is 1.5 or more and the file
    // is there at twice the size of picture; a null picture otherwise.
    QPixmap doubleSizePicture(const QString& path, const QPixmap& picture) const;
    // The mask picture and its @2x sibling (scaled from it where there is none) for a surface.
    QImage maskFor(bool doubleSize) const;
    // The surface in the screen's pixels, cut by the mask, at a ratio other than 1.
    const QPixmap& deviceSurface(qreal ratio);
    void showIconeMessage();
    host::DispResult pictureFailure(int status, const QString& path) const;
    float twipsX(qreal pixels) const;
    float twipsY(qreal pixels) const;

    host::InstanceCount<ButtonLibraryTag> m_instance;

    // Constituents, named as in the design.
    Vistel* Vistel1;
    QLabel* lblBtnTitle;
    HeldPicture* imgDown;
    HeldPicture* imgUp;
    QLabel* imgIcon;
    QWidget* m_focusMark = nullptr;

    // Stored values.
    qint32 m_backColor = 0;
    qint32 m_foreColor = 0;
    bool m_enabled = false;
    QFont m_font;
    int m_backStyle = 0;
    int m_borderStyle = 0;
    QVariant m_icone{QString()};
    QVariant m_programme{QString()};
    QVariant m_pictureUp{QString()};
    QVariant m_pictureDown{QString()};
    QVariant m_buttonTitle{QString()};
    bool m_iconMove = false;
    int m_iconMovingValue = 0;
    int m_openWindowsStyle = 1;
    bool m_graphicMode = false;
    QString m_imageMask = QStringLiteral("0");
    bool m_extractIcon = false;
    int m_language = 0;

    // The surface: its current picture (a skin), its mask picture and mask colour.
    QPixmap m_surfacePicture;
    QPixmap m_maskPicture;
    // Their @2x siblings, null where there are none or the screen does not need them.
    QPixmap m_surfacePicture2x;
    QPixmap m_maskPicture2x;
    QPixmap m_upPicture2x;
    QPixmap m_downPicture2x;
    // The surface as last drawn at a ratio other than 1, and what it was drawn from.
    QPixmap m_deviceSurface;
    std::tuple<qint64, qint64, qint64, qint32, qreal> m_deviceSurfaceOf{};
    qint32 m_maskColour = DefaultMaskColor;
    // The pictures held by imgUp, imgDown and imgIcon.
    QPixmap m_upPicture;
    QPixmap m_downPicture;
    QPixmap m_iconPicture;
    bool m_iconStretch = false;
    // A left press shows the down skin until its release (or a menu takes the mouse).
    bool m_pressed = false;
    // The press under way is the second of a double click: its release starts nothing more.
    bool m_secondPress = false;
    // The title's text; lblBtnTitle takes it when it first shows (sizeTitle).
    QString m_titleText;
    bool m_titleSized = false;
    // imgIcon's size before PressIcon, given back by ReleaseIcon when imgIcon has no picture.
    QSize m_iconSizeBeforePress;
};
