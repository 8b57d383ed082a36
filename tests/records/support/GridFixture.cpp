// GridFixture: designs, documents and rows for the record grid tests.
#include "GridFixture.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <sqlite3.h>

namespace GridFixture {

void setCell(MyDocument &document, const QString &table, const QString &column, const QString &id, const QString &text)
{
    document.database()->performQuery(QStringLiteral("UPDATE `%1` SET `%2` = '%3' WHERE id = '%4'")
                                          .arg(table, column, OXDatabase::prepareStringForQuery(text), id));
}

int rowCount(MyDocument &document, const QString &table)
{
    return int(document.database()->rowCountInTable(table));
}

int totalChanges(MyDocument &document)
{
    return sqlite3_total_changes(document.database()->handle());
}

} // namespace GridFixture
