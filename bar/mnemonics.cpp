#include "bar/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QSet>
#include <QTabWidget>

#include <functional>

namespace mnemonics {

namespace {

// Where the caption carries a mnemonic already, the index of its "&"; -1 otherwise.
qsizetype markAt(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return i;
        ++i; // "&&" is a "&" of the text
    }
    return -1;
}

// A letter or digit that Alt can reach on any keyboard layout.
bool reachable(QChar c)
{
    const QChar lower = c.toLower();
    return (lower >= QLatin1Char('a') && lower <= QLatin1Char('z')) ||
           (lower >= QLatin1Char('0') && lower <= QLatin1Char('9'));
}

} // namespace

QStringList assign(const QStringList& captions)
{
    QSet<QChar> taken;
    for (const QString& caption : captions) {
        if (const qsizetype at = markAt(caption); at >= 0)
            taken.insert(caption.at(at + 1).toLower());
    }
    QStringList marked;
    marked.reserve(captions.size());
    for (const QString& caption : captions) {
        if (markAt(caption) >= 0 || caption.isEmpty()) {
            marked.append(caption);
            continue;
        }
        qsizetype chosen = -1;
        for (const bool wordStartsOnly : {true, false}) {
            for (qsizetype i = 0; i < caption.size() && chosen < 0; ++i) {
                const QChar c = caption.at(i);
                const bool startsWord = i == 0 || !caption.at(i - 1).isLetterOrNumber();
                if (reachable(c) && (startsWord || !wordStartsOnly) && !taken.contains(c.toLower()))
                    chosen = i;
            }
        }
        QString text;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (i == chosen)
                text += QLatin1Char('&');
            text += caption.at(i);
            if (caption.at(i) == QLatin1Char('&'))
                text += QLatin1Char('&');
        }
        if (chosen >= 0)
            taken.insert(caption.at(chosen).toLower());
        marked.append(text);
    }
    return marked;
}

void assignTo(QWidget* form)
{
    QStringList captions;
    QList<std::function<void(const QString&)>> setters;
    for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
        for (int page = 0; page < tabs->count(); ++page) {
            captions << tabs->tabText(page);
            setters << [tabs, page](const QString& text) { tabs->setTabText(page, text); };
        }
    }
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        // Glyph buttons ("...", arrows, a cross) and the tabs' own scroll buttons have no letter to give.
        if (button->text().size() < 2 || button->parentWidget()->inherits("QTabBar"))
            continue;
        captions << button->text();
        setters << [button](const QString& text) { button->setText(text); };
    }
    const QStringList marked = assign(captions);
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (marked.at(i) != captions.at(i))
            setters.at(i)(marked.at(i));
    }
}

void assignTo(QMenu* menu)
{
    QList<QAction*> items;
    QStringList captions;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        items << action;
        captions << action->text();
        if (action->menu())
            assignTo(action->menu());
    }
    const QStringList marked = assign(captions);
    for (qsizetype i = 0; i < marked.size(); ++i)
        items.at(i)->setText(marked.at(i));
}

} // namespace mnemonics
