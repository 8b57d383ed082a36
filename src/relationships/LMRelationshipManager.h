// LMRelationshipManager: reads and writes the link lists of rows for one relationship record.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>
#include <optional>

class OXDatabase;

// "Parent" rows are rows of the start table (their list is in the start field), "child" rows rows of the end
// table (their list is in the end field, which only a two-way record has). Ids are passed as text.
class LMRelationshipManager {
public:
    // `database` is not owned; `relationship` is the record, shared with the document.
    LMRelationshipManager(OXDatabase *database, const Value &relationship);

    OXDatabase *database() const { return m_database; }
    Value relationship() const { return m_relationship; }
    int relationshipType() const;
    bool hasInverse() const;

    // A row's link list as stored; none when it is empty, null-like or the row does not exist.
    std::optional<QString> rawRowIndexesOfRowAtParentIndex(const QString &parentId) const;
    std::optional<QString> rawRowIndexesOfRowAtChildIndex(const QString &childId) const;
    QStringList rowIndexesOfRowAtParentIndex(const QString &parentId) const;
    QStringList rowIndexesOfRowAtChildIndex(const QString &childId) const;

    // Store a list as it is; false when the statement failed.
    bool setRowIndexesToRowAtParentIndex(const QString &list, const QString &parentId);
    bool setRowIndexesToRowAtChildIndex(const QString &list, const QString &childId);

    // Link one row, both sides in one transaction. False when the relationship type refuses the link (or a
    // write failed, which leaves both sides as they were).
    bool addRowIndexToRowAtParentIndex(const QString &childId, const QString &parentId);
    bool addRowIndexToRowAtChildIndex(const QString &parentId, const QString &childId);
    bool addRowIndex(const QString &index, const QString &row, bool isChild);

    // Unlink one row (every occurrence), both sides in one transaction; false when a write failed.
    bool removeRowIndexFromRowAtParentIndex(const QString &childId, const QString &parentId);
    bool removeRowIndexToRowAtChildIndex(const QString &parentId, const QString &childId);
    bool removeRowIndexToRowAtParentIndex(const QString &childId, const QString &parentId)
    {
        return removeRowIndexFromRowAtParentIndex(childId, parentId);
    }
    bool removeRowIndexFromRowAtChildIndex(const QString &parentId, const QString &childId)
    {
        return removeRowIndexToRowAtChildIndex(parentId, childId);
    }
    bool removeRowIndex(const QString &index, const QString &row, bool isChild);

private:
    std::optional<QString> rawList(const QString &table, const QString &field, const QString &id) const;
    bool writeList(const QString &table, const QString &field, const QString &list, const QString &id);
    // Where a row of one side keeps its list: table and field; the field is empty for a one-way end side.
    QString tableOfSide(bool isChild) const;
    QString fieldOfSide(bool isChild) const;

    OXDatabase *m_database;
    Value m_relationship;
};
