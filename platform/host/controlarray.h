#pragma once

#include "platform/export.h"
#include "platform/host/control.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

namespace host {

class ControlHost;

// A container-side array of controls of one ProgID, indexed from 0. Element 0 is the hidden template
// made when the array is created; every element loaded later starts with the template's properties
// and its position and size, and is hidden until made visible. Element events come out with the index.
// The array owns its elements; one deleted by someone else (its container going first) is forgotten.
class DOVI_PLATFORM_EXPORT ControlArray : public QObject {
    Q_OBJECT
public:
    ControlArray(const QString& progId, QWidget* container, ControlHost& host);
    ~ControlArray() override;

    // Creates element 0. False with the reason when the control library cannot give one.
    bool createTemplate(QString* error = nullptr);

    // Loads element index (which must be free). Null with the reason on failure.
    Control* load(int index, QString* error = nullptr);
    // Unloading element 0 is refused, as for any template; false then or when index is not loaded.
    // The element leaves the array and is hidden at once, and deleted when the event loop next runs.
    bool unload(int index);

    Control* at(int index) const;
    Control* operator[](int index) const { return at(index); }
    int count() const { return static_cast<int>(m_elements.size()); }
    // The highest index in use; -1 when empty.
    int ubound() const;

    // Late-bound access to one element.
    QVariant get(int index, DispId id, DispResult* result = nullptr) const;
    DispResult put(int index, DispId id, const QVariant& value) const;

Q_SIGNALS:
    void Click(int index);
    void MouseDown(int index, int button, int shift, float x, float y);
    void MouseUp(int index, int button, int shift, float x, float y);

private:
    void wire(int index, Control* control);
    void drop(int index);

    QString m_progId;
    // The library the template came from; the other elements come from it too.
    QString m_libraryPath;
    QWidget* m_container;
    ControlHost& m_host;
    std::map<int, std::unique_ptr<Control>> m_elements;
};

} // namespace host
