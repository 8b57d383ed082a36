// LMTableEditModel: the Qt model of one record grid, reading the rows of the grid's cursor directly.
#pragma once

#include "OXDatabase.h"
#include "Value.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QLiteCursor;

class LMTableEditModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        DatatypeRole = Qt::UserRole + 1, // the field's datatype name
        FieldRole,                       // the field name (the column identifier)
        DisplayValueRole,                // the cell's display value as a Value (see displayValue)
    };
    // Receives every write of a cell (Value is the native value); the controller validates and stores it and
    // answers false when it refused the value.
    using Writer = std::function<bool(const Value &value, int column, int row)>;

    explicit LMTableEditModel(QObject *parent = nullptr);

    void setDatabase(OXDatabase *database) { m_database = database; }
    OXDatabase *database() const { return m_database; }
    void setTableName(const QString &table) { m_table = table; }
    QString tableName() const { return m_table; }
    void setWriter(Writer writer) { m_writer = std::move(writer); }

    // Rebuilds the columns from the design: one per field in design order; none at all gives one empty column.
    void resetColumns();
    // Shows a new result. The model resets only when the shape changed, so open editors and the selection
    // survive the reload that follows every edit.
    void setRows(std::shared_ptr<QLiteCursor> rows);
    // Lets the current result go before the next is read, so that the two are not in memory together; the
    // caller shows the next one with setRows before anything is drawn.
    void releaseRows();
    // Shows the rows the result has read since it was shown (its ids may still be read after its first screen).
    void syncRowCount();
    std::shared_ptr<QLiteCursor> rows() const { return m_rows; }

    bool hasFields() const { return !m_fields.isEmpty(); }
    QStringList fields() const { return m_fields; }
    QStringList datatypes() const { return m_types; }
    QString fieldAt(int column) const { return m_fields.value(column); }
    QString datatypeAt(int column) const { return m_types.value(column); }
    int columnOfField(const QString &field) const { return int(m_fields.indexOf(field)); }
    const FieldFormatter &formatterAt(int column) const;
    QStringList optionTitlesAt(int column) const;

    // The stored text of a cell from the cursor ("table.field"), "<null>" for NULL.
    QString cellString(int row, const QString &field) const;
    // The value of the row's `id` column as text; empty when the row has none.
    QString idForRow(int row) const;
    // The display value: null for media and null-like texts, the option index for "Options", else the
    // native value of the stored text ("Number" as a decimal number, "Date" as a date).
    Value displayValue(int column, int row) const;
    // The text a cell shows (formatted number or date, option title, joined list).
    QString displayText(int column, int row) const;
    QString formatValue(const Value &value, int column) const;

    static QString imageNameForDatatype(const QString &datatype);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Sort indicator per column: 0 ascending, 1 descending, -1 none.
    int sortType(int column) const;
    void setSortType(int column, int type);

private:
    OXDatabase *m_database = nullptr;
    QString m_table;
    QStringList m_fields;
    QStringList m_types;
    std::vector<FieldFormatter> m_formatters;
    std::vector<QStringList> m_options;
    std::shared_ptr<QLiteCursor> m_rows;
    int m_rowCount = 0;
    int m_sortColumn = -1;
    int m_sortType = -1;
    Writer m_writer;
};
