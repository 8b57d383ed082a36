// OXDatabase: the document's connection, and the front of the table design layer on it: design lookups
// (DesignCatalogue), value conversion (ValueCodec), display formatting (DisplayFormatter), schema changes
// (SchemaEditor, DesignReferences) and the checked write of one cell (CheckedCellWriter).
#pragma once

#include "Alert.h"
#include "DesignCatalogue.h"
#include "DisplayFormatter.h"
#include "LMTableDesignCommit.h"
#include "QLiteDatabase.h"
#include "Value.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class MyDocument;
class QLiteCursor;
class QWidget;

class OXDatabase : public QLiteDatabase {
public:
    // The closed set of datatypes, in the order the design editor offers them.
    static const QStringList &datatypes();
    // SQL column type of a datatype; empty for a name outside the set.
    static QString sqlTypeForDatatype(const QString &datatype);

    // `document` is not owned; it outlives the connection.
    explicit OXDatabase(const QString &path, MyDocument *document = nullptr);

    MyDocument *document() const { return m_document; }
    void setDocument(MyDocument *document) { m_document = document; }
    // The document's window, for sheets; null without one.
    QWidget *window() const;

    // Lets the design pieces working on this connection report a failure found before any statement ran.
    using QLiteDatabase::setLastError;

    // performQuery with the cache method the user chose ("LMCacheMethod"; 0, the connection's default of 2,
    // unless chosen otherwise): the entry point the rest of the program uses.
    std::shared_ptr<QLiteCursor> executeQuery(const QString &sql);
    // The "LMCacheMethod" preference: 1 or 2 as chosen, 0 (the connection's default) otherwise.
    static int cacheMethodPreference();

    // --- Design lookups (exact names; a missing table or field gives null or an empty list).
    // The document's shared array of table designs; an empty array without a document.
    Value design() const;
    // The lookups below, as one piece over that array (DesignCatalogue); the members here forward to it.
    DesignCatalogue catalogue() const;
    QStringList tablesList() const;
    Value tableDesign(const QString &table) const;
    Value fieldForTable(const QString &table, const QString &column) const;

    QStringList namesForTable(const QString &table) const; // fields other than "Relationship"
    QStringList columnNamesForTable(const QString &table) const { return namesForTable(table); }
    QStringList allNamesForTable(const QString &table) const;
    QStringList relationshipNamesForTable(const QString &table) const;
    QStringList typesForTable(const QString &table) const; // types of the non-relationship fields
    QStringList allTypesForTable(const QString &table) const;

    // One key of every field in field order, skipping fields without it.
    QList<Value> valuesOfKeyForTable(const QString &key, const QString &table) const;
    QList<Value> uniquesForTable(const QString &table) const;
    QList<Value> notNullsForTable(const QString &table) const;
    QList<Value> defaultsForTable(const QString &table) const;
    QList<Value> checksForTable(const QString &table) const;
    QList<Value> regexesForTable(const QString &table) const;
    QList<Value> formatsForTable(const QString &table) const;

    // One key of one field; null when the field (or key) does not exist.
    Value objectForKey(const QString &key, const QString &table, const QString &column) const;
    Value valueForKey(const QString &key, const QString &table, const QString &column) const
    {
        return objectForKey(key, table, column);
    }
    // The field's "Type"; a null string when the field does not exist.
    QString typeForTable(const QString &table, const QString &column) const;
    Value uniqueForTable(const QString &table, const QString &column) const;
    Value notNullForTable(const QString &table, const QString &column) const;
    Value defaultForTable(const QString &table, const QString &column) const;
    Value checkForTable(const QString &table, const QString &column) const;
    Value regexForTable(const QString &table, const QString &column) const;
    Value formatForTable(const QString &table, const QString &column) const;

    // The field that names a record for people.
    QString humanKeyForTable(const QString &table) const;

    // --- Design changes (the SQLite side of renames is the schema layer's).
    void createTableDesign(const Value &tableDesign);
    void updateTableDesign(const QString &oldName, const Value &tableDesign);
    void deleteTableDesign(const QString &name);
    // Creates the SQLite table of a design not yet in `design` (SchemaEditor; false for a known one, nothing
    // recorded); false, with the reason in lastError, for a name the editor would refuse, a field without a name
    // or of an unknown type. Otherwise the statement's own result is left in lastError.
    bool createTableFromDesign(const Value &tableDesign);

    // --- Schema changes: SchemaEditor for the SQLite side, DesignReferences for the designs naming a table.
    // The table a rebuild moves the old table to: "^Orvix__Design__Backup^".
    static QString designBackupTableName();
    // The column definitions of a commit: "`name` TYPE DEFAULT 'default' " per named field, joined by " ,".
    QString columnListForSchema(const Value &schema) const;
    // Applies a design commit: renames the references of renamed fields, creates or rebuilds the SQLite
    // table in one unit of atomic writes (rolled back at the first failing statement), stores the design and
    // audits the relationships. On success `commit` describes the committed table (empty-named fields dropped,
    // both map lists the new names, no columns to clear, not new); on failure it is left as it was.
    LMTableDesignCommit::Result commitTableRevised(LMTableDesignCommit &commit);
    // Points every relationship line and query display or parameter at the field's new name; the column
    // itself gets the new name in the next rebuild.
    void renameField(const QString &oldName, const QString &newName, const QString &table);
    // Renames the design and the relationship boxes and lines naming the table (not the SQLite table).
    void renameTableDesign(const QString &oldName, const QString &newName);
    // Renames an existing table from the editor's name sheet: checks the name rules, renames the SQLite
    // table and the design, marks the document changed, broadcasts the rename from `sender` and rewrites
    // forms', reports' and queries' references. Null on success, else the alert to show (nothing changed).
    std::optional<Alert> renameTable(const QString &oldName, const QString &newName, const void *sender = nullptr);
    // Forms' and reports' "Content Table", queries' "Table Name" and the "Table" of their displays and
    // parameters, from the old table name to the new one.
    void renameTableReferences(const QString &oldName, const QString &newName);

    // Keeps the relationship records consistent with the designs. The relationships layer installs the
    // audit once at start-up (core cannot depend on it); without one installed this does nothing.
    // True when a record was changed or removed.
    using RelationshipAuditor = std::function<bool(OXDatabase &)>;
    static void setRelationshipAuditor(RelationshipAuditor auditor);
    static bool hasRelationshipAuditor();
    bool auditRelationships();

    // Writes that land whole or not at all: a transaction of their own, or a savepoint inside a transaction
    // the caller already holds. Every begin is ended by exactly one commit or rollback; a rollback keeps
    // lastError as the failure that caused it.
    bool beginAtomicWrites();
    bool commitAtomicWrites();
    void rollbackAtomicWrites();

    // --- Conversion between native values and stored text. A null QString stands for nil.
    static QString nativeToDb(const Value &value, const QString &datatype, bool shouldEscape = true);
    QString nativeToDbForTable(const Value &value, const QString &table, const QString &column,
                               bool shouldEscape = true) const;
    static Value dbToNative(const QString &text, const QString &datatype);
    Value dbToNativeForTable(const QString &text, const QString &table, const QString &column) const;
    // Raw bytes of a media value (TIFF of an image, archive of a movie or file wrapper); nullopt otherwise.
    std::optional<QByteArray> dataForNativeObject(const Value &value, const QString &table,
                                                  const QString &column) const;
    static std::optional<QByteArray> dataForNativeObjectOfType(const Value &value, const QString &datatype);

    static QString stringFromDate(const Value &date);
    static Value dateFromString(const QString &text);
    static QString listFromArray(const Value &array);
    static Value arrayFromList(const QString &list);
    static QString yesNoFromBool(bool value);
    static bool boolFromYesNo(const QString &text);

    // --- Display formatting.
    FormattedText addFormattingToObject(const Value &value, const QString &table, const QString &column) const;
    FieldFormatter formatterForTable(const QString &table, const QString &column) const;
    FormattedText textFormatString(const QString &text, const QString &table, const QString &column) const;
    Value removeFormattingFromString(const QString &text, const QString &table, const QString &column) const;

    // --- Writing one cell (CheckedCellWriter). Null on success, else the alert to show; nothing is written on
    // refusal.
    std::optional<Alert> insertNativeValue(const Value &value, const QString &table, const QString &column,
                                           const QString &row);
    // `value` is stored text; `escaped` says it has already been through prepareStringForQuery.
    std::optional<Alert> insertDbValue(const QString &value, const QString &table, const QString &column,
                                       const QString &row, bool escaped = true);
    // Deletes one row (nothing for an id whose integer value is 0); false when the statement failed.
    bool deleteFromTable(const QString &table, const QString &row);

private:
    MyDocument *m_document = nullptr;
    QList<bool> m_atomicUsesSavepoint; // one entry per open unit of atomic writes
};
