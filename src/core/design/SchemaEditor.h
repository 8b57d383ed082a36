// SchemaEditor: the SQLite side of table designs: creating a table from a design, committing a revised design
// (rebuilding the table), and renaming a table.
#pragma once

#include "Alert.h"
#include "DesignVocabulary.h"
#include "LMTableDesignCommit.h"
#include "Value.h"

#include <QString>
#include <optional>

class OXDatabase;

class SchemaEditor {
public:
    // `database` is not owned; its document (if any) receives the design changes.
    explicit SchemaEditor(OXDatabase &database) : m_database(database) {}

    // SQL column type of a datatype; empty for Unknown.
    static QString sqlTypeForDatatype(Datatype datatype);
    // The table a rebuild moves the old table to: "^Orvix__Design__Backup^".
    static QString designBackupTableName();
    // The column definitions of a commit: "`name` TYPE DEFAULT 'default' " per named field, joined by " ,".
    // An empty default is no default, not the 0 of a number or yes/no.
    static QString columnListForSchema(const Value &schema);

    // Creates the SQLite table of a design not yet in the document (false for a known one, nothing recorded);
    // false, with the reason in lastError, for a name the editor would refuse, a field without a name or of an
    // unknown type. Otherwise the statement's own result is left in lastError.
    bool createTableFromDesign(const Value &tableDesign);
    // Applies a design commit: renames the references of renamed fields, creates or rebuilds the SQLite
    // table in one unit of atomic writes (rolled back at the first failing statement), stores the design and
    // audits the relationships. On success `commit` describes the committed table (empty-named fields dropped,
    // both map lists the new names, no columns to clear, not new); on failure it is left as it was.
    LMTableDesignCommit::Result commitTableRevised(LMTableDesignCommit &commit);
    // Renames an existing table: checks the name rules, renames the SQLite table and the design, marks the
    // document changed, broadcasts the rename from `sender` and rewrites the references of other designs.
    // Null on success, else the alert to show (nothing changed).
    std::optional<Alert> renameTable(const QString &oldName, const QString &newName, const void *sender = nullptr);

private:
    // The statements that move a table's data into its rebuilt form.
    QStringList rebuildStatements(const QString &table, const QString &createTable, const QStringList &newColumns,
                                  const QStringList &oldColumns);
    bool runAtomically(const QStringList &statements);

    OXDatabase &m_database;
};
