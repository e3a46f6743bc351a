#include "platform/host/controlhost.h"

#include "platform/host/controlregistry.h"
#include "platform/host/libraryexports.h"
#include "platform/services.h"

#include <QFileInfo>

#include <algorithm>

namespace host {

ControlHost::ControlHost() = default;

// Libraries are not unloaded here: at exit a control may still be alive somewhere, and unloading a
// library whose code is still referenced would crash. QLibrary's destructor leaves them loaded.
ControlHost::~ControlHost() = default;

bool ControlHost::isValidProgId(const QString& progId)
{
    // Library.Class or Library.Class.Version: two names of letters, digits and "_" that do not
    // start with a digit, then an optional number. The names are checked by hand: a regular
    // expression would be compiled at every start of the bar for this one question.
    const auto isNameStart = [](QChar c) {
        return c == QLatin1Char('_') || (c.isLetter() && c.unicode() < 128);
    };
    const auto isNameChar = [&](QChar c) {
        return isNameStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    };
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    const QStringList parts = progId.split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    for (int i = 0; i < 2; ++i) {
        const QString& name = parts.at(i);
        if (name.isEmpty() || !isNameStart(name.front()) ||
            !std::all_of(name.begin(), name.end(), isNameChar))
            return false;
    }
    return parts.size() == 2 ||
           (!parts.at(2).isEmpty() && std::all_of(parts.at(2).begin(), parts.at(2).end(), isDigit));
}

QString ControlHost::libraryPathFor(const QString& progId) const
{
    // The first part becomes a file name: nothing but a plain name may get there.
    if (!isValidProgId(progId))
        return {};
    const QString registered = ControlRegistry().libraryFor(progId);
    if (!registered.isEmpty() && QFileInfo(registered).isFile())
        return registered;
    const QString libraryName = progId.section(QLatin1Char('.'), 0, 0);
    return platform::services().app->executableFolder() + QStringLiteral("/lib") + libraryName +
           QStringLiteral(".so");
}

QLibrary* ControlHost::libraryFor(const QString& path, QString* error)
{
    auto found = m_libraries.find(path);
    if (found != m_libraries.end())
        return found->second.get();
    // By absolute path: a bare name would ignore the program folder.
    auto library = std::make_unique<QLibrary>(path);
    // An idle library is let go of, but stays in memory: texts and other values it handed out
    // (a default title, an error message) may still point into it.
    library->setLoadHints(QLibrary::PreventUnloadHint);
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
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a ProgID").arg(progId);
        return nullptr;
    }
    return createFromLibrary(path, progId, parent, error);
}

std::unique_ptr<Control> ControlHost::createFromLibrary(const QString& path, const QString& progId,
                                                        QWidget* parent, QString* error)
{
    if (m_libraries.find(path) == m_libraries.end() && !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("No control library for %1 (looked for %2)").arg(progId, path);
        return nullptr;
    }
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
    if (!control) {
        if (error)
            *error = QStringLiteral("%1 could not be created").arg(progId);
        return nullptr;
    }
    control->extender().setVisible(false);
    return control;
}

QStringList ControlHost::loadedLibraries() const
{
    QStringList paths;
    for (const auto& entry : m_libraries)
        paths << entry.first;
    return paths;
}

int ControlHost::unloadIdleLibraries()
{
    int unloaded = 0;
    for (auto it = m_libraries.begin(); it != m_libraries.end();) {
        auto canUnload = reinterpret_cast<CanUnloadNowFn>(it->second->resolve("DllCanUnloadNow"));
        if (canUnload && canUnload() == S_Ok) {
            it->second->unload();
            it = m_libraries.erase(it);
            ++unloaded;
        } else {
            ++it;
        }
    }
    return unloaded;
}

long ControlHost::callEntryPoint(const QString& libraryPath, const char* name, QString* error)
{
    QLibrary library(libraryPath);
    // This call's hold on the library is let go of afterwards (other holds stay), so an idle library
    // can really unload later.
    if (!library.load()) {
        if (error)
            *error = library.errorString();
        return E_Fail;
    }
    auto entry = reinterpret_cast<RegisterServerFn>(library.resolve(name));
    if (!entry) {
        if (error)
            *error = QStringLiteral("%1 has no %2").arg(libraryPath, QString::fromLatin1(name));
        library.unload();
        return E_Fail;
    }
    const long result = entry();
    library.unload();
    return result;
}

ControlHost& controlHost()
{
    static ControlHost host;
    return host;
}

} // namespace host
