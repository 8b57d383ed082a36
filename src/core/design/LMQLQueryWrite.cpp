// OXDatabase: the validating write of one cell and the delete of one row.
#include "DesignVocabulary.h"
#include "OXDatabase.h"

#include "HVICURegex.h"
#include "MyDocument.h"
#include "OXDBMediaCache.h"
#include "QLiteCursor.h"
#include "Ui.h"

#include <cmath>

namespace {
using DesignVocabulary::isNullLike;

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

std::optional<Alert> OXDatabase::checkUnique(const QString &value, const QString &table, const QString &column)
{
    const std::shared_ptr<QLiteCursor> cursor =
        executeQuery(QStringLiteral("SELECT %1 FROM %2 WHERE %1='%3'")
                         .arg(quoteIdentifier(column), quoteIdentifier(table), literalBody(value)));
    // A check that could not run must not let the value through as if it were unique.
    if (!cursor)
        return internalDatabaseError();
    if (cursor->rowCount() > 0)
        return Alert::make(QStringLiteral("Value isn't Unique"),
                           QStringLiteral("The field \"%1\" requires that the value you enter is unique").arg(column));
    return std::nullopt;
}

std::optional<Alert> OXDatabase::checkRegex(const QString &value, const QString &pattern, const QString &column) const
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

std::optional<Alert> OXDatabase::checkNumber(QString &value, const Value &field, const QString &column) const
{
    // An empty cell stays empty: whether it may be empty is the not-null rule's business.
    if (isNullLike(value))
        return std::nullopt;
    const QString original = value;
    if (field.value(QStringLiteral("IsInteger")).toBool())
        value = Value::numberText(std::round(Value(value).toDouble()));
    if (field.value(QStringLiteral("IsPositive")).toBool())
        value = Value::numberText(std::fabs(std::trunc(Value(value).toDouble())));
    if (value != original)
        Ui::instance().beep();

    const double x = Value(value).toDouble();
    const QString lop = field.value(QStringLiteral("CheckLowerBoundOperator")).toString();
    const QString hop = field.value(QStringLiteral("CheckUpperBoundOperator")).toString();
    const double lo = field.value(QStringLiteral("CheckLowerBound")).toDouble();
    const double hi = field.value(QStringLiteral("CheckUpperBound")).toDouble();
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

std::optional<Alert> OXDatabase::validateCell(QString &value, const QString &table, const QString &column)
{
    const Value field = fieldForTable(table, column);
    if (field.value(QStringLiteral("Not Null")).toBool() && isNullLike(value))
        return Alert::make(QStringLiteral("Value is Null"),
                           QStringLiteral("The field \"%1\" requires you to enter data").arg(column));
    if (field.value(QStringLiteral("Unique")).toBool())
        if (std::optional<Alert> alert = checkUnique(value, table, column))
            return alert;
    const QString type = field.value(QStringLiteral("Type")).toString();
    const QString pattern = field.value(QStringLiteral("Regex")).toString();
    if (type == QLatin1String("Text") && !pattern.isEmpty())
        return checkRegex(value, pattern, column);
    if (type == QLatin1String("Number"))
        return checkNumber(value, field, column);
    return std::nullopt;
}

std::optional<Alert> OXDatabase::insertDbValue(const QString &value, const QString &table, const QString &column,
                                               const QString &row, bool escaped)
{
    // The checks look at the value as the user gave it; it is quoted once, when the statement is built.
    QString stored = escaped ? QString(value).replace(QStringLiteral("''"), QStringLiteral("'")) : value;
    if (std::optional<Alert> alert = validateCell(stored, table, column))
        return alert;
    // The row is addressed by its integer value only, so no text of the row id reaches the statement.
    const qint64 rowid = Value(row).toInt();
    performQuery(QStringLiteral("UPDATE %1 SET %2 = '%3' WHERE id = '")
                     .arg(quoteIdentifier(table), quoteIdentifier(column), literalBody(stored)) +
                 QString::number(rowid) + QStringLiteral("'"));
    if (lastErrorID() != 0 || !lastError().isEmpty())
        return internalDatabaseError();
    if (m_document)
        m_document->setChanged(true);
    return std::nullopt;
}

std::optional<Alert> OXDatabase::insertNativeValue(const Value &value, const QString &table, const QString &column,
                                                   const QString &row)
{
    if (typeForTable(table, column).isEmpty())
        return Alert::make(QStringLiteral("Internal Error"),
                           QStringLiteral("An internal error occurred. Datatype is nil at LMQLQuery-768. Please "
                                          "report to tandrel"));
    const QString stored = nativeToDbForTable(value, table, column, false);
    if (std::optional<Alert> alert = insertDbValue(stored, table, column, row, false))
        return alert;
    if (m_document && m_document->mediaCache())
        m_document->mediaCache()->addNativeObject(value, table, column, row);
    return std::nullopt;
}

bool OXDatabase::deleteFromTable(const QString &table, const QString &row)
{
    if (Value(row).toInt() == 0)
        return true;
    performQuery(QStringLiteral("DELETE FROM %1 WHERE `id`='%2'").arg(quoteIdentifier(table), literalBody(row)));
    const bool ok = lastErrorID() == 0;
    if (m_document && m_document->mediaCache())
        m_document->mediaCache()->removeNativeObjectsForTable(table, row);
    return ok;
}
