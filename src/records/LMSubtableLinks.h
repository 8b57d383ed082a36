// LMSubtableLinks: the records a subtable shows (its id list) and their links to the parent row, kept through
// the relationship manager. No widget: the grid asks it and shows the outcome.
#pragma once

#include "Value.h"

#include <QString>

class OXDatabase;

class LMSubtableLinks {
public:
    // `commaIndexes` is the parent cell's link list ("3,17"); null-like gives an empty id list. A null
    // `relationship` stands for a top-level grid, which links nothing.
    LMSubtableLinks(OXDatabase *database, const Value &relationship, const QString &parentRowid, bool isBackwards,
                    const QString &commaIndexes);

    bool isSubtable() const { return !m_relationship.isNull(); }
    Value relationship() const { return m_relationship; }
    QString parentRowid() const { return m_parentRowid; }
    bool isBackwards() const { return m_isBackwards; }

    // The linked ids as '3','17' (what "id IN (...)" takes); empty for a top-level grid.
    QString idList() const { return m_idList; }
    bool isEmpty() const;
    void append(const QString &id);
    // False when the id was not in the list.
    bool remove(const QString &id);

    // Adds or removes `id` in the parent row's link cell (and the other side of the relationship).
    static bool linkInParent(OXDatabase *database, const Value &relationship, const QString &parentRowid,
                             const QString &id, bool backwards);
    static bool unlinkInParent(OXDatabase *database, const Value &relationship, const QString &parentRowid,
                               const QString &id, bool backwards);
    // A one-to-one parent row that already holds a link takes no other.
    bool parentIsFull() const;

private:
    OXDatabase *m_database = nullptr;
    Value m_relationship;
    QString m_parentRowid;
    bool m_isBackwards = false;
    QString m_idList;
};
