#include "platform/host/propertybag.h"

namespace host {

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    return m_values.value(name, defaultValue);
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const bool isDefault = defaultValue.isValid() && value == defaultValue;
    if (isDefault || !value.isValid()) {
        m_values.remove(name);
        m_order.removeAll(name);
        return;
    }
    if (!m_values.contains(name))
        m_order << name;
    m_values.insert(name, value);
}

} // namespace host
