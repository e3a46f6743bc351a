#pragma once

#include "button/dispids.h"
#include "platform/host/control.h"

// The launcher button: a skinned, shaped picture button that opens its target.
class UserControl1 : public host::Control {
    Q_OBJECT
public:
    explicit UserControl1(QWidget* parent = nullptr);

    QString progId() const override { return QStringLiteral(DOVIBUTTON_PROGID); }
    QVariant getProperty(host::DispId id) override;
    host::DispResult putProperty(host::DispId id, const QVariant& value) override;

    void InitProperties() override;
    void ReadProperties(const host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) const override;
};
