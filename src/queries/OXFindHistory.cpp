// OXFindHistory: a menu model kept in the order the menu shows it.
#include "OXFindHistory.h"

#include <QStringList>

OXFindHistory::OXFindHistory()
{
    m_items = {{QStringLiteral("History"), 0, false}, {QStringLiteral("Clear Menu"), -1, false}, {QString(), 0, true}};
}

QStringList OXFindHistory::remembered() const
{
    QStringList titles;
    for (int i = kFixedItems; i < m_items.size(); ++i)
        titles.append(m_items.at(i).title);
    return titles;
}

void OXFindHistory::add(const QString &findString, bool regex)
{
    if (findString.isEmpty() || findString == QLatin1String("Clear Menu"))
        return;
    for (const Item &item : m_items) {
        if (!item.separator && item.title == findString)
            return;
    }
    m_items.insert(kFixedItems, {findString, regex ? 1 : 0, false});
    while (m_items.size() > kMaxItems)
        m_items.removeLast();
}

void OXFindHistory::clear()
{
    m_items.resize(kFixedItems);
}

bool OXFindHistory::choose(int index, QString *findString, bool *regex) const
{
    if (index < kFixedItems || index >= m_items.size())
        return false;
    *findString = m_items.at(index).title;
    *regex = m_items.at(index).tag == 1;
    return true;
}
