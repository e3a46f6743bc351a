#pragma once

#include "platform/export.h"
#include "platform/host/control.h"

#include <QLibrary>
#include <QString>

#include <map>
#include <memory>

namespace host {

// Creates controls by ProgID from libraries loaded at run time. A registered library (ControlRegistry)
// wins; otherwise the library named after the ProgID's first part is taken from the program folder
// ("DoviButton.UserControl1" -> libDoviButton.so). Libraries stay loaded while the host lives.
class DOVI_PLATFORM_EXPORT ControlHost {
public:
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Null with a reason in error when the control cannot be created.
    std::unique_ptr<Control> create(const QString& progId, QWidget* parent, QString* error = nullptr);

    // Where the library for a ProgID is looked for.
    QString libraryPathFor(const QString& progId) const;

    // Runs the entry point "DllRegisterServer" or "DllUnregisterServer" of a library file.
    static long callEntryPoint(const QString& libraryPath, const char* name, QString* error = nullptr);

private:
    QLibrary* libraryFor(const QString& path, QString* error);

    std::map<QString, std::unique_ptr<QLibrary>> m_libraries;
};

// The one host of the program.
DOVI_PLATFORM_EXPORT ControlHost& controlHost();

} // namespace host
