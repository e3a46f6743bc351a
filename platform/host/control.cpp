#include "platform/host/control.h"

namespace host {

Control::Control(QWidget* parent) : QWidget(parent) {}

Control::~Control() = default;

DispResult Control::invoke(DispId id)
{
    return DispResult::failure(QStringLiteral("No method with dispatch identifier %1").arg(id));
}

ClassFactory::~ClassFactory() = default;

} // namespace host
