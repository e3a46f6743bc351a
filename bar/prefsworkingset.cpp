#include "bar/prefsworkingset.h"

#include <algorithm>

void PrefsWorkingSet::clear()
{
    m_entries.clear();
    m_order.clear();
}

int PrefsWorkingSet::liveCount() const
{
    return static_cast<int>(
        std::count_if(m_entries.cbegin(), m_entries.cend(), [](const PrefsEntry& e) { return !e.deleted; }));
}

int PrefsWorkingSet::add(const PrefsEntry& entry)
{
    m_entries.append(entry);
    const int n = count();
    if (!entry.deleted)
        m_order.append(n);
    return n;
}

void PrefsWorkingSet::setTitle(int n, const QString& title)
{
    if (contains(n))
        m_entries[n - 1].title = title;
}

void PrefsWorkingSet::setProgram(int n, const QString& program)
{
    if (contains(n))
        m_entries[n - 1].program = program;
}

void PrefsWorkingSet::setIcon(int n, const QString& icon)
{
    if (contains(n))
        m_entries[n - 1].icon = icon;
}

void PrefsWorkingSet::setState(int n, int state)
{
    if (contains(n))
        m_entries[n - 1].state = state;
}

bool PrefsWorkingSet::markDeleted(int n)
{
    if (!contains(n) || m_entries.at(n - 1).deleted)
        return false;
    m_entries[n - 1].deleted = true;
    m_order.removeAll(n);
    return true;
}

bool PrefsWorkingSet::undoDelete(int n)
{
    if (!contains(n) || !m_entries.at(n - 1).deleted)
        return false;
    m_entries[n - 1].deleted = false;
    if (!m_order.contains(n))
        m_order.append(n);
    return true;
}

bool PrefsWorkingSet::moveUp(int row)
{
    if (row <= 0 || row >= m_order.size())
        return false;
    m_order.swapItemsAt(row, row - 1);
    return true;
}

bool PrefsWorkingSet::moveDown(int row)
{
    if (row < 0 || row >= m_order.size() - 1)
        return false;
    m_order.swapItemsAt(row, row + 1);
    return true;
}

std::optional<PrefsWorkingSet::Missing> PrefsWorkingSet::firstMissing(bool iconRequired) const
{
    for (int n = 1; n <= count(); ++n) {
        const PrefsEntry& e = entry(n);
        if (e.deleted)
            continue;
        if (e.title.isEmpty())
            return Missing{n, Field::Title};
        if (e.program.isEmpty())
            return Missing{n, Field::Program};
        if (iconRequired && e.icon.isEmpty())
            return Missing{n, Field::Icon};
    }
    return std::nullopt;
}

QList<configfile::ButtonEntry> PrefsWorkingSet::buttonLines(bool inOrder) const
{
    QList<int> numbers;
    if (inOrder) {
        numbers = m_order;
    } else {
        for (int n = 1; n <= count(); ++n) {
            if (!entry(n).deleted)
                numbers.append(n);
        }
    }
    QList<configfile::ButtonEntry> lines;
    for (const int n : std::as_const(numbers)) {
        const PrefsEntry& e = entry(n);
        lines.append({e.program, e.icon, e.title, e.state});
    }
    return lines;
}
