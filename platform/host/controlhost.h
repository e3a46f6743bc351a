#pragma once

#include "platform/export.h"
#include "platform/host/control.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace host {

// Creates controls by ProgID from libraries loaded at run time. A registered library (ControlRegistry)
// wins; otherwise the library named after the ProgID's first part is taken from the program folder
// ("DoviButton.UserControl1" -> libDoviButton.so). Libraries stay loaded while the host lives and
// after it: only unloadIdleLibraries() lets go of them, and only of those whose DllCanUnloadNow agrees.
class DOVI_PLATFORM_EXPORT ControlHost {
public:
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Null with a reason in error when the control cannot be created. The new control is hidden (its
    // extender's Visible is False) and has had InitProperties. The caller owns it; its parent must
    // outlive it or the caller must let go of it when the parent deletes it.
    std::unique_ptr<Control> create(const QString& progId, QWidget* parent, QString* error = nullptr);
    // The same from a library already found by libraryPathFor: the elements of a control array are
    // of their template's class and do not look for it again.
    std::unique_ptr<Control> createFromLibrary(const QString& libraryPath, const QString& progId,
                                               QWidget* parent, QString* error = nullptr);

    // Where the library for a ProgID is looked for; empty when the ProgID is not of the form
    // Library.Class (letters, digits and underscores, with an optional .version).
    QString libraryPathFor(const QString& progId) const;

    // Full paths of the libraries this host has loaded.
    QStringList loadedLibraries() const;
    // Unloads every loaded library whose DllCanUnloadNow answers S_Ok; returns how many went.
    int unloadIdleLibraries();

    // Runs the entry point "DllRegisterServer" or "DllUnregisterServer" of a library file.
    static long callEntryPoint(const QString& libraryPath, const char* name, QString* error = nullptr);

    static bool isValidProgId(const QString& progId);

private:
    QLibrary* libraryFor(const QString& path, QString* error);

    std::map<QString, std::unique_ptr<QLibrary>> m_libraries;
};

// The one host of the program.
DOVI_PLATFORM_EXPORT ControlHost& controlHost();

} // namespace host
