#pragma once

#include "platform/export.h"
#include "platform/host/dispatch.h"
#include "platform/host/extender.h"
#include "platform/host/propertybag.h"

#include <QVariant>
#include <QWidget>

namespace host {

// A control created by ProgID. Properties are reached late-bound, by dispatch identifier; events are
// the signals below. Mouse coordinates of events are twips, from the corner of the part that got them.
class DOVI_PLATFORM_EXPORT Control : public QWidget {
    Q_OBJECT
public:
    explicit Control(QWidget* parent = nullptr);
    ~Control() override;

    virtual QString progId() const = 0;
    // Several gets have side effects (they reload pictures or redraw), hence not const.
    virtual QVariant getProperty(DispId id) = 0;
    virtual DispResult putProperty(DispId id, const QVariant& value) = 0;
    virtual DispResult invoke(DispId id);

    virtual void InitProperties() = 0;
    virtual void ReadProperties(const PropertyBag& bag) = 0;
    virtual void WriteProperties(PropertyBag& bag) const = 0;

    // What the container keeps for this control.
    Extender& extender() { return m_extender; }
    const Extender& extender() const { return m_extender; }

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

private:
    Extender m_extender{this};
};

// Creates instances of one control class; handed out by a library's DllGetClassObject.
class DOVI_PLATFORM_EXPORT ClassFactory {
public:
    virtual ~ClassFactory();
    virtual std::unique_ptr<Control> CreateInstance(QWidget* parent) = 0;
};

} // namespace host
