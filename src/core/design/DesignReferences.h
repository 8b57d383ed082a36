// DesignReferences: rewrites the names of a renamed table or field in every design that refers to it.
#pragma once

#include "Value.h"

#include <QString>

class MyDocument;

// Works on the document's shared collections, so the rewrites land in the document itself. Only designs
// change here; the SQLite side of a rename is the schema editor's.
class DesignReferences {
public:
    struct Collections {
        Value tables;
        Value relationships; // the dictionary with "Boxes" and "Lines"
        Value queries;
        Value forms;
        Value reports;
    };

    explicit DesignReferences(const Collections &collections) : m_designs(collections) {}
    // Nothing is rewritten without a document.
    static DesignReferences of(MyDocument *document);

    // Points every relationship line and query display or parameter at the field's new name.
    void renameField(const QString &oldName, const QString &newName, const QString &table);
    // Renames the table design and the relationship boxes and lines naming the table.
    void renameTableDesign(const QString &oldName, const QString &newName);
    // Forms' and reports' "Content Table", queries' "Table Name" and the "Table" of their displays and
    // parameters, from the old table name to the new one.
    void renameTableReferences(const QString &oldName, const QString &newName);

private:
    Collections m_designs;
};
