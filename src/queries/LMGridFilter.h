// LMGridFilter: what a record grid asks of the query filter shown above it.
#pragma once

#include "ItemKind.h"

#include <QString>
#include <QStringList>
#include <functional>

class LMGridFilter {
public:
    virtual ~LMGridFilter() = default;

    // True while the filter is shown and restricts the grid.
    virtual bool isOpen() const = 0;
    // The restriction as " WHERE …" text to append to the grid's SELECT; empty when nothing restricts.
    virtual QString whereQuery() const = 0;
    // The bare clause (no WHERE) whether open or not, for grids that combine it with their own restriction
    // (a subtable's " WHERE (%@) AND (id IN (%@)) "); empty when no condition is complete.
    virtual QString whereClause() const
    {
        QString where = whereQuery().trimmed();
        return where.startsWith(QLatin1String("WHERE ")) ? where.mid(6).trimmed() : where;
    }
    // The fields the grid shows while the filter is open, in design order; empty when every field is shown.
    virtual QStringList displayedFields() const { return {}; }
    // Opens a closed filter and closes an open one; the grid then reloads.
    virtual void toggleQueryView() {}
    // Renames relayed by the grid (queries) and the grid's refresh.
    virtual void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
    {
        (void)kind, (void)oldName, (void)newName;
    }
    virtual void refresh() {}

    // Called by the filter whenever its conditions change, so the grid reloads.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

protected:
    void notifyChanged()
    {
        if (m_changed)
            m_changed();
    }

private:
    std::function<void()> m_changed;
};
