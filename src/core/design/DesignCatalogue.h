// DesignCatalogue: lookups and edits over a document's shared array of table designs, with no connection.
#pragma once

#include "DesignVocabulary.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>

// Names are exact; a missing table or field gives null or an empty list. The catalogue shares the array it is
// given, so design changes land in the document's own collection and every catalogue over it sees them.
class DesignCatalogue {
public:
    explicit DesignCatalogue(const Value &tables = Value::array()) : m_tables(tables) {}

    // The shared array of table designs.
    Value tables() const { return m_tables; }
    QStringList tablesList() const;
    Value tableDesign(const QString &table) const;
    Value fieldForTable(const QString &table, const QString &column) const;

    QStringList namesForTable(const QString &table) const; // fields other than "Relationship"
    QStringList allNamesForTable(const QString &table) const;
    QStringList relationshipNamesForTable(const QString &table) const;
    QStringList typesForTable(const QString &table) const; // types of the non-relationship fields
    QStringList allTypesForTable(const QString &table) const;

    // One key of every field in field order, skipping fields without it.
    QList<Value> valuesOfKeyForTable(const QString &key, const QString &table) const;
    // One key of one field; null when the field (or key) does not exist.
    Value objectForKey(const QString &key, const QString &table, const QString &column) const;
    // The field's "Type"; a null string when the field does not exist.
    QString typeForTable(const QString &table, const QString &column) const;
    Datatype datatypeForTable(const QString &table, const QString &column) const;

    // The field that names a record for people: the one marked "HumanKey", else the first name matching
    // "Name", "Surname", "Title", then containing them, else the second field, else "id".
    QString humanKeyForTable(const QString &table) const;

    // Design changes in the shared array (nothing for an array the catalogue does not have).
    void createTableDesign(const Value &tableDesign);
    // Replaces the design named `oldName`, or appends it when there is none.
    void updateTableDesign(const QString &oldName, const Value &tableDesign);
    void deleteTableDesign(const QString &name);

private:
    int indexOfTable(const QString &name) const;

    Value m_tables;
};
