#pragma once

#include "platform/export.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace host {

// Name -> value store for InitProperties, ReadProperties and WriteProperties.
class DOVI_PLATFORM_EXPORT PropertyBag {
public:
    // A missing value reads as its default.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    // A value equal to its default is left out.
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    bool contains(const QString& name) const { return m_values.contains(name); }
    // Names in the order they were written.
    QStringList names() const { return m_order; }
    int size() const { return m_values.size(); }

private:
    QMap<QString, QVariant> m_values;
    QStringList m_order;
};

} // namespace host
