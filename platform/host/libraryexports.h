#pragma once

#include "platform/host/control.h"
#include "platform/host/controlregistry.h"
#include "platform/host/modulepath.h"

#include <QPointer>

#include <atomic>
#include <cstring>

// The four in-process entry points every control library exports, with C linkage.
namespace host {

using RegisterServerFn = long (*)();
using GetClassObjectFn = long (*)(const char* progId, ClassFactory** factory);
using CanUnloadNowFn = long (*)();

// Counts the live instances of one library's controls; each control holds one as a member, so
// instances made without the class object (a constituent of another control) count too. Build the
// library with -fno-gnu-unique so the counter does not pin the library in memory.
template<typename Tag> class InstanceCount {
public:
    InstanceCount() { ++live(); }
    ~InstanceCount() { --live(); }
    InstanceCount(const InstanceCount&) = delete;
    InstanceCount& operator=(const InstanceCount&) = delete;
    static std::atomic<int>& live()
    {
        static std::atomic<int> count{0};
        return count;
    }
};

// The class object of a control class: new instances get InitProperties.
template<typename ControlClass> class Factory final : public ClassFactory {
public:
    std::unique_ptr<Control> CreateInstance(QWidget* parent) override
    {
        auto control = std::make_unique<ControlClass>(parent);
        const QPointer<Control> alive(control.get());
        control->InitProperties();
        if (!alive) {
            // The container went while the new control drew itself, and took the control with it.
            static_cast<void>(control.release());
            return nullptr;
        }
        return control;
    }
};

} // namespace host

// Defines the entry points of a library holding one control class. Tag is the library's InstanceCount tag.
// DllRegisterServer records PROGID -> this library's path in the per-user control registry.
#define DOVI_CONTROL_LIBRARY(PROGID, CONTROLCLASS, TAG)                                                      \
    extern "C" Q_DECL_EXPORT long DllRegisterServer()                                                        \
    {                                                                                                        \
        const QString path = host::modulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));          \
        if (path.isEmpty())                                                                                  \
            return host::E_Fail;                                                                             \
        return host::ControlRegistry().registerControl(QStringLiteral(PROGID), path) ? host::S_Ok            \
                                                                                     : host::E_Fail;         \
    }                                                                                                        \
    extern "C" Q_DECL_EXPORT long DllUnregisterServer()                                                      \
    {                                                                                                        \
        return host::ControlRegistry().unregisterControl(QStringLiteral(PROGID)) ? host::S_Ok                \
                                                                                 : host::E_Fail;             \
    }                                                                                                        \
    extern "C" Q_DECL_EXPORT long DllGetClassObject(const char* progId, host::ClassFactory** factory)        \
    {                                                                                                        \
        if (factory == nullptr)                                                                              \
            return host::E_Fail;                                                                             \
        *factory = nullptr;                                                                                  \
        if (progId == nullptr || std::strcmp(progId, PROGID) != 0)                                           \
            return host::E_ClassNotAvailable;                                                                \
        static host::Factory<CONTROLCLASS> classObject;                                                      \
        *factory = &classObject;                                                                             \
        return host::S_Ok;                                                                                   \
    }                                                                                                        \
    extern "C" Q_DECL_EXPORT long DllCanUnloadNow()                                                          \
    {                                                                                                        \
        return host::InstanceCount<TAG>::live().load() == 0 ? host::S_Ok : host::S_False;                    \
    }
