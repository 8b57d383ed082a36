// LMQueryOperators: operator lists and the fragment table of the WHERE generation.
#include "LMQueryOperators.h"
#include "DesignVocabulary.h"

#include "OXDatabase.h"
#include "QLiteDatabase.h"

#include <QHash>

namespace LMQueryOperators {
namespace {
const QStringList kText{
    QStringLiteral("is equal to"), QStringLiteral("is not equal to"), QStringLiteral("is case insensitive equal to"),
    QStringLiteral("contains"),    QStringLiteral("starts with"),     QStringLiteral("ends with")};
const QStringList kFilePath{QStringLiteral("is equal to"), QStringLiteral("is case insensitive equal to"),
                            QStringLiteral("contains"), QStringLiteral("starts with"), QStringLiteral("ends with")};
const QStringList kNumber{QStringLiteral("= equal to"),
                          QStringLiteral("≠ not equal to"),
                          QStringLiteral("< less than"),
                          QStringLiteral("> greater than"),
                          QStringLiteral("≤ less than or equal to"),
                          QStringLiteral("≥ greater than or equal to")};
const QStringList kDate{
    QStringLiteral("is equal to"), QStringLiteral("is not equal to"),       QStringLiteral("is before"),
    QStringLiteral("is after"),    QStringLiteral("is before or equal to"), QStringLiteral("is after or equal to")};
const QStringList kYesNo{QStringLiteral("is yes"), QStringLiteral("is no")};
const QStringList kList{QStringLiteral("is equal to"), QStringLiteral("is not equal to")};
const QStringList kNone;

bool isTextLike(Datatype datatype)
{
    return datatype == Datatype::Text || datatype == Datatype::Options || datatype == Datatype::FilePath;
}

bool isNumberLike(Datatype datatype)
{
    return datatype == Datatype::Number || datatype == Datatype::PrimaryKey;
}

// Operator title -> fragment format with one %1 for the escaped operand; the LIKE forms carry their "%".
QString textFormat(const QString &op)
{
    static const QHash<QString, QString> formats{
        {QStringLiteral("is equal to"), QStringLiteral("='%1'")},
        {QStringLiteral("is not equal to"), QStringLiteral("<>'%1'")},
        {QStringLiteral("is case insensitive equal to"), QStringLiteral("LIKE'%1'")},
        {QStringLiteral("contains"), QStringLiteral("LIKE'%%1%'")},
        {QStringLiteral("starts with"), QStringLiteral("LIKE'%1%'")},
        {QStringLiteral("ends with"), QStringLiteral("LIKE'%%1'")}};
    return formats.value(op);
}

QString numberFormat(const QString &op)
{
    static const QHash<QString, QString> formats{
        {QStringLiteral("= equal to"), QStringLiteral("='%1'")},
        {QStringLiteral("≠ not equal to"), QStringLiteral("<>'%1'")},
        {QStringLiteral("< less than"), QStringLiteral("<'%1'")},
        {QStringLiteral("> greater than"), QStringLiteral(">'%1'")},
        {QStringLiteral("≤ less than or equal to"), QStringLiteral("<='%1'")},
        {QStringLiteral("≥ greater than or equal to"), QStringLiteral(">='%1'")}};
    return formats.value(op);
}

QString dateFormat(const QString &op)
{
    static const QHash<QString, QString> formats{{QStringLiteral("is equal to"), QStringLiteral("='%1'")},
                                                 {QStringLiteral("is not equal to"), QStringLiteral("<>'%1'")},
                                                 {QStringLiteral("is before"), QStringLiteral("<'%1'")},
                                                 {QStringLiteral("is after"), QStringLiteral(">'%1'")},
                                                 {QStringLiteral("is before or equal to"), QStringLiteral("<='%1'")},
                                                 {QStringLiteral("is after or equal to"), QStringLiteral(">='%1'")}};
    return formats.value(op);
}

QString listFormat(const QString &op)
{
    if (op == QLatin1String("is equal to"))
        return QStringLiteral("='%1'");
    if (op == QLatin1String("is not equal to"))
        return QStringLiteral("<>'%1'");
    return QString();
}

// Only the operators the pop-up offers count: "File Path" has no "is not equal to".
QString formatFor(const QString &datatype, const QString &op)
{
    const Datatype type = Datatypes::fromName(datatype);
    if (isTextLike(type))
        return operatorsForDatatype(datatype).contains(op) ? textFormat(op) : QString();
    if (isNumberLike(type))
        return numberFormat(op);
    if (type == Datatype::Date)
        return dateFormat(op);
    if (type == Datatype::List)
        return listFormat(op);
    return QString();
}

QString fill(const QString &format, const QString &escaped)
{
    // Replace the one placeholder literally, so "%" and "%1" inside the operand stay as typed.
    QString result = format;
    const int at = result.indexOf(QLatin1String("%1"));
    return at < 0 ? result : result.replace(at, 2, escaped);
}
} // namespace

const QStringList &operatorsForDatatype(const QString &datatype)
{
    switch (Datatypes::fromName(datatype)) {
    case Datatype::Text:
    case Datatype::Options: return kText;
    case Datatype::FilePath: return kFilePath;
    case Datatype::Number:
    case Datatype::PrimaryKey: return kNumber;
    case Datatype::Date: return kDate;
    case Datatype::YesNo: return kYesNo;
    case Datatype::List: return kList;
    default: return kNone;
    }
}

OperandKind operandKindForDatatype(const QString &datatype)
{
    const Datatype type = Datatypes::fromName(datatype);
    if (isTextLike(type) || isNumberLike(type))
        return OperandKind::Text;
    if (type == Datatype::Date)
        return OperandKind::Date;
    if (type == Datatype::List)
        return OperandKind::Tokens;
    return OperandKind::None;
}

QString operandText(const Value &operand, const QString &datatype)
{
    if (Datatypes::is(datatype, Datatype::Date) && (operand.isDate() || operand.isNumber()))
        return OXDatabase::stringFromDate(operand.isDate() ? operand : Value::date(operand.toDouble()));
    if (operand.isArray())
        return OXDatabase::listFromArray(operand);
    if (operand.isString())
        return operand.toString();
    return operand.stringValue();
}

QString sqlFragment(const QString &datatype, const QString &compareOp, const Value &operand)
{
    if (Datatypes::is(datatype, Datatype::YesNo)) {
        if (compareOp == QLatin1String("is yes"))
            return QStringLiteral("='1'");
        // Every cell that is not Yes is No, the ones never set ("", NULL) included, as the grid shows them.
        if (compareOp == QLatin1String("is no"))
            return QStringLiteral("IS NOT '1'");
        return QStringLiteral("=''");
    }
    const QString format = formatFor(datatype, compareOp);
    if (format.isEmpty())
        return Datatypes::is(datatype, Datatype::Date) ? QString() : QStringLiteral("=''");
    return fill(format, QLiteDatabase::escapeQuotesFromString(operandText(operand, datatype)));
}
} // namespace LMQueryOperators
