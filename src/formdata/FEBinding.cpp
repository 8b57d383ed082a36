// FEBinding: the load and save rules of bound controls, apart from any widget.
#include "FEBinding.h"

#include "DesignVocabulary.h"
#include "OXDatabase.h"

namespace FEBinding {
QString boundField(const OXDatabase &database, const QString &table, const Value &info, const QString &pathKey)
{
    const QString field = info.value(pathKey).toString();
    return !field.isEmpty() && database.namesForTable(table).contains(field) ? field : QString();
}

QString boundFieldOrRelationship(const OXDatabase &database, const QString &table, const Value &info,
                                 const QString &pathKey)
{
    const QString field = info.value(pathKey).toString();
    return !field.isEmpty() && database.allNamesForTable(table).contains(field) ? field : QString();
}

Value nativeValue(const OXDatabase &database, const QString &table, const QString &field, const QString &stored)
{
    return OXDatabase::dbToNative(stored, database.typeForTable(table, field));
}

std::optional<bool> truthOf(const Value &value)
{
    switch (value.type()) {
    case Value::Type::Bool:
    case Value::Type::Int:
    case Value::Type::Real: return value.toDouble() != 0;
    case Value::Type::String: return !value.toString().isEmpty();
    default: return std::nullopt;
    }
}

SaveResult save(OXDatabase &database, const QString &table, const QString &recordNumber, const QString &field,
                const FEControlValue &value)
{
    SaveResult result;
    if (value.kind == FEControlValue::Kind::None || recordNumber.isEmpty() || field.isEmpty())
        return result;
    if (value.kind == FEControlValue::Kind::String) {
        const Datatype type = Datatypes::fromName(database.typeForTable(table, field));
        if (type != Datatype::Text && type != Datatype::Options)
            return result;
    }
    result.refusal = database.insertNativeValue(value.value, table, field, recordNumber);
    result.written = !result.refusal;
    return result;
}
} // namespace FEBinding
