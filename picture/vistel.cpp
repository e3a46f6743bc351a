#include "picture/vistel.h"

#include "platform/host/libraryexports.h"

namespace {
struct VistelLibrary;
}

Vistel::Vistel(QWidget* parent) : host::Control(parent) {}

QVariant Vistel::getProperty(host::DispId) { return {}; }

host::DispResult Vistel::putProperty(host::DispId, const QVariant&) { return {}; }

void Vistel::InitProperties() {}

void Vistel::ReadProperties(const host::PropertyBag&) {}

void Vistel::WriteProperties(host::PropertyBag&) const {}

DOVI_CONTROL_LIBRARY(VISTEL_PROGID, Vistel, VistelLibrary)
