// LMCSVImporterExporter: streams files through the dialect parser into one prepared INSERT, and tables out again.
#include "LMCSVImporterExporter.h"
#include "DesignVocabulary.h"

#include "DateFormatter.h"
#include "LMDelimitedParser.h"
#include "LMImportProgress.h"
#include "LMRecordInserter.h"
#include "LMTableRowReader.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "ReferenceDate.h"
#include "SchemaNameRules.h"

#include <QBuffer>

#include <QLoggingCategory>
#include <QStringDecoder>
#include <cmath>
#include <cstring>

Q_LOGGING_CATEGORY(lcImport, "orvix.import", QtWarningMsg)

namespace {
constexpr qint64 kChunk = 1 << 20;
const QString kImportFailed = QStringLiteral("The file could not be imported");

QString &separatorStore()
{
    static QString separator = QStringLiteral(",");
    return separator;
}

// An imported table keeps every column but the key and numbers as text: dates and yes/no values are then
// stored exactly in their stored text form ("605923200", "1").
QString importSqlType(const QString &type)
{
    switch (Datatypes::fromName(type)) {
    case Datatype::PrimaryKey: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case Datatype::Number: return QStringLiteral("REAL");
    default: return QStringLiteral("TEXT");
    }
}

Value importField(const QString &name, const QString &type, bool key)
{
    if (!key)
        return DesignVocabulary::blankField(name, type);
    Value field = DesignVocabulary::idField();
    field.set(DesignKey::Name, name);
    field.set(DesignKey::Type, type);
    return field;
}

// Checks the enabled columns' names before anything is created.
std::optional<Alert> checkColumns(const QStringList &names, const QList<bool> &enabled)
{
    QStringList accepted;
    for (int i = 0; i < names.size(); ++i) {
        if (i < enabled.size() && !enabled[i])
            continue;
        const QString &name = names[i];
        // SQLite compares column names ignoring case, so "ID" would clash with the key column too.
        if (name.compare(DesignKey::IdFieldName, Qt::CaseInsensitive) == 0)
            return LMCSVImporterExporter::importFailure(
                QStringLiteral("The column name \"%1\" is reserved for the key field.").arg(name));
        if (name.isEmpty())
            return LMCSVImporterExporter::importFailure(QStringLiteral("Column %1 has no name.").arg(i + 1));
        if (const auto alert = SchemaNameRules::checkFieldName(name, accepted))
            return alert;
        for (const QString &other : accepted)
            if (other.compare(name, Qt::CaseInsensitive) == 0)
                return LMCSVImporterExporter::importFailure(
                    QStringLiteral("The column name \"%1\" is used twice.").arg(name));
        accepted << name;
    }
    if (accepted.isEmpty())
        return LMCSVImporterExporter::importFailure(QStringLiteral("No column is chosen for import."));
    return std::nullopt;
}

// Whether the text ends inside a UTF-8 sequence (`tail` holds its last bytes): the decoder keeps such bytes back for
// a next piece that never comes, so they would be lost without a word.
bool endsInsideUtf8Sequence(const QByteArray &tail)
{
    qsizetype i = tail.size() - 1;
    int continuation = 0;
    while (i >= 0 && (static_cast<unsigned char>(tail[i]) & 0xC0) == 0x80) {
        --i;
        ++continuation;
    }
    if (i < 0)
        return false;
    const auto lead = static_cast<unsigned char>(tail[i]);
    const int length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 1;
    return continuation + 1 < length;
}

// Reads `data` in pieces, decoding UTF-8 across piece boundaries, and feeds the parser. Null when the whole
// text was parsed (or the parser was stopped by its handler), else the problem.
std::optional<Alert> feedFile(QIODevice &data, LMDelimitedParser &parser, LMImportProgress *progress)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QByteArray tail;
    qint64 consumed = 0;
    if (progress)
        progress->setMaximum(data.isSequential() ? 0 : data.size() - data.pos());
    while (!parser.stopped()) {
        const QByteArray chunk = data.read(kChunk);
        if (chunk.isEmpty()) {
            if (!data.atEnd())
                return LMCSVImporterExporter::importFailure(data.errorString());
            break;
        }
        tail = (tail + chunk.right(4)).right(4);
        const QString text = decoder.decode(chunk);
        if (decoder.hasError())
            return LMCSVImporterExporter::importFailure(QStringLiteral("The file is not UTF-8 text."));
        parser.feed(text);
        consumed += chunk.size();
        if (progress)
            progress->setValue(consumed);
    }
    if (parser.sawNul())
        return LMCSVImporterExporter::importFailure(QStringLiteral("The file holds binary data, not text."));
    if (!parser.stopped()) {
        // A sequence cut off at the end of the file is an error too.
        const QString rest = decoder.decode(QByteArray());
        if (decoder.hasError() || !rest.isEmpty() || endsInsideUtf8Sequence(tail))
            return LMCSVImporterExporter::importFailure(QStringLiteral("The file is not UTF-8 text."));
        // Counted from 1 for people; taken before the last record is handled and counted.
        const qint64 openRecord = parser.recordNumber() + 1;
        parser.finish();
        if (parser.inQuotes())
            return LMCSVImporterExporter::importFailure(
                QStringLiteral("A quoted field that begins in record %1 is never closed.").arg(openRecord));
    }
    return std::nullopt;
}

std::optional<Alert> failInTransaction(OXDatabase *db, const Alert &alert)
{
    if (db->isTransactionActive())
        db->rollbackTransaction();
    return alert;
}

QByteArray separatorUtf8()
{
    return QString(LMCSVImporterExporter::separatorCharacter(separatorStore())).toUtf8();
}

// A value needs quotes when it holds the separator, a double quote or any line-break character (LF, VT, FF, CR,
// NEL, LS, PS).
bool needsQuotes(const char *p, qsizetype n, const QByteArray &separator)
{
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if ((c >= 0x0A && c <= 0x0D) || c == '"')
            return true;
        if (c == 0xC2 && i + 1 < n && static_cast<unsigned char>(p[i + 1]) == 0x85)
            return true;
        if (c == 0xE2 && i + 2 < n && static_cast<unsigned char>(p[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(p[i + 2]) == 0xA8 || static_cast<unsigned char>(p[i + 2]) == 0xA9))
            return true;
        if (c == static_cast<unsigned char>(separator[0]) &&
            QByteArrayView(p + i, n - i).startsWith(QByteArrayView(separator)))
            return true;
    }
    return false;
}

// The export's output: written in place into one buffer that goes out whenever it is full.
class Sink {
public:
    explicit Sink(QIODevice &out) : m_out(out) { m_buffer.resize(kChunk); }
    // Room for `n` more bytes; null when the device refused the buffered ones.
    char *reserve(qsizetype n)
    {
        if (m_used + n > m_buffer.size()) {
            if (!flush())
                return nullptr;
            if (n > m_buffer.size())
                m_buffer.resize(n);
        }
        return m_buffer.data() + m_used;
    }
    void commit(char *end) { m_used = end - m_buffer.data(); }
    bool flush()
    {
        if (m_used > 0 && m_out.write(m_buffer.constData(), m_used) != m_used)
            return false;
        m_used = 0;
        return true;
    }

private:
    QIODevice &m_out;
    QByteArray m_buffer;
    qsizetype m_used = 0;
};

// The value enclosed, with its quotes doubled, when it holds the separator, a quote or a line break.
char *writeValue(char *out, const char *value, qsizetype n, const QByteArray &separator)
{
    const bool quoted = needsQuotes(value, n, separator);
    if (quoted)
        *out++ = '"';
    if (n > 0 && memchr(value, '"', size_t(n))) {
        for (qsizetype i = 0; i < n; ++i) {
            if (value[i] == '"')
                *out++ = '"';
            *out++ = value[i];
        }
    } else {
        memcpy(out, value, size_t(n));
        out += n;
    }
    if (quoted)
        *out++ = '"';
    return out;
}
} // namespace

QString LMCSVImporterExporter::sepValsSeparator()
{
    return separatorStore();
}

void LMCSVImporterExporter::setSepValsSeparator(const QString &separator)
{
    separatorStore() = separator;
}

QChar LMCSVImporterExporter::separatorCharacter(const QString &separator)
{
    return separator.isEmpty() ? QLatin1Char(',') : separator.at(0);
}

Alert LMCSVImporterExporter::importFailure(const QString &informative)
{
    return Alert::make(kImportFailed, informative);
}

QStringList LMCSVImporterExporter::parseString(const QString &text, const Value &options, LMImportProgress *progress,
                                               OXDatabase *db)
{
    const QChar separator = separatorCharacter(options.value(QStringLiteral("Delimiter")).toString());
    const bool columnNamesOnly = options.value(QStringLiteral("Get Col Names")).toBool();
    QStringList first;
    std::unique_ptr<LMRecordInserter> inserter;
    if (!columnNamesOnly) {
        QList<bool> enabled;
        const Value flags = options.value(QStringLiteral("Column Enabled"));
        for (int i = 0; i < flags.size(); ++i)
            enabled << flags.at(i).toBool();
        inserter =
            std::make_unique<LMRecordInserter>(db, options.value(QStringLiteral("Table Name")).toString(),
                                               options.value(QStringLiteral("Column Names")).toStringList(), enabled);
    }
    if (progress)
        progress->setMaximum(text.size());
    LMDelimitedParser parser(separator, [&](QStringList &fields, qint64 record) {
        if (columnNamesOnly) {
            first = fields;
            return false;
        }
        inserter->insert(fields);
        if (progress && record % 200 == 0)
            progress->setValue(record);
        return true;
    });
    parser.feed(text);
    parser.finish();
    return first;
}

void LMCSVImporterExporter::doInsertDataArray(const QStringList &record, qint64 row, const Value &options,
                                              OXDatabase *db)
{
    Q_UNUSED(row)
    QList<bool> enabled;
    const Value flags = options.value(QStringLiteral("Column Enabled"));
    for (int i = 0; i < flags.size(); ++i)
        enabled << flags.at(i).toBool();
    LMRecordInserter inserter(db, options.value(QStringLiteral("Table Name")).toString(),
                              options.value(QStringLiteral("Column Names")).toStringList(), enabled);
    inserter.insert(record);
}

std::optional<QStringList> LMCSVImporterExporter::firstRecord(QIODevice &data, const QString &separator,
                                                              std::optional<Alert> *alert)
{
    QStringList first;
    bool any = false;
    LMDelimitedParser parser(separatorCharacter(separator), [&](QStringList &fields, qint64) {
        first = fields;
        any = !(fields.size() == 1 && fields.first().isEmpty());
        return false;
    });
    if (auto problem = feedFile(data, parser, nullptr)) {
        if (alert)
            *alert = problem;
        return std::nullopt;
    }
    if (!any) {
        if (alert)
            *alert = importFailure(QStringLiteral("The file holds no records."));
        return std::nullopt;
    }
    return first;
}

Value LMCSVImporterExporter::importDesign(const QString &table, const QStringList &columnNames,
                                          const QStringList &columnTypes, const QList<bool> &columnEnabled)
{
    Value fields = Value::array();
    fields.append(importField(DesignKey::IdFieldName, Datatypes::name(Datatype::PrimaryKey), true));
    for (int i = 0; i < columnNames.size(); ++i) {
        if (i < columnEnabled.size() && !columnEnabled[i])
            continue;
        fields.append(importField(columnNames[i],
                                  i < columnTypes.size() ? columnTypes[i] : Datatypes::name(Datatype::Text), false));
    }
    Value design = Value::dict();
    design.set(DesignKey::Name, table);
    design.set(QStringLiteral("Creation Date"), Value::date(ReferenceDate::now()));
    design.set(DesignKey::Fields, fields);
    return design;
}

QString LMCSVImporterExporter::columnDefinitions(const Value &design)
{
    QStringList definitions;
    const Value fields = design.value(DesignKey::Fields);
    for (int i = 0; i < fields.size(); ++i) {
        const Value field = fields.at(i);
        const QString name = field.value(DesignKey::Name).toString();
        if (name.isEmpty())
            continue;
        const QString type = field.value(DesignKey::Type).toString();
        QString definition = QStringLiteral("%1 %2 ").arg(QLiteDatabase::quoteIdentifier(name), importSqlType(type));
        // The key is unique as the row id already; UNIQUE on it would only add an index that every insert
        // must update (tables made in the design editor have none either).
        if (field.value(DesignKey::Unique).toBool() && !Datatypes::is(type, Datatype::PrimaryKey))
            definition += QStringLiteral("UNIQUE ");
        if (field.value(DesignKey::NotNull).toBool())
            definition += QStringLiteral("NOT NULL ");
        // An empty default stays empty, as for tables made in the design editor: converting it would give
        // number and yes/no columns a 0.
        const Value defaultValue = field.value(DesignKey::Default);
        const bool noDefault = defaultValue.isNull() || (defaultValue.isString() && defaultValue.toString().isEmpty());
        definition +=
            QStringLiteral("DEFAULT '%1' ").arg(noDefault ? QString() : OXDatabase::nativeToDb(defaultValue, type));
        const QString check = field.value(DesignKey::Check).toString();
        if (!check.isEmpty())
            definition += QStringLiteral("CHECK (%1) ").arg(check);
        definitions << definition;
    }
    return definitions.join(QStringLiteral(" ,"));
}

std::optional<Alert> LMCSVImporterExporter::importData(QIODevice &data, const QString &table,
                                                       const QStringList &columnNames, const QStringList &columnTypes,
                                                       const QList<bool> &columnEnabled, OXDatabase *db,
                                                       LMImportProgress *progress, LMImportSummary *summary,
                                                       const LMImportOptions &options)
{
    if (!db || !db->isDatabaseOpen())
        return importFailure(QStringLiteral("The database is not open."));
    if (const auto alert = SchemaNameRules::checkTableName(table, db->design()))
        return alert;
    if (const auto alert = checkColumns(columnNames, columnEnabled))
        return alert;
    for (const QString &type : columnTypes)
        if (OXDatabase::sqlTypeForDatatype(type).isEmpty() || Datatypes::is(type, Datatype::PrimaryKey))
            return importFailure(QStringLiteral("\"%1\" is not a datatype a column can be imported as.").arg(type));

    const Value design = importDesign(table, columnNames, columnTypes, columnEnabled);
    if (!db->beginExclusiveTransaction())
        return importFailure(QStringLiteral("The database could not be locked: %1").arg(db->lastError()));
    db->performQuery(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(QLiteDatabase::quoteIdentifier(table), columnDefinitions(design)));
    if (db->lastErrorID() != 0)
        return failInTransaction(
            db, importFailure(QStringLiteral("The table could not be created: %1").arg(db->lastError())));

    LMRecordInserter inserter(db, table, columnNames, columnEnabled, columnTypes);
    if (!inserter.isValid())
        return failInTransaction(db, importFailure(inserter.error()));
    LMImportSummary counts;
    LMDelimitedParser parser(separatorCharacter(separatorStore()), [&](QStringList &fields, qint64 record) {
        if (record == 0 && options.firstRecordHoldsNames)
            return true;
        if (fields.size() > columnNames.size())
            ++counts.longRecords;
        if (inserter.insert(fields) == LMRecordInserter::Result::Skipped)
            ++counts.skipped;
        return true;
    });
    if (const auto problem = feedFile(data, parser, progress))
        return failInTransaction(db, *problem);
    inserter.flush();
    counts.inserted = inserter.inserted();
    counts.failed = inserter.failed();
    if (counts.inserted == 0 && counts.failed == 0)
        return failInTransaction(db, importFailure(QStringLiteral("The file holds no records.")));
    if (!db->commitTransaction())
        return failInTransaction(db,
                                 importFailure(QStringLiteral("The rows could not be saved: %1").arg(db->lastError())));
    db->createTableDesign(design);
    if (counts.failed > 0)
        qCWarning(lcImport) << counts.failed << "records of" << table << "could not be inserted";
    if (summary)
        *summary = counts;
    return std::nullopt;
}

std::optional<Alert> LMCSVImporterExporter::importData(const QByteArray &data, const QString &table,
                                                       const QStringList &columnNames, const QStringList &columnTypes,
                                                       const QList<bool> &columnEnabled, OXDatabase *db,
                                                       LMImportProgress *progress, LMImportSummary *summary,
                                                       const LMImportOptions &options)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return importData(buffer, table, columnNames, columnTypes, columnEnabled, db, progress, summary, options);
}

std::optional<LMImportCheck> LMCSVImporterExporter::checkData(QIODevice &data, const QStringList &columnNames,
                                                              const QStringList &columnTypes,
                                                              const QList<bool> &columnEnabled,
                                                              const LMImportOptions &options,
                                                              std::optional<Alert> *alert)
{
    constexpr int kExamples = 3;
    // The inserter's conversions, without a table to insert into.
    const LMRecordInserter converter(nullptr, QString(), columnNames, columnEnabled, columnTypes);
    QList<Datatype> types;
    for (int i = 0; i < columnNames.size(); ++i)
        types << (i < columnTypes.size() ? Datatypes::fromName(columnTypes[i]) : Datatype::Text);
    QList<LMImportCheck::Column> columns(columnNames.size());
    LMImportCheck check;
    LMDelimitedParser parser(separatorCharacter(separatorStore()), [&](QStringList &fields, qint64 record) {
        if (record == 0 && options.firstRecordHoldsNames)
            return true;
        if (fields.size() > columnNames.size() && ++check.longRecords == 1)
            check.firstLongRecord = record + 1;
        for (int i = 0; i < columnNames.size() && i < fields.size(); ++i) {
            const Datatype type = types[i];
            if ((i < columnEnabled.size() && !columnEnabled[i]) || type == Datatype::Text ||
                converter.converted(fields[i], type))
                continue;
            LMImportCheck::Column &column = columns[i];
            if (++column.count <= kExamples)
                column.examples << fields[i];
        }
        return true;
    });
    if (auto problem = feedFile(data, parser, nullptr)) {
        if (alert)
            *alert = problem;
        return std::nullopt;
    }
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].count == 0)
            continue;
        columns[i].name = columnNames[i];
        columns[i].type = columnTypes.value(i);
        check.columns << columns[i];
    }
    return check;
}

Alert LMImportCheck::alert() const
{
    QStringList lines;
    for (const Column &column : columns) {
        QStringList quoted;
        for (const QString &example : column.examples)
            quoted << QStringLiteral("\"%1\"").arg(example.left(40));
        lines << QStringLiteral("%1 %2 of \"%3\" cannot be read as %4, for example %5.")
                     .arg(column.count)
                     .arg(column.count == 1 ? QStringLiteral("value") : QStringLiteral("values"), column.name,
                          column.type, quoted.join(QStringLiteral(", ")));
    }
    if (longRecords > 0)
        lines << QStringLiteral("%1 %2 more fields than there are columns (the first is record %3); the extra "
                                "fields are not imported.")
                     .arg(longRecords)
                     .arg(longRecords == 1 ? QStringLiteral("record has") : QStringLiteral("records have"))
                     .arg(firstLongRecord);
    if (!columns.isEmpty())
        lines << QStringLiteral("Import these values as text, or cancel and choose other types.");
    return Alert::make(
        QStringLiteral("Some values do not fit their columns"), lines.join(QLatin1Char('\n')),
        {columns.isEmpty() ? QStringLiteral("Import") : QStringLiteral("Import as Text"), QStringLiteral("Cancel")});
}

bool LMCSVImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db, QString *error)
{
    return exportTable(out, table, db, LMDelimitedExportOptions{}, error);
}

QString LMCSVImporterExporter::isoDatePattern(const Value &field)
{
    const QString dateFormat = field.value(DesignKey::DateFormat).toString().trimmed();
    const QString timeFormat = field.value(DesignKey::TimeFormat).toString().trimmed();
    const auto isDefault = [](const QString &t) { return t.compare(u"Default", Qt::CaseInsensitive) == 0; };
    const QString date = QStringLiteral("yyyy-MM-dd");
    if (!dateFormat.isEmpty() && !isDefault(dateFormat) && !DateFormatter::styleFromText(dateFormat)) {
        // A pattern of the user's: its own letters tell whether it shows the time and the seconds.
        if (dateFormat.contains(QLatin1Char('s')))
            return date + QStringLiteral(" HH:mm:ss");
        for (const QChar letter : {u'H', u'h', u'K', u'k', u'm'})
            if (dateFormat.contains(letter))
                return date + QStringLiteral(" HH:mm");
        return date;
    }
    std::optional<DateFormatter::Style> time = DateFormatter::styleFromText(timeFormat);
    if (isDefault(timeFormat)) {
        const int preference = Preferences::instance().intValue(QStringLiteral("LMUITimeFormat"));
        time = preference >= DateFormatter::None && preference <= DateFormatter::Full
                   ? static_cast<DateFormatter::Style>(preference)
                   : DateFormatter::Medium;
    }
    if (!time || *time == DateFormatter::None)
        return date;
    return date + (*time == DateFormatter::Short ? QStringLiteral(" HH:mm") : QStringLiteral(" HH:mm:ss"));
}

namespace {
// The text of each field as its cells show, for the export's "values as shown".
class ShownValues {
public:
    ShownValues(OXDatabase *db, const QString &table, const QStringList &fields, const QStringList &types)
        : m_db(db), m_table(table), m_fields(fields), m_types(types)
    {
        for (const QString &field : fields) {
            const Value design = db->fieldForTable(table, field);
            m_dates << DateFormatter::withPattern(LMCSVImporterExporter::isoDatePattern(design), QLocale::c());
        }
    }
    // Whether field `i` shows its stored text as it is.
    bool showsStoredText(int i) const
    {
        const Datatype type = Datatypes::fromName(m_types[i]);
        return type != Datatype::Number && type != Datatype::Date && type != Datatype::YesNo && type != Datatype::List;
    }
    QByteArray text(int i, const LMTableRowReader &reader) const
    {
        const Datatype type = Datatypes::fromName(m_types[i]);
        const QString &field = m_fields[i];
        if (type == Datatype::YesNo) {
            // Never set is No too.
            const Value value(OXDatabase::boolFromYesNo(reader.text(i).trimmed()));
            return m_db->addFormattingToObject(value, m_table, field).text.toUtf8();
        }
        const QByteArray stored = reader.utf8(i);
        if (stored.isEmpty())
            return QByteArray();
        if (type == Datatype::Number || type == Datatype::Date) {
            // Text that is no number or moment (kept so by older imports) goes out as it is.
            const std::optional<double> number = reader.number(i);
            if (!number)
                return stored;
            if (type == Datatype::Date)
                return m_dates[i].format(std::round(*number)).toUtf8();
            return m_db->addFormattingToObject(Value(*number), m_table, field).text.toUtf8();
        }
        const Value native = OXDatabase::dbToNative(QString::fromUtf8(stored), m_types[i]);
        return m_db->addFormattingToObject(native, m_table, field).text.toUtf8();
    }

private:
    OXDatabase *m_db;
    QString m_table;
    QStringList m_fields;
    QStringList m_types;
    QList<DateFormatter> m_dates;
};
} // namespace

bool LMCSVImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db,
                                        const LMDelimitedExportOptions &options, QString *error)
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!db || !db->tablesList().contains(table))
        return failed(QStringLiteral("no table named \"%1\"").arg(table));
    const QStringList fields = db->namesForTable(table);
    const QStringList types = db->typesForTable(table);
    LMTableRowReader reader(db, table, fields);
    if (!reader.isValid())
        return failed(reader.error());
    QList<QByteArray> placeholders;
    for (const QString &type : types)
        placeholders << (Datatypes::isMedia(type) ? QStringLiteral("<%1>").arg(type.toLower()).toUtf8() : QByteArray());
    const std::optional<ShownValues> shown =
        options.valuesAsShown ? std::optional<ShownValues>(std::in_place, db, table, fields, types) : std::nullopt;
    const QByteArray separator = separatorUtf8();
    Sink sink(out);
    // One line of values; `value` gives field i's text and its length.
    const auto writeLine = [&](bool first, const auto &value) {
        for (int i = 0; i < fields.size(); ++i) {
            QByteArray owned;
            qsizetype length = 0;
            const char *text = value(i, owned, length);
            char *at = sink.reserve(2 * length + 3 + separator.size());
            if (!at)
                return false;
            if (i == 0 && !first)
                *at++ = '\n';
            if (i > 0) {
                memcpy(at, separator.constData(), size_t(separator.size()));
                at += separator.size();
            }
            at = writeValue(at, text, length, separator);
            sink.commit(at);
        }
        return true;
    };
    bool first = true;
    if (options.header) {
        QList<QByteArray> names;
        for (const QString &field : fields)
            names << field.toUtf8();
        if (!writeLine(true, [&](int i, QByteArray &, qsizetype &length) {
                length = names[i].size();
                return names[i].constData();
            }))
            return failed(out.errorString());
        first = false;
    }
    while (reader.next()) {
        const bool written = writeLine(first, [&](int i, QByteArray &owned, qsizetype &length) -> const char * {
            if (!placeholders[i].isEmpty()) {
                length = placeholders[i].size();
                return placeholders[i].constData();
            }
            if (shown && !shown->showsStoredText(i)) {
                owned = shown->text(i, reader);
                length = owned.size();
                return owned.constData();
            }
            return reader.data(i, &length);
        });
        if (!written)
            return failed(out.errorString());
        first = false;
    }
    if (!reader.error().isEmpty())
        return failed(reader.error());
    if (!sink.flush())
        return failed(out.errorString());
    return true;
}

QByteArray LMCSVImporterExporter::exportTable(const QString &table, OXDatabase *db)
{
    return exportToBytes([&](QIODevice &out) { return exportTable(out, table, db); });
}
