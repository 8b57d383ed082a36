// LMTableDesignRecovery: reads sqlite_master and PRAGMA table_info to give lost tables a design again.
#include "LMTableDesignRecovery.h"

#include "DesignVocabulary.h"
#include "LMTableDesignCommit.h"
#include "OXDatabase.h"
#include "QLiteConstants.h"
#include "QLiteDatabase.h"

#include <sqlite3.h>

namespace {
QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text) : QString();
}

Datatype datatypeForColumn(const QString &declared, bool primaryKey, const QString &name)
{
    const QString type = declared.toUpper();
    if (primaryKey && type.startsWith(QLatin1String("INTEGER")) && name == DesignKey::IdFieldName)
        return Datatype::PrimaryKey;
    if (type.contains(QLatin1String("INT")) || type.contains(QLatin1String("REAL")) ||
        type.contains(QLatin1String("FLOA")) || type.contains(QLatin1String("DOUB")) ||
        type.contains(QLatin1String("NUM")))
        return Datatype::Number;
    return Datatype::Text;
}
} // namespace

QStringList LMTableDesignRecovery::userTables(sqlite3 *db)
{
    QStringList names;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1, &statement,
                           nullptr) != SQLITE_OK)
        return names;
    const QStringList internal = {QLP_SchemaTable, QStringLiteral("LM_Tables"), QStringLiteral("LM_SearchIndex"),
                                  OXDatabase::designBackupTableName()};
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const QString name = columnText(statement, 0);
        if (!name.startsWith(QLatin1String("sqlite_")) && !internal.contains(name))
            names << name;
    }
    sqlite3_finalize(statement);
    return names;
}

Value LMTableDesignRecovery::designForTable(sqlite3 *db, const QString &table)
{
    Value fields = Value::array();
    sqlite3_stmt *statement = nullptr;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(%1)").arg(QLiteDatabase::quoteIdentifier(table)).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK) {
        // table_info columns: cid, name, type, notnull, dflt_value, pk.
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const QString name = columnText(statement, 1);
            const Datatype type =
                datatypeForColumn(columnText(statement, 2), sqlite3_column_int(statement, 5) > 0, name);
            if (type == Datatype::PrimaryKey) {
                fields.append(DesignVocabulary::idField());
                continue;
            }
            const Value field = DesignVocabulary::blankField(name, Datatypes::name(type));
            fields.append(field);
        }
    }
    sqlite3_finalize(statement);
    return Value::dict({{DesignKey::Name, Value(table)}, {DesignKey::Fields, fields}});
}
