#include "platform/linux/qtdialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QStringList>

namespace platform {

QString QtDialogs::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    bool programsOnly = true;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.trimmed().compare(QStringLiteral("*.exe"), Qt::CaseInsensitive) != 0)
            programsOnly = false;
        // The description usually names the pattern already; Qt reads the patterns from the brackets.
        const QString& description = parts.at(i);
        if (description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    // Every file stays within reach: the filters name files the Windows way, and programs here have no
    // ".exe", so a chooser of programs alone opens on all files.
    const QString all = QFileDialog::tr("All Files (*)");
    if (!filters.isEmpty() && programsOnly)
        filters.prepend(all);
    else
        filters.append(all);
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& title, const QString& filter)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, title, QString(), toQtFilter(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<quint32> QtDialogs::chooseColor(QWidget* parent, const QString& title)
{
    const QColor colour = QColorDialog::getColor(Qt::white, parent, title);
    if (!colour.isValid())
        return std::nullopt;
    return static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8) |
           (static_cast<quint32>(colour.blue()) << 16);
}

} // namespace platform
