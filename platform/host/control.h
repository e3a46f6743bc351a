#pragma once

#include "platform/export.h"
#include "platform/host/dispatch.h"
#include "platform/host/extender.h"
#include "platform/host/propertybag.h"

#include <QColor>
#include <QSize>
#include <QVariant>
#include <QWidget>

#include <memory>

class QBitmap;
class QPixmap;

namespace host {

// A control created by ProgID. Properties are reached late-bound, by dispatch identifier; events are
// the signals below. Mouse coordinates of events are twips, from the corner of the part that got them.
class DOVI_PLATFORM_EXPORT Control : public QWidget {
    Q_OBJECT
public:
    explicit Control(QWidget* parent = nullptr);
    ~Control() override;

    virtual QString progId() const = 0;
    // Several gets have side effects (they reload pictures or redraw), hence not const. A get that
    // fails still returns what it can and tells why in result.
    virtual QVariant getProperty(DispId id, DispResult* result = nullptr) = 0;
    virtual DispResult putProperty(DispId id, const QVariant& value) = 0;
    virtual DispResult invoke(DispId id);

    virtual void InitProperties() = 0;
    virtual void ReadProperties(const PropertyBag& bag) = 0;
    virtual void WriteProperties(PropertyBag& bag) const = 0;

    // What the container keeps for this control.
    Extender& extender() { return m_extender; }
    const Extender& extender() const { return m_extender; }

    // The mouse-button mask of events: 1 left, 2 right, 4 middle.
    static int buttonMask(Qt::MouseButtons buttons);
    // The shift mask of events: 1 Shift, 2 Ctrl, 4 Alt.
    static int shiftMask(Qt::KeyboardModifiers modifiers);
    // The key code of key events (the Windows virtual-key numbers: 'A' is 65, Enter 13, F1 112).
    static int keyCode(int qtKey);
    // A colour number with red in the low byte.
    static QColor colourFromLong(qint32 value);
    static qint32 longFromColour(const QColor& colour);

    // Where picture has colour maskColour the widget is see-through and takes no mouse; outside the
    // picture too. A picture that is all mask colour leaves nothing visible.
    static void applyMaskPicture(QWidget* widget, const QPixmap& picture, const QColor& maskColour);

Q_SIGNALS:
    void PropertyChanged(const QString& name);
    void Click();
    void DblClick();
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void Resize();
    void Paint();

protected:
    // The control's own resize handling, run once for each change of size and at once, also while the
    // control is hidden (Qt would hold the resize event back until it is shown).
    virtual void UserControl_Resize() {}
    void resizeEvent(QResizeEvent* event) override;
    // Call after changing the size from inside the control.
    void sizeMayHaveChanged();
    // Twips per pixel of the screen.
    static int twipsPerPixelX();
    static int twipsPerPixelY();

private:
    friend class Extender;

    Extender m_extender{this};
    QSize m_handledSize;
};

// Creates instances of one control class; handed out by a library's DllGetClassObject.
class DOVI_PLATFORM_EXPORT ClassFactory {
public:
    virtual ~ClassFactory();
    virtual std::unique_ptr<Control> CreateInstance(QWidget* parent) = 0;
};

} // namespace host
