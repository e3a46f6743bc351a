#include "platform/testing/doubles.h"

#include <QCoreApplication>

#include <utility>

namespace platform::testing {

namespace {
QString settingsKey(const QString& app, const QString& section, const QString& key)
{
    return app + QLatin1Char('/') + section + QLatin1Char('/') + key;
}
} // namespace

MsgAnswer FakeMessageBoxes::show(QWidget*, const QString& text, const QString& title, MsgIcon icon,
                                 MsgButtons buttons)
{
    shown.append({text, title, icon, buttons});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty())
        return MsgAnswer::Yes;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString MemorySettingsStore::get(const QString& app, const QString& section, const QString& key,
                                 const QString& fallback) const
{
    if (storeState == State::Unreadable)
        return fallback;
    return values.value(settingsKey(app, section, key), fallback);
}

bool MemorySettingsStore::save(const QString& app, const QString& section, const QString& key,
                               const QString& value)
{
    if (!writable || storeState != State::Fine)
        return false;
    values.insert(settingsKey(app, section, key), value);
    return true;
}

void MemorySettingsStore::removeKey(const QString& app, const QString& section, const QString& key)
{
    values.remove(settingsKey(app, section, key));
}

void MemorySettingsStore::removeApp(const QString& app)
{
    if (storeState == State::Unreadable)
        return;
    const QString prefix = app + QLatin1Char('/');
    for (auto it = values.begin(); it != values.end();) {
        if (it.key().startsWith(prefix))
            it = values.erase(it);
        else
            ++it;
    }
}

void CountingEventPump::doEvents()
{
    ++calls;
    QCoreApplication::processEvents();
}

void HookedEventPump::doEvents()
{
    if (++calls >= fireAt && hook)
        std::exchange(hook, nullptr)();
}

HookedEventPump* installHookedEvents()
{
    auto pump = std::make_unique<HookedEventPump>();
    HookedEventPump* raw = pump.get();
    services().events = std::move(pump);
    return raw;
}

bool FakeShellOpener::open(const ShellRequest& request)
{
    requests.append(request);
    return result;
}

void FakeWindowServices::setSkipTaskbar(QWidget*)
{
    ++skipTaskbarCalls;
}

void FakeWindowServices::setKeepAbove(QWidget*, bool above)
{
    keepAbove = above;
}

void FakeWindowServices::setOpacity(QWidget*, int level)
{
    opacities.append(level);
}

bool FakeWindowServices::translucencyAvailable(QString* whyNot) const
{
    if (!answerKnown) {
        if (whyNot)
            *whyNot = QStringLiteral("unknown");
        return false;
    }
    return translucent;
}

QPixmap SolidDesktop::grab(const QRect& screenRect)
{
    grabs.append(screenRect);
    QPixmap picture(screenRect.size().expandedTo(QSize(1, 1)));
    picture.fill(colour);
    return picture;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& title, const QString& filter)
{
    titles << title;
    filters << filter;
    if (files.empty())
        return std::nullopt;
    // An empty text stands for a cancelled dialog.
    const QString answer = files.front().value_or(QString());
    files.pop_front();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

std::optional<quint32> ScriptedDialogs::chooseColor(QWidget*, const QString& title)
{
    titles << title;
    if (colours.empty())
        return std::nullopt;
    auto answer = colours.front();
    colours.pop_front();
    return answer;
}

bool FakeAutostart::setEntry(const QString& name, const QString& programPath)
{
    if (!writable)
        return false;
    entries.insert(name, programPath);
    return true;
}

bool FakeAutostart::removeEntry(const QString& name)
{
    if (!writable && entries.contains(name))
        return false;
    entries.remove(name);
    return true;
}

bool FakeSystemInfo::startTool(const QString& path)
{
    started << path;
    return true;
}

QPixmap FakeIconProvider::iconFor(const QString& path, int) const
{
    requests << path;
    return icons.value(path);
}

FakeIconProvider* installFakeIcons()
{
    auto provider = std::make_unique<FakeIconProvider>();
    FakeIconProvider* raw = provider.get();
    services().icons = std::move(provider);
    return raw;
}

namespace {
template<typename T, typename Base> T* install(std::unique_ptr<Base>& slot)
{
    auto object = std::make_unique<T>();
    T* raw = object.get();
    slot = std::move(object);
    return raw;
}
} // namespace

ScopedDoubles::ScopedDoubles(const QString& programFolder)
{
    Services& s = services();
    messages = install<FakeMessageBoxes>(s.messages);
    settings = install<MemorySettingsStore>(s.settings);
    app = install<FakeAppInfo>(s.app);
    app->folder = programFolder.isEmpty() ? QStringLiteral(DOVI_TEST_BIN_DIR) : programFolder;
    screen = install<FixedScreenMetrics>(s.screen);
    lock = install<FakeInstanceLock>(s.instanceLock);
    events = install<CountingEventPump>(s.events);
    shell = install<FakeShellOpener>(s.shell);
    windows = install<FakeWindowServices>(s.windows);
    desktop = install<SolidDesktop>(s.desktop);
    dialogs = install<ScriptedDialogs>(s.dialogs);
    autostart = install<FakeAutostart>(s.autostart);
    systemInfo = install<FakeSystemInfo>(s.systemInfo);
}

ScopedDoubles::~ScopedDoubles()
{
    services().reset();
}

} // namespace platform::testing
