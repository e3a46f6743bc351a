#include "platform/linux/qtdialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QTimer>

namespace platform {

namespace {

// Moves a dialog as it first shows, before the window system sees it, and again when it takes its
// final size while it shows (a message box does); a dialog that its own code placed (moved before it
// shows) keeps its place.
class DialogPlacer final : public QObject {
public:
    explicit DialogPlacer(QWidget* anchor) : QObject(anchor), m_anchor(anchor) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && watched == m_showing) {
            place(m_showing);
            return false;
        }
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow() || dialog->testAttribute(Qt::WA_Moved) || !m_anchor)
            return false;
        if (place(dialog)) {
            m_showing = dialog;
            QTimer::singleShot(0, this, [this] { m_showing.clear(); });
        }
        return false;
    }

private:
    bool place(QWidget* dialog) const
    {
        const QRect anchor = m_anchor->geometry();
        const QScreen* screen = QGuiApplication::screenAt(anchor.center());
        if (!screen)
            screen = m_anchor->screen();
        if (!screen)
            return false;
        const std::optional<QPoint> at = dialogPosition(screen->availableGeometry(), anchor, dialog->size());
        if (!at)
            return false;
        dialog->move(*at);
        return true;
    }

    QPointer<QWidget> m_anchor;
    // The dialog being shown, until the event loop runs again.
    QPointer<QWidget> m_showing;
};

} // namespace

std::optional<QPoint> dialogPosition(const QRect& screen, const QRect& anchor, const QSize& dialog)
{
    if (screen.isEmpty())
        return std::nullopt;
    const QPoint centre = anchor.center();
    const bool middleX = centre.x() >= screen.left() + screen.width() / 3 &&
                         centre.x() < screen.left() + screen.width() * 2 / 3;
    const bool middleY = centre.y() >= screen.top() + screen.height() / 3 &&
                         centre.y() < screen.top() + screen.height() * 2 / 3;
    if (middleX && middleY)
        return std::nullopt;
    // A dialog larger than the screen shows its top-left corner, where its title and first fields are.
    const int x = screen.left() + std::max(0, (screen.width() - dialog.width()) / 2);
    const int y = screen.top() + std::max(0, (screen.height() - dialog.height()) / 2);
    return QPoint(x, y);
}

void placeDialogsBy(QWidget* anchor)
{
    if (!anchor || !qApp)
        return;
    qApp->installEventFilter(new DialogPlacer(anchor));
}

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
