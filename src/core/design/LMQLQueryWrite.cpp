// OXDatabase: the checked write of one cell and the delete of one row, forwarded to CheckedCellWriter.
#include "OXDatabase.h"

#include "CheckedCellWriter.h"

std::optional<Alert> OXDatabase::insertDbValue(const QString &value, const QString &table, const QString &column,
                                               const QString &row, bool escaped)
{
    return CheckedCellWriter(*this).insertDbValue(value, table, column, row, escaped);
}

std::optional<Alert> OXDatabase::insertNativeValue(const Value &value, const QString &table, const QString &column,
                                                   const QString &row)
{
    return CheckedCellWriter(*this).insertNativeValue(value, table, column, row);
}

bool OXDatabase::deleteFromTable(const QString &table, const QString &row)
{
    return CheckedCellWriter(*this).deleteFromTable(table, row);
}
