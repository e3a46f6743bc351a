#pragma once

#include "picture/dispids.h"
#include "platform/host/control.h"
#include "platform/host/libraryexports.h"

#include <QImage>
#include <QPixmap>

// Counts this library's live controls (DllCanUnloadNow).
struct VistelLibraryTag {};

// The picture control: shows the icon the desktop associates with a program, document, folder or
// address, with its own background colour see-through, and passes its mouse and key events on.
// Drawing (DrawTargetIcon) happens at InitProperties and at every Let and Get of Programme, never else.
class Vistel : public host::Control {
    Q_OBJECT
public:
    explicit Vistel(QWidget* parent = nullptr);
    ~Vistel() override;

    QString progId() const override { return QStringLiteral(VISTEL_PROGID); }
    QVariant getProperty(host::DispId id, host::DispResult* result = nullptr) override;
    host::DispResult putProperty(host::DispId id, const QVariant& value) override;

    void InitProperties() override;
    void ReadProperties(const host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) const override;

    // Typed access, with the same side effects as dispatch.
    bool AutoRedraw();
    void setAutoRedraw(bool value);
    QVariant Picture(host::DispResult* result = nullptr);
    host::DispResult setPicture(const QVariant& path);
    QString Programme();
    void setProgramme(const QString& path);
    int BackStyle() const { return m_backStyle; }
    host::DispResult setBackStyle(int value);
    int BorderStyle() const { return m_borderStyle; }
    host::DispResult setBorderStyle(int value);

    // The design-time background colours: of the surface (see-through after drawing) and of the
    // scratch surface picTmpIcon (skipped by the copy).
    static QColor surfaceBackColor() { return QColor(255, 0, 255); }
    static QColor scratchBackColor() { return QColor(1, 254, 254); }
    // The surface's picture as the last drawing left it; null before the first drawing.
    QImage surfacePicture() const { return m_surfacePicture; }
    // The current size of picTmpIcon, in pixels.
    QSize scratchSize() const { return m_scratchSize; }

protected:
    // Moved to a screen of another ratio, the icon is taken again at that ratio.
    bool event(QEvent* event) override;
    void UserControl_Resize() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // False when the control was deleted while the drawing let events run: the caller may then
    // touch nothing of it.
    bool DrawTargetIcon();
    // Where the surface picture has the surface background colour the control is see-through (with
    // BackStyle 0, transparent; BackStyle 1 shows the whole rectangle).
    void applyRegion();
    host::DispResult loadScratchPicture();
    float twipsX(qreal pixels) const;
    float twipsY(qreal pixels) const;

    host::InstanceCount<VistelLibraryTag> m_instance;
    bool m_autoRedraw = false;
    bool m_surfaceAutoRedraw = true;
    QVariant m_picture{QString()};
    QString m_programme;
    // Working copy of the path handed to the icon lookup.
    QString m_iconPath;
    int m_backStyle = 1;
    int m_borderStyle = 0;
    QPixmap m_scratchPicture;
    QSize m_scratchSize;
    QImage m_surfacePicture;
    // The surface as drawn where the screen's pixels are not the logical ones, its background
    // transparent; null otherwise.
    QImage m_surfaceDrawn;
    // A drawing that finds a newer one started during its DoEvents leaves the result to that one.
    quint64 m_drawGeneration = 0;
};
