// CheckedCellWriter: the write of one cell after the field's rules (not null, unique, pattern, number bounds),
// and the delete of one row.
#include "CheckedCellWriter.h"

#include "DesignVocabulary.h"
#include "HVICURegex.h"
#include "MyDocument.h"
#include "OXDBMediaCache.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "Ui.h"
#include "ValueCodec.h"

#include <cmath>

namespace {
using DesignVocabulary::isNullLike;

// Number rules of a field that only the design editor's number options set.
const QString kIsInteger = QStringLiteral("IsInteger");
const QString kIsPositive = QStringLiteral("IsPositive");

// A quoted SQL literal's body: quotes doubled, and NUL characters spliced in with char(0) because the
// statement text itself ends at the first NUL.
QString literalBody(const QString &text)
{
    QString body = QLiteDatabase::prepareStringForQuery(text);
    if (body.contains(QChar(0)))
        body.replace(QChar(0), QStringLiteral("'||char(0)||'"));
    return body;
}

Alert internalDatabaseError()
{
    return Alert::make(QStringLiteral("Internal Error"),
                       QStringLiteral("The database encountered an unknown error. It's probably a bug in the "
                                      "program, or a corrupt database. Please report."));
}

bool hasNoBound(const QString &op)
{
    return op.isEmpty() || op.startsWith(QLatin1Char('x'));
}

// "lo op x" for the lower bound.
bool lowerHolds(const QString &op, double lo, double x)
{
    if (op == QStringLiteral("<"))
        return lo < x;
    if (op == QStringLiteral(">"))
        return lo > x;
    if (op == QStringLiteral("≤"))
        return lo <= x;
    if (op == QStringLiteral("≥"))
        return lo >= x;
    return false;
}

// "x op hi" for the upper bound.
bool upperHolds(const QString &op, double x, double hi)
{
    if (hasNoBound(op))
        return true;
    if (op == QStringLiteral("<"))
        return x < hi;
    if (op == QStringLiteral(">"))
        return x > hi;
    if (op == QStringLiteral("≤"))
        return x <= hi;
    if (op == QStringLiteral("≥"))
        return x >= hi;
    if (op == QStringLiteral("="))
        return x == hi;
    if (op == QStringLiteral("≠"))
        return x != hi;
    return false;
}
} // namespace

std::optional<Alert> CheckedCellWriter::checkUnique(const QString &value, const QString &table, const QString &column)
{
    const std::shared_ptr<QLiteCursor> cursor = m_database.executeQuery(
        QStringLiteral("SELECT %1 FROM %2 WHERE %1='%3'")
            .arg(QLiteDatabase::quoteIdentifier(column), QLiteDatabase::quoteIdentifier(table), literalBody(value)));
    // A check that could not run must not let the value through as if it were unique.
    if (!cursor)
        return internalDatabaseError();
    if (cursor->rowCount() > 0)
        return Alert::make(QStringLiteral("Value isn't Unique"),
                           QStringLiteral("The field \"%1\" requires that the value you enter is unique").arg(column));
    return std::nullopt;
}

std::optional<Alert> CheckedCellWriter::checkRegex(const QString &value, const QString &pattern, const QString &column)
{
    QString body = pattern;
    if (body.startsWith(QLatin1Char('^')))
        body.remove(0, 1);
    else if (body.endsWith(QLatin1Char('$')))
        body.chop(1);
    if (body.isEmpty())
        return std::nullopt;
    // "^" and "$" are line anchors in this syntax; the whole value must match, so the wrapped pattern is
    // matched against the whole text rather than searched for a matching line.
    const HVICURegex regex(QStringLiteral("^%1$").arg(body));
    if (regex.isValid() && regex.matchesWhole(value))
        return std::nullopt;
    return Alert::make(
        QStringLiteral("Value is invalid"),
        QStringLiteral("The value you entered did not pass the validation checks required by field \"%1\"")
            .arg(column));
}

std::optional<Alert> CheckedCellWriter::checkNumber(QString &value, const Value &field, const QString &column)
{
    // An empty cell stays empty: whether it may be empty is the not-null rule's business.
    if (isNullLike(value))
        return std::nullopt;
    const QString original = value;
    if (field.value(kIsInteger).toBool())
        value = Value::numberText(std::round(Value(value).toDouble()));
    if (field.value(kIsPositive).toBool())
        value = Value::numberText(std::fabs(std::trunc(Value(value).toDouble())));
    if (value != original)
        Ui::instance().beep();

    const double x = Value(value).toDouble();
    const QString lop = field.value(DesignKey::CheckLowerBoundOperator).toString();
    const QString hop = field.value(DesignKey::CheckUpperBoundOperator).toString();
    const double lo = field.value(DesignKey::CheckLowerBound).toDouble();
    const double hi = field.value(DesignKey::CheckUpperBound).toDouble();
    bool passes;
    if (hasNoBound(lop))
        passes = upperHolds(hop, x, hi);
    else if ((lop == QStringLiteral("=") && x == lo) || (lop == QStringLiteral("≠") && x != lo))
        passes = true;
    else
        passes = lowerHolds(lop, lo, x) && upperHolds(hop, x, hi);
    if (passes)
        return std::nullopt;
    return Alert::make(QStringLiteral("Number is invalid"),
                       QStringLiteral("The number you entered did not pass the validation checks required by "
                                      "field \"%1\"")
                           .arg(column));
}

std::optional<Alert> CheckedCellWriter::validateCell(QString &value, const QString &table, const QString &column)
{
    const Value field = m_database.fieldForTable(table, column);
    if (field.value(DesignKey::NotNull).toBool() && isNullLike(value))
        return Alert::make(QStringLiteral("Value is Null"),
                           QStringLiteral("The field \"%1\" requires you to enter data").arg(column));
    if (field.value(DesignKey::Unique).toBool())
        if (std::optional<Alert> alert = checkUnique(value, table, column))
            return alert;
    const Datatype type = Datatypes::fromName(field.value(DesignKey::Type).toString());
    const QString pattern = field.value(DesignKey::Regex).toString();
    if (type == Datatype::Text && !pattern.isEmpty())
        return checkRegex(value, pattern, column);
    if (type == Datatype::Number)
        return checkNumber(value, field, column);
    return std::nullopt;
}

std::optional<Alert> CheckedCellWriter::insertDbValue(const QString &value, const QString &table, const QString &column,
                                                      const QString &row, bool escaped)
{
    // The checks look at the value as the user gave it; it is quoted once, when the statement is built.
    QString stored = escaped ? QString(value).replace(QStringLiteral("''"), QStringLiteral("'")) : value;
    if (std::optional<Alert> alert = validateCell(stored, table, column))
        return alert;
    // The row is addressed by its integer value only, so no text of the row id reaches the statement.
    const qint64 rowid = Value(row).toInt();
    m_database.performQuery(
        QStringLiteral("UPDATE %1 SET %2 = '%3' WHERE id = '")
            .arg(QLiteDatabase::quoteIdentifier(table), QLiteDatabase::quoteIdentifier(column), literalBody(stored)) +
        QString::number(rowid) + QStringLiteral("'"));
    if (m_database.lastErrorID() != 0 || !m_database.lastError().isEmpty())
        return internalDatabaseError();
    if (MyDocument *document = m_database.document())
        document->setChanged(true);
    return std::nullopt;
}

std::optional<Alert> CheckedCellWriter::insertNativeValue(const Value &value, const QString &table,
                                                          const QString &column, const QString &row)
{
    const Value field = m_database.fieldForTable(table, column);
    if (!field.value(DesignKey::Type).isString() || field.value(DesignKey::Type).toString().isEmpty())
        return Alert::make(QStringLiteral("Internal Error"),
                           QStringLiteral("An internal error occurred. Datatype is nil at LMQLQuery-768. Please "
                                          "report to tandrel"));
    const QString stored = ValueCodec::nativeToDbForField(value, field, false);
    if (std::optional<Alert> alert = insertDbValue(stored, table, column, row, false))
        return alert;
    if (MyDocument *document = m_database.document(); document && document->mediaCache())
        document->mediaCache()->addNativeObject(value, table, column, row);
    return std::nullopt;
}

bool CheckedCellWriter::deleteFromTable(const QString &table, const QString &row)
{
    if (Value(row).toInt() == 0)
        return true;
    m_database.performQuery(
        QStringLiteral("DELETE FROM %1 WHERE `id`='%2'").arg(QLiteDatabase::quoteIdentifier(table), literalBody(row)));
    const bool ok = m_database.lastErrorID() == 0;
    if (MyDocument *document = m_database.document(); document && document->mediaCache())
        document->mediaCache()->removeNativeObjectsForTable(table, row);
    return ok;
}
