#include "platform/linux/qtdialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QStringList>

namespace platform {

QString QtDialogs::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The description usually names the pattern already; Qt reads the patterns from the brackets.
        const QString& description = parts.at(i);
        if (description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
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
