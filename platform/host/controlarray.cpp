#include "platform/host/controlarray.h"

#include "platform/host/controlhost.h"

namespace host {

ControlArray::ControlArray(const QString& progId, QWidget* container, ControlHost& host)
    : QObject(container), m_progId(progId), m_container(container), m_host(host)
{}

ControlArray::~ControlArray()
{
    for (auto& entry : m_elements) {
        disconnect(entry.second.get(), nullptr, this, nullptr);
        entry.second.reset();
    }
}

bool ControlArray::createTemplate(QString* error)
{
    if (m_elements.count(0))
        return true;
    const QString path = m_host.libraryPathFor(m_progId);
    auto control = path.isEmpty() ? m_host.create(m_progId, m_container, error)
                                  : m_host.createFromLibrary(path, m_progId, m_container, error);
    if (!control)
        return false;
    m_libraryPath = path;
    control->extender().setVisible(false);
    wire(0, control.get());
    m_elements.emplace(0, std::move(control));
    return true;
}

Control* ControlArray::load(int index, QString* error)
{
    if (index < 0 || m_elements.count(index)) {
        if (error)
            *error = index < 0 ? QStringLiteral("Element %1 is not a valid index").arg(index)
                               : QStringLiteral("Element %1 is already loaded").arg(index);
        return nullptr;
    }
    const Control* model = at(0);
    auto control = model && !m_libraryPath.isEmpty()
                       ? m_host.createFromLibrary(m_libraryPath, m_progId, m_container, error)
                       : m_host.create(m_progId, m_container, error);
    if (!control)
        return nullptr;
    if (model) {
        PropertyBag bag;
        model->WriteProperties(bag);
        control->ReadProperties(bag);
        const Extender& from = model->extender();
        control->extender().setBounds(from.Left(), from.Top(), from.Width(), from.Height());
        control->extender().setToolTipText(from.ToolTipText());
    }
    control->extender().setVisible(false);
    Control* raw = control.get();
    wire(index, raw);
    m_elements.emplace(index, std::move(control));
    return raw;
}

bool ControlArray::unload(int index)
{
    if (index == 0)
        return false;
    auto found = m_elements.find(index);
    if (found == m_elements.end())
        return false;
    // Deleted once control is back in the event loop: the element may be unloaded from inside one of
    // its own events (a menu opened from its MouseUp reloads the bar), and must outlive that event.
    Control* control = found->second.release();
    m_elements.erase(found);
    disconnect(control, nullptr, this, nullptr);
    control->hide();
    control->deleteLater();
    return true;
}

Control* ControlArray::at(int index) const
{
    const auto found = m_elements.find(index);
    return found == m_elements.end() ? nullptr : found->second.get();
}

int ControlArray::ubound() const
{
    return m_elements.empty() ? -1 : m_elements.rbegin()->first;
}

QVariant ControlArray::get(int index, DispId id, DispResult* result) const
{
    Control* control = at(index);
    if (!control) {
        if (result)
            *result = DispResult::failure(QStringLiteral("Element %1 is not loaded").arg(index));
        return {};
    }
    return control->getProperty(id, result);
}

DispResult ControlArray::put(int index, DispId id, const QVariant& value) const
{
    Control* control = at(index);
    if (!control)
        return DispResult::failure(QStringLiteral("Element %1 is not loaded").arg(index));
    return control->putProperty(id, value);
}

void ControlArray::drop(int index)
{
    // Deleted by its parent: the pointer is no longer ours to delete.
    auto found = m_elements.find(index);
    if (found == m_elements.end())
        return;
    (void)found->second.release();
    m_elements.erase(found);
}

void ControlArray::wire(int index, Control* control)
{
    connect(control, &QObject::destroyed, this, [this, index] { drop(index); });
    connect(control, &Control::Click, this, [this, index] { Q_EMIT Click(index); });
    connect(control, &Control::MouseDown, this, [this, index](int button, int shift, float x, float y) {
        Q_EMIT MouseDown(index, button, shift, x, y);
    });
    connect(control, &Control::MouseUp, this, [this, index](int button, int shift, float x, float y) {
        Q_EMIT MouseUp(index, button, shift, x, y);
    });
}

} // namespace host
