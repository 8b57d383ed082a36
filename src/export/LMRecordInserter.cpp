// LMRecordInserter: file text reaches the table only as bound values, never inside SQL text.
#include "LMRecordInserter.h"
#include "DesignVocabulary.h"

#include "OXDatabase.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <utility>

LMRecordInserter::LMRecordInserter(OXDatabase *db, const QString &table, const QStringList &names,
                                   const QList<bool> &enabled, const QStringList &types)
    : m_shortDate(DateFormatter::Short, DateFormatter::None),
      m_shortDateTime(DateFormatter::Short, DateFormatter::Short), m_numberForms{
                                                                       NumberFormatter(QStringLiteral("Decimal")),
                                                                       NumberFormatter(QStringLiteral("Currency")),
                                                                       NumberFormatter(QStringLiteral("Percent"))}
{
    QStringList columns;
    QStringList marks;
    for (int i = 0; i < names.size(); ++i) {
        if (i < enabled.size() && !enabled[i])
            continue;
        m_positions << i;
        m_types << (i < types.size() ? Datatypes::fromName(types[i]) : Datatype::Text);
        columns << QLiteDatabase::quoteIdentifier(names[i]);
        marks << QStringLiteral("?");
    }
    if (columns.isEmpty()) {
        m_error = QStringLiteral("no column is enabled");
        return;
    }
    if (!db || !db->handle()) {
        m_error = QStringLiteral("the database is not open");
        return;
    }
    db->willWriteThroughHandle();
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(QLiteDatabase::quoteIdentifier(table), columns.join(QStringLiteral(", ")));
    const QString row = QStringLiteral("(%1)").arg(marks.join(QStringLiteral(", ")));
    const QByteArray single = (head + row).toUtf8();
    if (sqlite3_prepare_v2(db->handle(), single.constData(), int(single.size()), &m_statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db->handle()));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        return;
    }
    // Several records per statement: the per-statement work (the AUTOINCREMENT bookkeeping above all) is
    // then shared by the batch. Bounded by the statement's limit on parameters.
    const int limit = sqlite3_limit(db->handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1);
    const int batch = std::clamp(limit / int(columns.size()), 1, 64);
    if (batch > 1) {
        const QByteArray many = (head + QStringList(batch, row).join(QStringLiteral(", "))).toUtf8();
        if (sqlite3_prepare_v2(db->handle(), many.constData(), int(many.size()), &m_batchStatement, nullptr) ==
            SQLITE_OK)
            m_batch = batch;
        else
            sqlite3_finalize(std::exchange(m_batchStatement, nullptr));
    }
    for (const Datatype type : std::as_const(m_types))
        m_isText << (type == Datatype::Text);
    m_converted.resize(m_positions.size());
}

LMRecordInserter::~LMRecordInserter()
{
    flush();
    sqlite3_finalize(m_batchStatement);
    sqlite3_finalize(m_statement);
}

namespace {
QList<qint64> digitGroups(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    QList<qint64> groups;
    for (auto it = digits.globalMatch(text); it.hasNext();)
        groups << it.next().captured().toLongLong();
    return groups;
}

// Whether the numbers of the typed text are those of the date it was read as: the locale's formats are read
// leniently, which turns "15/03/2021" into a date in 2022. A two-digit year matches its four-digit form,
// and an hour matches its 12-hour form.
bool sameNumbers(const QList<qint64> &typed, const QList<qint64> &formatted)
{
    if (typed.size() != formatted.size())
        return false;
    for (int i = 0; i < typed.size(); ++i) {
        const qint64 a = typed[i], b = formatted[i];
        if (a == b || ((a >= 100 || b >= 100) && a % 100 == b % 100) || (i == 3 && a % 12 == b % 12))
            continue;
        return false;
    }
    return true;
}
} // namespace

std::optional<double> LMRecordInserter::parseDate(const QString &text) const
{
    static const QRegularExpression iso(QStringLiteral("^\\s*[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9:]+)?\\s*$"));
    if (iso.match(text).hasMatch())
        return m_shortDate.parse(text); // read strictly by the formatter
    const QList<qint64> typed = digitGroups(text);
    for (const DateFormatter *formatter : {&m_shortDate, &m_shortDateTime}) {
        const std::optional<double> date = formatter->parse(text);
        if (date && sameNumbers(typed, digitGroups(formatter->format(*date))))
            return date;
    }
    return std::nullopt;
}

std::optional<double> LMRecordInserter::parseNumber(const QString &text) const
{
    bool ok = false;
    const double plain = text.trimmed().toDouble(&ok);
    if (ok)
        return std::isfinite(plain) ? std::optional<double>(plain) : std::nullopt;
    for (const NumberFormatter &form : m_numberForms)
        if (const std::optional<double> value = form.parse(text))
            return value;
    return std::nullopt;
}

std::optional<QString> LMRecordInserter::converted(const QString &text, Datatype datatype) const
{
    if (text.isEmpty())
        return text;
    switch (datatype) {
    case Datatype::Date:
        if (const auto seconds = parseDate(text))
            return QString::number(static_cast<qint64>(std::llround(*seconds)));
        return std::nullopt;
    case Datatype::YesNo: {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1"))
            return QStringLiteral("1");
        if (word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("0"))
            return QStringLiteral("0");
        return std::nullopt;
    }
    case Datatype::Number:
        if (const auto number = parseNumber(text))
            return OXDatabase::nativeToDb(Value(*number), Datatypes::name(datatype), false);
        return std::nullopt;
    default: return text;
    }
}

QString LMRecordInserter::convert(const QString &text, Datatype datatype) const
{
    return converted(text, datatype).value_or(text);
}

LMRecordInserter::Result LMRecordInserter::insert(const QStringList &record)
{
    if (!m_statement)
        return Result::Failed;
    const int count = int(m_positions.size());
    bool allEmpty = true;
    qsizetype length = 0;
    for (int k = 0; k < count; ++k) {
        const int position = m_positions[k];
        const QStringView text = position < record.size() ? QStringView(record[position]) : QStringView();
        allEmpty = allEmpty && text.isEmpty();
        // Text columns are encoded straight from the record: copying the parser's strings would make it
        // allocate anew for every field.
        if (!m_isText[k]) {
            m_converted[k] = convert(text.toString(), m_types[k]);
            length += m_converted[k].size();
        } else {
            length += text.size();
        }
    }
    if (allEmpty)
        return Result::Skipped;
    // Every value as UTF-8 after the queued ones, in one reused buffer: SQLite then neither translates nor
    // copies the texts.
    const qsizetype used = m_utf8.size();
    m_utf8.resize(used + m_encoder.requiredSpace(length));
    char *const start = m_utf8.data();
    char *out = start + used;
    for (int k = 0; k < count; ++k) {
        const int position = m_positions[k];
        const QStringView text = !m_isText[k]               ? QStringView(m_converted[k])
                                 : position < record.size() ? QStringView(record[position])
                                                            : QStringView();
        out = m_encoder.appendToBuffer(out, text);
        m_ends.append(out - start);
    }
    m_utf8.resize(out - start);
    if (++m_pending == m_batch)
        flush();
    return Result::Inserted;
}

bool LMRecordInserter::step(sqlite3_stmt *statement, int first, int records)
{
    const int count = int(m_positions.size());
    const char *const start = m_utf8.constData();
    for (int r = 0; r < records; ++r) {
        for (int k = 0; k < count; ++k) {
            const qsizetype index = qsizetype(first + r) * count + k;
            const qsizetype begin = index == 0 ? 0 : m_ends[index - 1];
            sqlite3_bind_text(statement, r * count + k + 1, start + begin, int(m_ends[index] - begin), SQLITE_STATIC);
        }
    }
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE;
}

void LMRecordInserter::flush()
{
    if (m_pending == 0 || !m_statement)
        return;
    if (m_pending == m_batch && m_batchStatement && step(m_batchStatement, 0, m_pending)) {
        m_inserted += m_pending;
    } else {
        for (int r = 0; r < m_pending; ++r)
            ++(step(m_statement, r, 1) ? m_inserted : m_failed);
    }
    m_pending = 0;
    m_utf8.resize(0);
    m_ends.resize(0);
}
