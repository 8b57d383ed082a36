// LMFormRecords: the records one form editor shows: its SELECT, the related-record id list of a nested editor,
// the human-key field and the record list's lines. No widgets, so the command-line tool uses it too.
#pragma once

#include <QString>
#include <QStringList>

class LMGridFilter;
class MyDocument;
class OXDatabase;

class LMFormRecords {
public:
    // The line of a record whose human key is empty.
    static inline const QString kNewRecord = QStringLiteral("New Record");
    // Stored by older documents for a record not yet given a human key; shown as a new record.
    static inline const QString kNewRecordMarker = QStringLiteral("$$__OX__NEW__RECORD__$$");

    // A nested editor (of related records) passes its quoted id list, possibly empty.
    LMFormRecords(MyDocument *document, const QString &formName, bool nested = false,
                  const QString &commaIndexes = QString());

    QString name() const { return m_name; }
    QString contentTable() const { return m_contentTable; }
    QString tableName() const { return m_contentTable; }
    // A content table that is set, not "None" and exists in the document.
    bool hasContentTable() const;
    bool isNested() const { return m_nested; }
    OXDatabase *database() const { return m_database; }
    MyDocument *document() const { return m_document; }

    // The filter shown over the form (not owned); null for none.
    void setFilter(LMGridFilter *filter) { m_filter = filter; }
    LMGridFilter *filter() const { return m_filter; }

    QString buildAllColumns() const;
    QString buildNonMediaColumns() const { return buildAllColumns(); }
    QString standardQuery(bool allColumns) const;
    QString standardSelectQuery() const { return standardQuery(true); }
    // The base query: every record of the table, or of the id list.
    QString query() const;

    // --- The related ids of a nested editor, as '3','17'.
    QString commaIndexes() const { return m_commaIndexes; }
    bool idListIsEmpty() const;
    void appendId(const QString &id);
    bool removeId(const QString &id);
    bool containsId(const QString &id) const;

    // --- The field the record list shows.
    QString humanKey() const { return m_humanKey; }
    // Keeps the field when it is a field of the table, else the table's human key.
    void setHumanKey(const QString &field);
    // The list field made the table's human key in its design.
    void markHumanKey(const QString &field);

    // Re-reads the records (the standard select query) and their lines.
    void reloadData();
    int count() const { return int(m_ids.size()); }
    QString idAt(int index) const;
    int indexOfId(const QString &id) const { return int(m_ids.indexOf(id)); }
    QStringList lines() const { return m_lines; }
    QStringList ids() const { return m_ids; }
    // Whether the line shows "New Record" (drawn in grey).
    bool isNewRecordLine(int index) const;

private:
    MyDocument *m_document;
    OXDatabase *m_database;
    QString m_name;
    QString m_contentTable;
    QString m_commaIndexes;
    bool m_nested = false;
    QString m_humanKey;
    LMGridFilter *m_filter = nullptr;
    QStringList m_ids;
    QStringList m_lines;
    QList<bool> m_newLines;
};
