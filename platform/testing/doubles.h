#pragma once

#include "platform/services.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// Test doubles of the platform services. Each records what it was asked and answers from a script.
namespace platform::testing {

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    MsgAnswer show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override;
    QList<ShownMessage> shown;
    // Answers for Yes/No boxes, taken in order; Yes when the script is empty.
    std::deque<MsgAnswer> answers;
};

class MemorySettingsStore final : public SettingsStore {
public:
    State state(const QString&) const override { return storeState; }
    QString location(const QString& app) const override
    {
        return QStringLiteral("/settings/%1.ini").arg(app);
    }
    QString get(const QString& app, const QString& section, const QString& key,
                const QString& fallback) const override;
    bool save(const QString& app, const QString& section, const QString& key, const QString& value) override;
    void removeKey(const QString& app, const QString& section, const QString& key) override;
    void removeApp(const QString& app) override;
    // "app/section/key" -> value
    QMap<QString, QString> values;
    bool writable = true;
    State storeState = State::Fine; // Unreadable also makes every get answer its fallback
};

class FakeAppInfo final : public AppInfo {
public:
    QString programFolder() const override { return folder; }
    QString executableFolder() const override { return folder; }
    QString deliveredFolder() const override { return folder; }
    QString programPath() const override { return folder + QStringLiteral("/Dovi"); }
    QString title() const override { return QStringLiteral("Dovi"); }
    Version version() const override { return ver; }
    QString folder;
    Version ver{2, 1, 14};
};

class FixedScreenMetrics final : public ScreenMetrics {
public:
    int twipsPerPixelX() const override { return tppX; }
    int twipsPerPixelY() const override { return tppY; }
    QSize screenSizePixels() const override { return size; }
    QList<QRect> screensPixels() const override
    {
        return screens.isEmpty() ? ScreenMetrics::screensPixels() : screens;
    }
    int tppX = 15;
    int tppY = 15;
    QSize size{1024, 768};
    QList<QRect> screens; // empty: one screen of size at the origin
};

class FakeInstanceLock final : public InstanceLock {
public:
    bool tryAcquire() override { return free; }
    bool free = true;
};

class CountingEventPump final : public EventPump {
public:
    void doEvents() override;
    int calls = 0;
};

// Runs a callback once, at the first DoEvents from the one numbered fireAt on (counted from 1): what
// an event does that comes while the program lets events run. A hook set again runs at the next
// one. Processes no real events.
class HookedEventPump final : public EventPump {
public:
    void doEvents() override;
    std::function<void()> hook;
    int fireAt = 1;
    int calls = 0;
};

// Puts a HookedEventPump in place of the program's event pump and gives it.
HookedEventPump* installHookedEvents();

class FakeShellOpener final : public ShellOpener {
public:
    bool open(const ShellRequest& request) override;
    QString systemDriveRoot() const override { return QStringLiteral("/"); }
    QList<ShellRequest> requests;
    bool result = true;
};

class FakeWindowServices final : public WindowServices {
public:
    void setSkipTaskbar(QWidget* window) override;
    void setKeepAbove(QWidget* window, bool above) override;
    void setOpacity(QWidget* window, int level) override;
    bool translucencyAvailable(QString* whyNot) const override;
    DesktopTraits desktop() const override { return traits; }
    void prepareBar(QWidget*) override { ++prepareCalls; }
    Backdrop backdrop(const QWidget*) const override { return seeThrough; }
    void watchDesktop(QObject*, std::function<void()> changed) override
    {
        desktopChanged = std::move(changed);
    }
    bool translucent = true;
    DesktopTraits traits;
    Backdrop seeThrough = Backdrop::Copy;
    int prepareCalls = 0;
    std::function<void()> desktopChanged; // what the bar asked to be told
    bool answerKnown = true;
    int skipTaskbarCalls = 0;
    std::optional<bool> keepAbove;
    QList<int> opacities;
};

class SolidDesktop final : public DesktopCapture {
public:
    QPixmap grab(const QRect& screenRect) override;
    QColor colour{0, 128, 128};
    QList<QRect> grabs;
};

class ScriptedDialogs final : public Dialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<quint32> chooseColor(QWidget* parent, const QString& title) override;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<quint32>> colours;
    QStringList titles;
    QStringList filters;
};

class FakeAutostart final : public Autostart {
public:
    bool setEntry(const QString& name, const QString& programPath) override;
    bool removeEntry(const QString& name) override;
    QMap<QString, QString> entries;
    bool writable = true;
};

class FakeSystemInfo final : public SystemInfo {
public:
    QString locateTool() const override { return tool; }
    bool startTool(const QString& path) override;
    QString tool;
    QStringList started;
};

// Icons by path, from a table; records every path asked for (one ask per drawing of a picture control).
class FakeIconProvider final : public IconProvider {
public:
    QPixmap iconFor(const QString& path, int sizePixels) const override;
    QMap<QString, QPixmap> icons;
    mutable QStringList requests;
};

// Puts a FakeIconProvider in services().icons (ScopedDoubles' destructor puts the real one back).
FakeIconProvider* installFakeIcons();

// Installs a double for every service that talks to the user or the session (message boxes, settings,
// program folder, screen, lock, shell, windows, desktop, dialogs, autostart, system information) and
// puts the real ones back when it goes. Pictures and icons stay real.
class ScopedDoubles {
public:
    explicit ScopedDoubles(const QString& programFolder = QString());
    ~ScopedDoubles();
    ScopedDoubles(const ScopedDoubles&) = delete;
    ScopedDoubles& operator=(const ScopedDoubles&) = delete;

    FakeMessageBoxes* messages;
    MemorySettingsStore* settings;
    FakeAppInfo* app;
    FixedScreenMetrics* screen;
    FakeInstanceLock* lock;
    CountingEventPump* events;
    FakeShellOpener* shell;
    FakeWindowServices* windows;
    SolidDesktop* desktop;
    ScriptedDialogs* dialogs;
    FakeAutostart* autostart;
    FakeSystemInfo* systemInfo;
};

} // namespace platform::testing
