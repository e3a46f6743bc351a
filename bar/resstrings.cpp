#include "bar/resstrings.h"

#include "platform/services.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace resstrings {

namespace {
QHash<int, QString> loadTable()
{
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            table.insert(id, line.mid(tab + 1));
    }
    return table;
}

const QHash<int, QString>& table()
{
    static const QHash<int, QString> strings = loadTable();
    return strings;
}
} // namespace

QString LoadResString(int id)
{
    // A text that describes the system is the system's to give, in its words, under the same number.
    if (std::optional<QString> own = platform::services().systemInfo->ownText(id))
        return *own;
    return table().value(id);
}

QString choose(int frenchId, int englishId, int lang)
{
    return LoadResString(lang == 0 ? frenchId : englishId);
}

void useToolkitLanguage(int lang)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    const QString name = QStringLiteral("toolkitTexts");
    QTranslator* current = app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
    if (lang != 0) {
        if (current) {
            QCoreApplication::removeTranslator(current);
            delete current;
        }
        return;
    }
    if (current)
        return;
    auto translator = std::make_unique<QTranslator>();
    translator->setObjectName(name);
    if (!translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    translator.release()->setParent(app);
}

} // namespace resstrings
