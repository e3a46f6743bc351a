#include "platform/host/controlhost.h"

#include "platform/host/controlregistry.h"
#include "platform/host/libraryexports.h"
#include "platform/services.h"

#include <QFileInfo>

namespace host {

ControlHost::ControlHost() = default;

ControlHost::~ControlHost()
{
    // A library whose controls still live must stay mapped; only idle ones are unloaded.
    for (auto& [path, library] : m_libraries) {
        auto canUnload = reinterpret_cast<CanUnloadNowFn>(library->resolve("DllCanUnloadNow"));
        if (canUnload && canUnload() == S_Ok)
            library->unload();
    }
}

QString ControlHost::libraryPathFor(const QString& progId) const
{
    const QString registered = ControlRegistry().libraryFor(progId);
    if (!registered.isEmpty() && QFileInfo::exists(registered))
        return registered;
    const QString libraryName = progId.section(QLatin1Char('.'), 0, 0);
    return platform::services().app->programFolder() + QStringLiteral("/lib") + libraryName +
           QStringLiteral(".so");
}

QLibrary* ControlHost::libraryFor(const QString& path, QString* error)
{
    auto found = m_libraries.find(path);
    if (found != m_libraries.end())
        return found->second.get();
    // By absolute path: a bare name would ignore the program folder.
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load()) {
        if (error)
            *error = library->errorString();
        return nullptr;
    }
    return m_libraries.emplace(path, std::move(library)).first->second.get();
}

std::unique_ptr<Control> ControlHost::create(const QString& progId, QWidget* parent, QString* error)
{
    const QString path = libraryPathFor(progId);
    QLibrary* library = libraryFor(path, error);
    if (!library)
        return nullptr;
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(library->resolve("DllGetClassObject"));
    if (!getClassObject) {
        if (error)
            *error = QStringLiteral("%1 is not a control library").arg(path);
        return nullptr;
    }
    ClassFactory* factory = nullptr;
    const QByteArray id = progId.toUtf8();
    if (getClassObject(id.constData(), &factory) != S_Ok || !factory) {
        if (error)
            *error = QStringLiteral("%1 does not provide %2").arg(path, progId);
        return nullptr;
    }
    auto control = factory->CreateInstance(parent);
    if (!control && error)
        *error = QStringLiteral("%1 could not be created").arg(progId);
    return control;
}

long ControlHost::callEntryPoint(const QString& libraryPath, const char* name, QString* error)
{
    QLibrary library(libraryPath);
    if (!library.load()) {
        if (error)
            *error = library.errorString();
        return E_Fail;
    }
    auto entry = reinterpret_cast<RegisterServerFn>(library.resolve(name));
    if (!entry) {
        if (error)
            *error = QStringLiteral("%1 has no %2").arg(libraryPath, QString::fromLatin1(name));
        return E_Fail;
    }
    return entry();
}

ControlHost& controlHost()
{
    static ControlHost host;
    return host;
}

} // namespace host
