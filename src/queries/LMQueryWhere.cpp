// LMQueryWhere: condition SQL and its joining.
#include "LMQueryWhere.h"
#include "DesignVocabulary.h"

#include "LMQueryDefinition.h"
#include "LMQueryOperators.h"
#include "QLiteDatabase.h"

#include <QStringList>

using namespace LMQueryDefinition;

namespace LMQueryWhere {

bool isComplete(const Value &condition)
{
    if (!condition.isDict())
        return false;
    for (const QString &key : {kTable, kField, kCompareOp, kDatatype})
        if (!condition.contains(key) || condition.value(key).isNull())
            return false;
    return (condition.contains(kOperand) && !condition.value(kOperand).isNull()) ||
           Datatypes::is(condition.value(kDatatype).toString(), Datatype::YesNo);
}

QString conditionSQL(const Value &condition)
{
    const QString datatype = condition.value(kDatatype).toString();
    return QStringLiteral("%1.%2 %3")
        .arg(
            QLiteDatabase::quoteIdentifier(condition.value(kTable).toString()),
            QLiteDatabase::quoteIdentifier(condition.value(kField).toString()),
            LMQueryOperators::sqlFragment(datatype, condition.value(kCompareOp).toString(), condition.value(kOperand)));
}

QString whereSQL(const QList<Value> &conditions, const QString &parameterBoolean)
{
    // Joining only the complete conditions is what "append the separator, then drop a trailing one" gives,
    // without a skipped condition in the middle leaving a doubled separator.
    const QString separator =
        parameterBoolean == QLatin1String("any") ? QStringLiteral(" OR ") : QStringLiteral(" AND ");
    QStringList parts;
    for (const Value &condition : conditions)
        if (isComplete(condition))
            parts.append(conditionSQL(condition));
    return parts.join(separator);
}

QString whereSQLForQueryDictionary(const Value &definition)
{
    const Value parameters = definition.value(kParameters);
    QList<Value> conditions;
    for (int i = 0; i < parameters.size(); ++i)
        conditions.append(parameters.at(i));
    return whereSQL(conditions, definition.value(kParameterBoolean).toString());
}
} // namespace LMQueryWhere
