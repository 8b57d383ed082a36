// OXRow: a record's fields, its relationships and the way back to its grid.
#include "OXRow.h"
#include "DesignVocabulary.h"

#include "OXFieldResolver.h"
#include "OXGrid.h"

OXObjectPtr OXRow::parseFormulaComponent(const QString &component)
{
    if (component.startsWith(QLatin1Char(':')))
        return evaluateFormulaFunctionComponent(component);
    if (recordNumber(component))
        return shared_from_this();
    return columnNamed(component);
}

OXObjectPtr OXRow::columnNamed(const QString &field)
{
    if (tableName().isEmpty())
        return nullptr;
    return OXFieldResolver::resolve(*this, field, QStringList{rowid()}, false);
}

OXObjectPtr OXRow::callFunction(const QString &name, const OXArguments &args)
{
    if (!args.none())
        return nullptr;
    if (name == QLatin1String("grid")) {
        Value d = descriptionWithoutRowids();
        d.remove(kRowid);
        return std::make_shared<OXGrid>(database(), d, m_rowids);
    }
    if (name == DesignKey::IdFieldName)
        return columnNamed(DesignKey::IdFieldName);
    if (name == QLatin1String("tablename") || name == QLatin1String("table"))
        return plainValueWithString(tableName());
    return nullptr;
}
