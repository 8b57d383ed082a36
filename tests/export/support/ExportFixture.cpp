// ExportFixture: tables built and read straight through SQLite, so the code under test is the only way in.
#include "ExportFixture.h"

#include "DesignFixture.h"

#include "MyDocument.h"
#include "OXDatabase.h"

#include <QFile>

#include <sqlite3.h>

namespace ExportFixture {
namespace {
// The key field marks itself primary, unique and not null; every other field is plain.
Value field(const QString &name, const QString &type)
{
    const bool key = type == QLatin1String("Primary Key");
    return DesignFixture::field(name, type,
                                {{QStringLiteral("Primary Key"), Value(key)},
                                 {QStringLiteral("Unique"), Value(key)},
                                 {QStringLiteral("Not Null"), Value(key)}});
}
} // namespace

std::unique_ptr<MyDocument> newDocument()
{
    return MyDocument::createNew();
}

bool addTable(MyDocument &document, const QString &name, const Fields &fields)
{
    Value list = Value::array({field(QStringLiteral("id"), QStringLiteral("Primary Key"))});
    for (const auto &[fieldName, type] : fields)
        list.append(field(fieldName, type));
    const Value design = Value::dict({{QStringLiteral("Name"), Value(name)}, {QStringLiteral("Fields"), list}});
    OXDatabase *db = document.database();
    if (!db->createTableFromDesign(design) || db->lastErrorID() != 0)
        return false;
    db->createTableDesign(design);
    return true;
}

bool insertRow(MyDocument &document, const QString &table, const QStringList &values)
{
    OXDatabase *db = document.database();
    const QStringList names = db->allNamesForTable(table).mid(1);
    QStringList columns, marks;
    for (int i = 0; i < values.size(); ++i) {
        columns << QStringLiteral("`%1`").arg(names.value(i));
        marks << QStringLiteral("?");
    }
    const QByteArray sql = QStringLiteral("INSERT INTO `%1` (%2) VALUES (%3)")
                               .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                               .toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db->handle(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return false;
    QList<QByteArray> keep;
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].isNull()) {
            sqlite3_bind_null(statement, i + 1);
            continue;
        }
        keep << values[i].toUtf8();
        sqlite3_bind_text(statement, i + 1, keep.last().constData(), int(keep.last().size()), SQLITE_TRANSIENT);
    }
    const bool ok = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    return ok;
}

QList<QStringList> rows(MyDocument &document, const QString &table, const QStringList &columns)
{
    QList<QStringList> result;
    QStringList quoted;
    for (const QString &c : columns)
        quoted << QStringLiteral("`%1`").arg(c);
    const QByteArray sql = QStringLiteral("SELECT %1 FROM `%2` ORDER BY `id`")
                               .arg(columns.isEmpty() ? QStringLiteral("*") : quoted.join(QLatin1Char(',')), table)
                               .toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(document.database()->handle(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return result;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
            row << (text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, c)) : QStringLiteral("<NULL>"));
        }
        result << row;
    }
    sqlite3_finalize(statement);
    return result;
}

QString dataPath(const QString &name)
{
    return QStringLiteral(ORVIX_TEST_DATA "/") + name;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace ExportFixture
