// LMSQLImporterExporter: one CREATE TABLE and one INSERT per row, quoted and typed for the chosen target.
#include "LMSQLImporterExporter.h"
#include "DesignVocabulary.h"
#include "LMExportFormats.h"

#include "LMTableRowReader.h"
#include "OXDatabase.h"

#include <QBuffer>
#include <QIODevice>

#include <QDateTime>
#include <QTimeZone>

#include <charconv>
#include <cmath>
#include <optional>

namespace {
constexpr qsizetype kChunk = 1 << 20;
// Seconds from 1970-01-01 to the reference date 2001-01-01, both UTC.
constexpr double kSecondsFrom1970 = 978307200.0;

// How a target writes a moment: seconds since 1970 (SQLite keeps dates as numbers), or a timestamp literal.
enum class DateLiteral { UnixSeconds, Timestamp, IsoTimestamp };

struct Target {
    QString name;
    QString quote = QStringLiteral("`");
    QString ifNotExists = QStringLiteral("IF NOT EXISTS");
    QString keyType = QStringLiteral("TEXT");
    bool identityInsert = false;
    bool backslashEscapes = false; // the target reads a backslash in a string as an escape
    // Column types of the datatypes whose values the target checks.
    QString numberType = QStringLiteral("REAL");
    QString dateType = QStringLiteral("TIMESTAMP");
    QString yesNoType = QStringLiteral("BOOLEAN");
    QString textType = QStringLiteral("TEXT");
    DateLiteral dates = DateLiteral::UnixSeconds;
    bool unicodeStrings = false; // strings written N'…' so they keep every character
    bool serialKey = false;      // the key's sequence must be moved past the ids written
};

// Every target a row, in the export sheet's order; a new dialect is a new row.
const QList<Target> &targets()
{
    static const QList<Target> list{
        // DATETIME rather than TIMESTAMP: no time-zone shift, no 1970–2038 limit, NULL stays NULL.
        {.name = QStringLiteral("MySQL"),
         .keyType = QStringLiteral("INTEGER PRIMARY KEY auto_increment"),
         .backslashEscapes = true,
         .dateType = QStringLiteral("DATETIME"),
         .dates = DateLiteral::Timestamp},
        // REAL is single precision there.
        {.name = QStringLiteral("PostgreSQL"),
         .quote = QStringLiteral("\""),
         .ifNotExists = QString(),
         .keyType = QStringLiteral("SERIAL PRIMARY KEY"),
         .numberType = QStringLiteral("DOUBLE PRECISION"),
         .dates = DateLiteral::Timestamp,
         .serialKey = true},
        // REAL is single precision, TIMESTAMP is a row version and BOOLEAN does not exist there.
        {.name = QStringLiteral("MS SQL Server"),
         .quote = QStringLiteral("\""),
         .ifNotExists = QString(),
         .keyType = QStringLiteral("INTEGER PRIMARY KEY IDENTITY(1,1)"),
         .identityInsert = true,
         .numberType = QStringLiteral("FLOAT"),
         .dateType = QStringLiteral("DATETIME2"),
         .yesNoType = QStringLiteral("BIT"),
         .textType = QStringLiteral("NVARCHAR(MAX)"),
         .dates = DateLiteral::IsoTimestamp,
         .unicodeStrings = true},
        {.name = QStringLiteral("SQLite"), .keyType = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")},
    };
    return list;
}

// An unknown name gets the plain form (backquotes, IF NOT EXISTS, an untyped key).
Target targetFor(const QString &name)
{
    for (const Target &target : targets())
        if (target.name == name)
            return target;
    return Target{.name = name};
}

QString columnType(const QString &datatype, const Target &target)
{
    switch (Datatypes::fromName(datatype)) {
    case Datatype::PrimaryKey: return target.keyType;
    case Datatype::Number: return target.numberType;
    case Datatype::Date: return target.dateType;
    case Datatype::YesNo: return target.yesNoType;
    default: return target.textType;
    }
}

// A table or field name between the target's quotes, each quote inside doubled, so any name stays one identifier.
QString quotedIdentifier(const QString &name, const Target &target)
{
    QString doubled = name;
    doubled.replace(target.quote, target.quote + target.quote);
    return target.quote + doubled + target.quote;
}

// 'value' with every ' doubled, and every backslash too for targets that read it as an escape.
void appendQuoted(QByteArray &buffer, const QByteArray &value, const Target &target)
{
    if (target.unicodeStrings)
        buffer += 'N';
    buffer += '\'';
    if (value.contains('\'') || (target.backslashEscapes && value.contains('\\'))) {
        for (const char c : value) {
            if (c == '\'' || (target.backslashEscapes && c == '\\'))
                buffer += c;
            buffer += c;
        }
    } else {
        buffer += value;
    }
    buffer += '\'';
}

// A number in its shortest form that reads back as the same double.
QByteArray numberLiteral(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return '\'' + QByteArray(text, result.ptr - text) + '\'';
}

// A date as the target keeps moments; NULL for one no timestamp type holds.
QByteArray dateLiteral(double secondsSinceReferenceDate, const Target &target)
{
    const qint64 unixSeconds = static_cast<qint64>(std::llround(secondsSinceReferenceDate + kSecondsFrom1970));
    if (target.dates == DateLiteral::UnixSeconds)
        return '\'' + QByteArray::number(unixSeconds) + '\'';
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(unixSeconds, QTimeZone::utc());
    if (!moment.isValid() || moment.date().year() < 1 || moment.date().year() > 9999)
        return "NULL";
    const QString format = target.dates == DateLiteral::IsoTimestamp ? QStringLiteral("yyyy-MM-ddTHH:mm:ss")
                                                                     : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return '\'' + moment.toString(format).toLatin1() + '\'';
}

// One value of the row as the target reads it. Empty cells are NULL, except a Yes/No, which without a value is
// No; text in a number or date cell that is no number or moment is NULL too, so every script loads.
void appendValue(QByteArray &buffer, const LMTableRowReader &reader, int index, const QString &typeName,
                 const Target &target)
{
    const QByteArray stored = reader.utf8(index);
    const Datatype type = Datatypes::fromName(typeName);
    if (type == Datatype::YesNo) {
        buffer += OXDatabase::boolFromYesNo(QString::fromUtf8(stored).trimmed()) ? "'1'" : "'0'";
        return;
    }
    if (DesignVocabulary::isNullLike(QString::fromUtf8(stored))) {
        buffer += "NULL";
        return;
    }
    switch (type) {
    case Datatype::Image:
    case Datatype::Audio:
    case Datatype::Video:
    case Datatype::Attachment:
        // Quoted, so the script still loads; the content itself is never exported.
        appendQuoted(buffer, "<" + typeName.toLower().toUtf8() + ">", target);
        return;
    case Datatype::Number:
    case Datatype::PrimaryKey: {
        const std::optional<double> number = reader.number(index);
        buffer += number ? numberLiteral(*number) : QByteArray("NULL");
        return;
    }
    case Datatype::Date: {
        const std::optional<double> seconds = reader.number(index);
        buffer += seconds ? dateLiteral(*seconds, target) : QByteArray("NULL");
        return;
    }
    default: appendQuoted(buffer, stored, target);
    }
}

// After rows with their own ids, a serial key's sequence must continue past the largest, or the next row added
// on the server collides with them.
QString sequenceStatement(const Target &target, const QString &table)
{
    if (!target.serialKey)
        return QString();
    const QString quoted = target.quote + table + target.quote;
    QString literal = quoted;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'), MAX(%2id%2)) FROM %3;\n")
        .arg(literal, target.quote, quoted);
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
    const Target target = targetFor(options.value(LMExportFormats::kSqlTarget, defaultTarget()).toString());
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
            appendValue(buffer, reader, i, types.value(i), target);
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
    buffer += sequenceStatement(target, table).toUtf8();
    if (out.write(buffer) != buffer.size())
        return failed(out.errorString());
    return true;
}

QByteArray LMSQLImporterExporter::exportTable(const QString &table, OXDatabase *db, const Value &options)
{
    return exportToBytes([&](QIODevice &out) { return exportTable(out, table, db, options); });
}

QString LMSQLImporterExporter::defaultTarget()
{
    return targets().first().name;
}

QStringList LMSQLImporterExporter::targetNames()
{
    QStringList names;
    for (const Target &target : targets())
        names << target.name;
    return names;
}
