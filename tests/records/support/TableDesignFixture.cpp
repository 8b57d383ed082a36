// TableDesignFixture: documents, rows and editors for the design editor tests.
#include "TableDesignFixture.h"

#include "LMIdentifiedView.h"
#include "LMTableDesignView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace TableDesignFixture {

QString insertRow(MyDocument &document, const QString &table, const QList<std::pair<QString, QString>> &cells)
{
    OXDatabase *db = document.database();
    QStringList columns, values;
    for (const auto &cell : cells) {
        columns << QStringLiteral("`%1`").arg(cell.first);
        values << QStringLiteral("'%1'").arg(db->prepareStringForQuery(cell.second));
    }
    if (cells.isEmpty())
        db->performQuery(QStringLiteral("INSERT INTO `%1` DEFAULT VALUES").arg(table));
    else
        db->performQuery(
            QStringLiteral("INSERT INTO `%1` (%2) VALUES (%3)").arg(table, columns.join(", "), values.join(", ")));
    if (db->lastErrorID() != 0)
        return QString();
    return QString::number(db->lastRowInserted());
}

QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id)
{
    if (!sqliteColumns(document, table).contains(column))
        return QString();
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2` WHERE id='%3'").arg(column, table, id));
    if (!cursor || cursor->rowCount() == 0)
        return QString();
    return cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + column);
}

QStringList sqliteColumns(MyDocument &document, const QString &table)
{
    QStringList names;
    const std::shared_ptr<QLiteCursor> cursor =
        document.database()->executeQuery(QStringLiteral("PRAGMA table_info(`%1`)").arg(table));
    if (!cursor)
        return names;
    for (quint32 i = 0; i < quint32(cursor->rowCount()); ++i) {
        const auto row = cursor->rowAtIndex(i);
        for (const QString &column : cursor->columns())
            if (column.endsWith(QLatin1String("name")))
                names << row->stringForColumn(column);
    }
    return names;
}

Editor open(MyDocument &document, const QString &table)
{
    return open(document, table, nullptr);
}

Editor open(MyDocument &document, const QString &table, LMDocumentNavigator *navigator)
{
    auto controller = std::make_unique<LMTableDesignView>(table, &document, nullptr, navigator);
    Editor result;
    result.editor = controller.get();
    result.view.reset(controller->view());
    result.view->adoptController(std::move(controller));
    return result;
}

int rowOf(const LMTableDesignView &editor, const QString &name)
{
    for (int i = 0; i < editor.numberOfRowsInTableView(); ++i)
        if (editor.fieldAt(i).value("Name").toString() == name)
            return i;
    return -1;
}

} // namespace TableDesignFixture
