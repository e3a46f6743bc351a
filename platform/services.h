#pragma once

#include "platform/appinfo.h"
#include "platform/autostart.h"
#include "platform/desktopcapture.h"
#include "platform/dialogs.h"
#include "platform/eventpump.h"
#include "platform/export.h"
#include "platform/iconprovider.h"
#include "platform/instancelock.h"
#include "platform/messageboxes.h"
#include "platform/pictureloader.h"
#include "platform/screenmetrics.h"
#include "platform/settingsstore.h"
#include "platform/shellopener.h"
#include "platform/systeminfo.h"
#include "platform/windowservices.h"

#include <memory>

namespace platform {

// Every system service the program and the controls use, from one place. Each member starts as the
// implementation for this system; tests replace members with doubles and call reset() afterwards.
struct DOVI_PLATFORM_EXPORT Services {
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MessageBoxes> messages;
    std::unique_ptr<AppInfo> app;
    std::unique_ptr<ScreenMetrics> screen;
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<EventPump> events;
    std::unique_ptr<ShellOpener> shell;
    std::unique_ptr<WindowServices> windows;
    std::unique_ptr<DesktopCapture> desktop;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<PictureLoader> pictures;
    std::unique_ptr<IconProvider> icons;
    std::unique_ptr<Autostart> autostart;
    std::unique_ptr<SystemInfo> systemInfo;

    // Puts the implementations for this system back in every member.
    void reset();
};

// The services in force. Created on first use.
DOVI_PLATFORM_EXPORT Services& services();

// Picks the window system the services work with, unless the user named one (environment or
// command line). Called before the application object is made, with main's arguments; true when
// it picked one.
DOVI_PLATFORM_EXPORT bool chooseWindowSystem(int argc, const char* const argv[]);

// Takes back the choice once the application object is made: the programs the bar starts inherit
// its environment and pick their own window system.
DOVI_PLATFORM_EXPORT void forgetWindowSystemChoice();

} // namespace platform
