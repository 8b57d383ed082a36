// LMSQLImporterExporter: one CREATE TABLE and one INSERT per row, quoted and typed for the chosen target.
#include "LMSQLImporterExporter.h"
#include "DesignVocabulary.h"

#include "LMTableRowReader.h"
#include "OXDatabase.h"

#include <QBuffer>
#include <QIODevice>

#include <cmath>
#include <optional>

namespace {
constexpr qsizetype kChunk = 1 << 20;
// Seconds from 1970-01-01 to the reference date 2001-01-01, both UTC.
constexpr double kSecondsFrom1970 = 978307200.0;

struct Target {
    QString quote;
    QString ifNotExists;
    QString keyType;
    bool identityInsert = false;
    bool backslashEscapes = false; // the target reads a backslash in a string as an escape
};

Target targetFor(const QString &name)
{
    if (name == QLatin1String("MySQL"))
        return {QStringLiteral("`"), QStringLiteral("IF NOT EXISTS"),
                QStringLiteral("INTEGER PRIMARY KEY auto_increment"), false, true};
    if (name == QLatin1String("SQLite"))
        return {QStringLiteral("`"), QStringLiteral("IF NOT EXISTS"),
                QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")};
    if (name == QLatin1String("PostgreSQL"))
        return {QStringLiteral("\""), QString(), QStringLiteral("SERIAL PRIMARY KEY")};
    if (name == QLatin1String("MS SQL Server"))
        return {QStringLiteral("\""), QString(), QStringLiteral("INTEGER PRIMARY KEY IDENTITY(1,1)"), true};
    return {QStringLiteral("`"), QStringLiteral("IF NOT EXISTS"), QStringLiteral("TEXT")};
}

QString columnType(const QString &datatype, const Target &target)
{
    if (datatype == QLatin1String("Primary Key"))
        return target.keyType;
    if (datatype == QLatin1String("Number"))
        return QStringLiteral("REAL");
    if (datatype == QLatin1String("Date"))
        return QStringLiteral("TIMESTAMP");
    if (datatype == QLatin1String("Yes/No"))
        return QStringLiteral("BOOLEAN");
    return QStringLiteral("TEXT");
}

// A table or field name between the target's quotes, each quote inside doubled, so any name stays one identifier.
QString quotedIdentifier(const QString &name, const Target &target)
{
    QString doubled = name;
    doubled.replace(target.quote, target.quote + target.quote);
    return target.quote + doubled + target.quote;
}

// The stored seconds of a date cell; nullopt for text that is not a number.
std::optional<double> storedSeconds(const QByteArray &stored)
{
    bool ok = false;
    const double seconds = stored.trimmed().toDouble(&ok);
    return ok && std::isfinite(seconds) ? std::optional<double>(seconds) : std::nullopt;
}

// 'value' with every ' doubled, and every backslash too for targets that read it as an escape.
void appendQuoted(QByteArray &buffer, const QByteArray &value, bool backslashEscapes)
{
    buffer += '\'';
    if (value.contains('\'') || (backslashEscapes && value.contains('\\'))) {
        for (const char c : value) {
            if (c == '\'' || (backslashEscapes && c == '\\'))
                buffer += c;
            buffer += c;
        }
    } else {
        buffer += value;
    }
    buffer += '\'';
}
} // namespace

bool LMSQLImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db, const Value &options,
                                        QString *error)
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!db || !db->tablesList().contains(table))
        return failed(QStringLiteral("no table named \"%1\"").arg(table));
    const Target target = targetFor(options.value(QStringLiteral("OX_SQL_Target"), QStringLiteral("MySQL")).toString());
    const QStringList fields = db->allNamesForTable(table);
    const QStringList types = db->allTypesForTable(table);

    QStringList definitions;
    QStringList quotedNames;
    for (int i = 0; i < fields.size(); ++i) {
        quotedNames << quotedIdentifier(fields[i], target);
        definitions << quotedNames.last() + QLatin1Char(' ') + columnType(types.value(i), target);
    }
    const QString quotedTable = quotedIdentifier(table, target);
    QString head = QStringLiteral("CREATE TABLE %1 %2 (").arg(target.ifNotExists, quotedTable) +
                   definitions.join(QStringLiteral(", ")) + QStringLiteral(");\n\n");
    if (target.identityInsert)
        head += QStringLiteral("\nSET IDENTITY_INSERT %1 ON;\n\n").arg(quotedTable);
    const QByteArray insertHead = QStringLiteral("INSERT INTO %1 (%2) VALUES (")
                                      .arg(quotedTable, quotedNames.join(QStringLiteral(", ")))
                                      .toUtf8();

    LMTableRowReader reader(db, table, fields);
    if (!reader.isValid())
        return failed(reader.error());
    QByteArray buffer = head.toUtf8();
    while (reader.next()) {
        buffer += insertHead;
        for (int i = 0; i < fields.size(); ++i) {
            if (i > 0)
                buffer += ", ";
            const QString type = types.value(i);
            const QByteArray stored = reader.utf8(i);
            if (Datatypes::isMedia(type)) {
                // Quoted, so the script still loads; the content itself is never exported.
                buffer += "'<" + type.toLower().toUtf8() + ">'";
            } else if (type == QLatin1String("Date") && stored.isEmpty()) {
                // An empty date has no moment to write; it would otherwise read as the reference date.
                buffer += "NULL";
            } else if (const auto seconds = type == QLatin1String("Date") ? storedSeconds(stored) : std::nullopt) {
                buffer +=
                    '\'' + QByteArray::number(static_cast<qint64>(std::llround(*seconds + kSecondsFrom1970))) + '\'';
            } else {
                // Any other value, and date text that is no moment (kept as typed by an import), as a string.
                appendQuoted(buffer, stored, target.backslashEscapes);
            }
        }
        buffer += ");\n";
        if (buffer.size() >= kChunk) {
            if (out.write(buffer) != buffer.size())
                return failed(out.errorString());
            buffer.clear();
        }
    }
    if (!reader.error().isEmpty())
        return failed(reader.error());
    if (out.write(buffer) != buffer.size())
        return failed(out.errorString());
    return true;
}

QByteArray LMSQLImporterExporter::exportTable(const QString &table, OXDatabase *db, const Value &options)
{
    return exportToBytes([&](QIODevice &out) { return exportTable(out, table, db, options); });
}
