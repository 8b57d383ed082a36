// orvix-cli commands over the records of a table as the grid reads them: rows.
#include "CliRegistry.h"
#include "DesignVocabulary.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

namespace {
QString backQuoted(const QString &name)
{
    return QLatin1Char('`') + name + QLatin1Char('`');
}

// Rows FIRST (1-based) to FIRST + COUNT - 1 of a table, in the grid's order, read through a cursor that loads
// only the ids and then the values of the pages asked for, so a window into a large table stays cheap.
int runRows(CliContext &cli, const QStringList &args)
{
    QStringList positional;
    QString sortField;
    bool descending = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sort")) {
            if (++i >= args.size())
                return cli.fail(QStringLiteral("--sort needs a FIELD"), 2);
            sortField = args[i];
        } else if (args[i] == QLatin1String("--desc")) {
            descending = true;
        } else {
            positional << args[i];
        }
    }
    if (positional.size() < 2 || positional.size() > 4)
        return cli.usage(2);
    bool firstOk = true, countOk = true;
    const qint64 first = positional.size() > 2 ? positional[2].toLongLong(&firstOk) : 1;
    const qint64 count = positional.size() > 3 ? positional[3].toLongLong(&countOk) : 20;
    if (!firstOk || !countOk || first < 1 || count < 0)
        return cli.fail(QStringLiteral("FIRST must be a row number from 1 and COUNT a number of rows"), 2);

    auto doc = cli.openPackage(positional[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString &table = positional[1];
    if (!db->tablesList().contains(table))
        return cli.fail(QStringLiteral("no table named \"%1\"").arg(table));
    const QStringList names = db->allNamesForTable(table);
    if (!sortField.isEmpty() && !names.contains(sortField))
        return cli.fail(QStringLiteral("no field named \"%1\" in table \"%2\"").arg(sortField, table));
    QStringList columns;
    for (const QString &name : names)
        if (!Datatypes::isMedia(db->typeForTable(table, name))) // Base64 bytes, left out as the grid does
            columns << backQuoted(name);
    if (columns.isEmpty())
        columns << QStringLiteral("*");
    QString tail = QStringLiteral(" FROM %1 ").arg(backQuoted(table));
    if (!sortField.isEmpty())
        tail += QStringLiteral("ORDER BY %1 %2").arg(backQuoted(sortField), descending ? "DESC" : "ASC");
    const QLiteRowSource source{table, DesignKey::IdFieldName, QStringLiteral("SELECT `id`") + tail};
    auto cursor = db->performQuery(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + tail,
                                   OXDatabase::cacheMethodPreference(), source);
    if (!cursor)
        return cli.fail(db->lastError());
    const QStringList resultColumns = cursor->columns();
    cli.out() << resultColumns.join(QLatin1Char('\t')) << "\n";
    for (qint64 r = first - 1; r < qMin<qint64>(first - 1 + count, cursor->rowCount()); ++r) {
        const auto row = cursor->rowAtIndex(quint32(r));
        QStringList cells;
        for (const QString &column : resultColumns)
            cells << row->stringForColumn(column);
        cli.out() << cells.join(QLatin1Char('\t')) << "\n";
    }
    cli.out().flush();
    return 0;
}

const CliRegistration registration({
    {"rows", "PACKAGE TABLE [FIRST [COUNT]] [--sort FIELD [--desc]]",
     "print COUNT records (20) from row number FIRST (1) in the grid's order, tab-separated with a header\n"
     "line; only the ids and the rows printed are read, however large the table",
     2, -1, runRows},
});
} // namespace
