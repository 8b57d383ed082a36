// LMRecordInserter: file text reaches the table only as bound values, never inside SQL text.
#include "LMRecordInserter.h"

#include "OXDatabase.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <cmath>

LMRecordInserter::LMRecordInserter(OXDatabase *db, const QString &table, const QStringList &names,
                                   const QList<bool> &enabled, const QStringList &types)
    : m_shortDate(DateFormatter::Short, DateFormatter::None),
      m_shortDateTime(DateFormatter::Short, DateFormatter::Short)
{
    QStringList columns;
    QStringList marks;
    for (int i = 0; i < names.size(); ++i) {
        if (i < enabled.size() && !enabled[i])
            continue;
        m_positions << i;
        m_types << (i < types.size() ? types[i] : QStringLiteral("Text"));
        columns << QStringLiteral("`%1`").arg(names[i]);
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
    const QString sql = QStringLiteral("INSERT INTO `%1` (%2) VALUES (%3)")
                            .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db->handle(), utf8.constData(), int(utf8.size()), &m_statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db->handle()));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
    m_values.reserve(m_positions.size());
}

LMRecordInserter::~LMRecordInserter()
{
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

QString LMRecordInserter::convert(const QString &text, const QString &datatype) const
{
    if (text.isEmpty())
        return text;
    if (datatype == QLatin1String("Date")) {
        if (const auto seconds = parseDate(text))
            return QString::number(static_cast<qint64>(std::llround(*seconds)));
        return text;
    }
    if (datatype == QLatin1String("Yes/No")) {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1"))
            return QStringLiteral("1");
        if (word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("0"))
            return QStringLiteral("0");
    }
    return text;
}

LMRecordInserter::Result LMRecordInserter::insert(const QStringList &record)
{
    if (!m_statement)
        return Result::Failed;
    m_values.clear();
    bool allEmpty = true;
    for (int k = 0; k < m_positions.size(); ++k) {
        const int position = m_positions[k];
        const QString text = position < record.size() ? record[position] : QString();
        m_values.append(m_types[k] == QLatin1String("Text") ? text : convert(text, m_types[k]));
        allEmpty = allEmpty && text.isEmpty();
    }
    if (allEmpty)
        return Result::Skipped;
    for (int k = 0; k < m_values.size(); ++k) {
        const QString &value = m_values[k];
        // A null QString would bind as NULL; every imported cell holds text.
        static const char16_t kEmpty = 0;
        const void *data = value.isNull() ? static_cast<const void *>(&kEmpty) : value.utf16();
        sqlite3_bind_text16(m_statement, k + 1, data, int(value.size() * 2), SQLITE_STATIC);
    }
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    return rc == SQLITE_DONE ? Result::Inserted : Result::Failed;
}
