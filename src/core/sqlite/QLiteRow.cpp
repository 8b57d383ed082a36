// QLiteRow: row-level reads and edits forwarded to the cursor.
#include "QLiteRow.h"

#include "QLiteCursor.h"

QString QLiteRow::stringForColumn(const QString &column) const
{
    const std::optional<Value> value = m_cursor->fetchValue(column, m_index);
    if (!value)
        return QString();
    return value->isString() ? value->toString() : value->description();
}

Value QLiteRow::valueForColumn(const QString &column) const
{
    return m_cursor->valueForColumn(column, m_index);
}

Value QLiteRow::values() const
{
    return m_cursor->rowValues(m_index);
}

bool QLiteRow::setValue(const Value &value, const QString &column)
{
    return m_cursor->setValue(value, column, m_index);
}
