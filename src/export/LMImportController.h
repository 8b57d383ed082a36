// LMImportController: the import sheet's state and rules (file, column names, types, enabled flags, table name).
#pragma once

#include "Alert.h"
#include "LMCSVImporterExporter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class LMDocumentNavigator;
class MyDocument;
class OXDatabase;
class QWidget;

class LMImportController {
public:
    // The sheet on `parent` for `document`; `path` presets the file (when a .csv/.tsv file is opened as a
    // document). Returns true when a table was imported; `navigator` (when given) then opens the new table's
    // data view. The entry point of the File menu's "Import…".
    static bool runSheet(MyDocument *document, QWidget *parent, const QString &path = QString(),
                         LMDocumentNavigator *navigator = nullptr);

    explicit LMImportController(MyDocument *document);

    MyDocument *document() const { return m_document; }
    OXDatabase *database() const;

    // The datatypes a column can be imported as, numbered 0 to 4 in this order.
    static const QStringList &columnTypes();
    static int typeToNumber(const QString &type);
    static QString numberToType(int number);

    // False for an empty text, one in `values` ignoring case, or one with characters other than letters,
    // digits, blank, underscore and hyphen.
    static bool stringIsOK(const QString &text, const QStringList &values);

    // Takes the file: its extension chooses the separator ("csv" ",", "tsv" a tab); the first record names
    // the columns, every column starts as enabled "Text", and a table name is proposed. An alert when the
    // file cannot be imported (then the column table stays disabled).
    std::optional<Alert> setFile(const QString &path);
    QString path() const { return m_path; }
    QString extension() const { return m_extension; }
    QString separator() const { return m_separator; }
    bool columnTableEnabled() const { return m_columnTableEnabled; }

    // The table name field.
    QString tableName() const { return m_tableName; }
    // Re-checks the name against the document's tables (controlTextDidChange:).
    void controlTextDidChange(const QString &tableName);
    bool tableNameOK() const { return m_tableNameOK; }
    // "Good" or "Bad": the image beside the table name; the import button is enabled exactly with "Good".
    QString tableNameImage() const { return m_tableNameOK ? QStringLiteral("Good") : QStringLiteral("Bad"); }
    bool importEnabled() const { return m_tableNameOK && m_columnTableEnabled; }

    // The column table's data source: one row per column of the file; table columns "Enabled", "Name", "Type".
    int numberOfRows() const { return int(m_names.size()); }
    QString objectValue(const QString &tableColumn, int row) const;
    // A refused name beeps and changes nothing; false then.
    bool setObjectValue(const QString &value, const QString &tableColumn, int row);

    QStringList columnNames() const { return m_names; }
    QStringList columnTypeNames() const { return m_types; }
    QList<bool> columnEnabled() const { return m_enabled; }
    QStringList firstRecord() const { return m_firstRecord; }

    // The index of the column named `name`, or -1.
    int columnNamed(const QString &name) const { return int(m_names.indexOf(name)); }

    // Imports with an acceptable name and marks the document changed. Null on success; otherwise the alert
    // ("Table name already exists", or why the file could not be imported) and nothing is created.
    std::optional<Alert> import(LMImportProgress *progress = nullptr, LMImportSummary *summary = nullptr);

    static Alert tableNameExistsAlert();

private:
    QString proposedTableName(const QString &baseName) const;
    QStringList documentTableNames() const;
    bool tableNameAcceptable(const QString &name) const;

    MyDocument *m_document = nullptr;
    QString m_path;
    QString m_extension;
    QString m_separator = QStringLiteral(",");
    bool m_columnTableEnabled = false;
    QString m_tableName;
    bool m_tableNameOK = false;
    QStringList m_firstRecord;
    QStringList m_names;
    QStringList m_types;
    QList<bool> m_enabled;
};
