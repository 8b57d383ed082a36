// QLiteRow: a lightweight handle on one row of a cursor; keeps its cursor alive.
#pragma once

#include "Value.h"

#include <QString>
#include <memory>

class QLiteCursor;

class QLiteRow {
public:
    QLiteRow(std::shared_ptr<QLiteCursor> cursor, quint32 index) : m_cursor(std::move(cursor)), m_index(index) {}

    // The value as text: strings as they are, anything else by its description ("<null>" for NULL);
    // an empty string for a column the row does not have.
    QString stringForColumn(const QString &column) const;
    Value valueForColumn(const QString &column) const;
    // Every column of the row (and "UUID" when the row has one) as a dictionary.
    Value values() const;
    // Records a pending edit that QLiteDatabase::save writes; false when the row cannot be addressed.
    bool setValue(const Value &value, const QString &column);
    std::shared_ptr<QLiteCursor> cursor() const { return m_cursor; }
    quint32 index() const { return m_index; }

private:
    std::shared_ptr<QLiteCursor> m_cursor;
    quint32 m_index;
};
