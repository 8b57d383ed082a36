// LMTableDesignCommit: the pending change set of one table design that OXDatabase::commitTableRevised applies.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>

struct LMTableDesignCommit {
    enum class Result {
        Committed, // SQLite and the stored design now follow the schema
        Unchanged, // the stored design already equals the schema: no SQL ran, nothing was audited
        Cancelled, // doNotCommit was set
        Failed     // a statement failed and was rolled back; lastError() of the connection says why
    };

    QString tableName;             // the SQLite table name, equal to the design's "Name"
    Value schema = Value::array(); // the new ordered list of field dictionaries
    // The column map, one entry per schema position in both lists: the field's new column name (left)
    // and the old column name its data comes from (right; "" for a field that did not exist before).
    QStringList columnMapLeft;
    QStringList columnMapRight;
    QStringList columnsToClear; // old column names whose data must not be carried over
    bool isNewTable = false;    // the SQLite table does not exist yet
    bool doNotCommit = false;   // the editor was closed without committing

    // The change set of an unedited stored design: private copies of its fields, both map lists its names.
    static LMTableDesignCommit forDesign(const Value &tableDesign);
    // The change set of a table not yet created: the schema holds the "id" field only, the new-table flag is set.
    static LMTableDesignCommit forNewTable(const QString &tableName);

    // The "id" field every table starts with, and a field as the design editor adds it (name "").
};
