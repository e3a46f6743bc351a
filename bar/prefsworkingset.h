#pragma once

#include "bar/configfile.h"

#include <QList>
#include <QString>

#include <optional>

// One button as the preferences dialog edits it.
struct PrefsEntry {
    QString title;
    QString program;
    QString icon;
    bool deleted = false; // marked: dropped when the dialog saves
    int state = 1;        // window state of the target: 1 normal, 2 minimized, 3 maximized
};

// The buttons being edited, numbered from 1 like the bar's buttons, and the order the user gives them.
// Each row of the order knows the entry it stands for, so buttons that share a title stay apart.
class PrefsWorkingSet {
public:
    enum class Field { Title, Program, Icon };
    struct Missing {
        int entry = 0;
        Field field = Field::Title;
    };

    void clear();

    // The highest entry number (marked entries included); 0 when there is none.
    int count() const { return static_cast<int>(m_entries.size()); }
    // Entries not marked for deletion.
    int liveCount() const;
    bool contains(int n) const { return n >= 1 && n <= count(); }
    // Entry n, 1-based; n must be contained.
    const PrefsEntry& entry(int n) const { return m_entries.at(n - 1); }

    // Appends an entry (and its order row when it is not marked); returns its number.
    int add(const PrefsEntry& entry);

    void setTitle(int n, const QString& title);
    void setProgram(int n, const QString& program);
    void setIcon(int n, const QString& icon);
    void setState(int n, int state);

    // Marks entry n and takes its own row out of the order; false when it was marked already.
    bool markDeleted(int n);
    // Unmarks entry n and puts its row back at the end of the order.
    bool undoDelete(int n);

    // Entry number shown by each order row, top to bottom.
    const QList<int>& order() const { return m_order; }
    int orderRowOf(int n) const { return static_cast<int>(m_order.indexOf(n)); }
    // Move an order row one place; false (and nothing changes) at either end or outside the list.
    bool moveUp(int row);
    bool moveDown(int row);

    // The first entry, marked ones included, that lacks its title, its target or a required icon.
    std::optional<Missing> firstMissing(bool iconRequired) const;

    // The button lines to save: the order rows top to bottom when inOrder, else the unmarked entries by
    // number. Every unmarked entry appears exactly once either way.
    QList<configfile::ButtonEntry> buttonLines(bool inOrder) const;

private:
    QList<PrefsEntry> m_entries;
    QList<int> m_order;
};
