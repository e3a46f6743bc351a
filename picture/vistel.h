#pragma once

#include "picture/dispids.h"
#include "platform/host/control.h"

// The picture control: shows the icon of a program, document, folder or address.
class Vistel : public host::Control {
    Q_OBJECT
public:
    explicit Vistel(QWidget* parent = nullptr);

    QString progId() const override { return QStringLiteral(VISTEL_PROGID); }
    QVariant getProperty(host::DispId id) override;
    host::DispResult putProperty(host::DispId id, const QVariant& value) override;

    void InitProperties() override;
    void ReadProperties(const host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) const override;
};
