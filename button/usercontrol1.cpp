#include "button/usercontrol1.h"

#include "platform/host/libraryexports.h"

namespace {
struct ButtonLibrary;
}

UserControl1::UserControl1(QWidget* parent) : host::Control(parent) {}

QVariant UserControl1::getProperty(host::DispId) { return {}; }

host::DispResult UserControl1::putProperty(host::DispId, const QVariant&) { return {}; }

void UserControl1::InitProperties() {}

void UserControl1::ReadProperties(const host::PropertyBag&) {}

void UserControl1::WriteProperties(host::PropertyBag&) const {}

DOVI_CONTROL_LIBRARY(DOVIBUTTON_PROGID, UserControl1, ButtonLibrary)
