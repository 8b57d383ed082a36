// LMQueryDefinition: building query definitions in their stored form.
#include "LMQueryDefinition.h"

namespace LMQueryDefinition {

Value emptyCondition()
{
    return Value::dict({{kType, Value("Parameters")}});
}

Value display(const QString &table, const QString &field)
{
    return Value::dict({{kType, Value("Displays")}, {kTable, Value(table)}, {kField, Value(field)}});
}

namespace {
Value definitionWith(const Value &parameters, const Value &displays)
{
    Value definition = Value::dict();
    definition.set(kParameters, parameters);
    if (!displays.isNull())
        definition.set(kDisplays, displays);
    definition.set(kPageSize, Value(-1));
    definition.set(kSelectedPage, Value(0));
    definition.set(kParameterBoolean, Value("ALL"));
    return definition;
}
} // namespace

Value newDefinition()
{
    return definitionWith(Value::array({emptyCondition(), emptyCondition(), emptyCondition()}), Value());
}

Value gridDefinition(const QString &table, const QStringList &fieldNames)
{
    Value displays = Value::array();
    for (const QString &field : fieldNames)
        displays.append(display(table, field));
    return definitionWith(Value::array({emptyCondition()}), displays);
}

QList<Value> usableDisplays(const Value &definition)
{
    QList<Value> usable;
    const Value displays = definition.value(kDisplays);
    for (int i = 0; i < displays.size(); ++i) {
        const Value d = displays.at(i);
        if (d.contains(kTable) && d.contains(kField) && d.value(kTable).toString() != QLatin1String("None"))
            usable.append(d);
    }
    return usable;
}
} // namespace LMQueryDefinition
