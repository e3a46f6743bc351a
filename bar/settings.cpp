#include "bar/settings.h"

#include "platform/services.h"

#include <algorithm>
#include <limits>

namespace settings {

namespace {

const QString SectionLanguage = QStringLiteral("GeneralSetLng");
const QString SectionTransparency = QStringLiteral("Transparency");
const QString SectionInfos = QStringLiteral("Infos");
const QString SectionNotices = QStringLiteral("Notices");

QString app()
{
    return platform::services().app->title();
}

// Values are read back as 16-bit numbers; one that is missing or not such a number reads as the default.
int readNumber(const QString& section, const QString& key, int fallback)
{
    const QString text = platform::services().settings->get(app(), section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return fallback;
    return value;
}

bool writeNumber(const QString& section, const QString& key, int value)
{
    return platform::services().settings->save(app(), section, key, QString::number(value));
}

} // namespace

int FirstLaunch()
{
    return readNumber(SectionLanguage, QStringLiteral("FirstLaunch"), 0);
}

bool saveFirstLaunch(int value)
{
    return writeNumber(SectionLanguage, QStringLiteral("FirstLaunch"), value);
}

int Lang()
{
    // Every form tests for exactly 0 or 1; anything else is taken as English so they all agree.
    return readNumber(SectionLanguage, QStringLiteral("Lang"), 0) == 0 ? 0 : 1;
}

bool saveLang(int value)
{
    return writeNumber(SectionLanguage, QStringLiteral("Lang"), value);
}

int ValTrans()
{
    return std::clamp(readNumber(SectionTransparency, QStringLiteral("Val_Trans"), 255), 0, 255);
}

bool saveValTrans(int value)
{
    return writeNumber(SectionTransparency, QStringLiteral("Val_Trans"), std::clamp(value, 0, 255));
}

int InfosToolTip()
{
    return readNumber(SectionInfos, QStringLiteral("ToolTip"), 0);
}

bool saveInfosToolTip(int value)
{
    return writeNumber(SectionInfos, QStringLiteral("ToolTip"), value);
}

void deleteAll()
{
    platform::services().settings->removeApp(app());
}

bool storeKeeps()
{
    return platform::services().settings->state(app()) == platform::SettingsStore::State::Fine;
}

QString storeProblem(int lang)
{
    const platform::SettingsStore& store = *platform::services().settings;
    const QString where = store.location(app());
    switch (store.state(app())) {
    case platform::SettingsStore::State::Fine:
        break;
    case platform::SettingsStore::State::Unreadable:
        return lang == 0
                   ? QStringLiteral("Le fichier de paramètres %1 ne peut pas être lu. Dovi utilise ses "
                                    "réglages par défaut et laisse ce fichier tel qu'il est.")
                         .arg(where)
                   : QStringLiteral("The settings file %1 cannot be read. Dovi uses its default settings "
                                    "and leaves that file as it is.")
                         .arg(where);
    case platform::SettingsStore::State::ReadOnly:
        return lang == 0 ? QStringLiteral("Les paramètres ne peuvent pas être enregistrés dans %1. La "
                                          "langue, la transparence et le choix des astuces ne seront pas "
                                          "conservés.")
                               .arg(where)
                         : QStringLiteral("The settings cannot be saved in %1. The language, the "
                                          "transparency and the tips choice will not be kept.")
                               .arg(where);
    }
    return {};
}

int PlacementNotice()
{
    return readNumber(SectionNotices, QStringLiteral("Placement"), 0);
}

bool savePlacementNotice(int value)
{
    return writeNumber(SectionNotices, QStringLiteral("Placement"), value);
}

int TakenKeysNotice()
{
    return readNumber(SectionNotices, QStringLiteral("TakenKeys"), 0);
}

bool saveTakenKeysNotice(int value)
{
    return writeNumber(SectionNotices, QStringLiteral("TakenKeys"), value);
}

} // namespace settings
