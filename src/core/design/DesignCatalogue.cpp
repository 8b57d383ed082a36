// DesignCatalogue: table and field lookups, the human key and design changes over the designs array.
#include "DesignCatalogue.h"

namespace {
// "*" in a human-key pattern matches any run of characters; the patterns only use it at both ends.
bool matchesHumanKeyPattern(const QString &name, const QString &pattern)
{
    if (pattern.startsWith(QLatin1Char('*')) && pattern.endsWith(QLatin1Char('*')))
        return name.contains(pattern.mid(1, pattern.size() - 2), Qt::CaseInsensitive);
    return name.compare(pattern, Qt::CaseInsensitive) == 0;
}

bool isNamed(const Value &entry, const QString &name)
{
    const Value v = entry.value(DesignKey::Name);
    return v.isString() && v.toString() == name;
}

// Names or types of a table's fields, all of them or only those that are (not) relationships.
enum class FieldSet { All, NonRelationship, Relationship };

QStringList fieldStrings(const Value &fields, const QString &key, FieldSet set)
{
    QStringList out;
    const QString relationship = Datatypes::name(Datatype::Relationship);
    for (int i = 0; i < fields.size(); ++i) {
        const Value f = fields.at(i);
        const bool isRelationship = f.value(DesignKey::Type).toString() == relationship;
        if ((set == FieldSet::NonRelationship && isRelationship) || (set == FieldSet::Relationship && !isRelationship))
            continue;
        out << f.value(key).toString();
    }
    return out;
}
} // namespace

QStringList DesignCatalogue::tablesList() const
{
    QStringList names;
    for (int i = 0; i < m_tables.size(); ++i)
        names << m_tables.at(i).value(DesignKey::Name).toString();
    return names;
}

Value DesignCatalogue::tableDesign(const QString &table) const
{
    for (int i = 0; i < m_tables.size(); ++i)
        if (isNamed(m_tables.at(i), table))
            return m_tables.at(i);
    return Value();
}

Value DesignCatalogue::fieldForTable(const QString &table, const QString &column) const
{
    const Value fields = tableDesign(table).value(DesignKey::Fields);
    for (int i = 0; i < fields.size(); ++i)
        if (isNamed(fields.at(i), column))
            return fields.at(i);
    return Value();
}

QStringList DesignCatalogue::namesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(DesignKey::Fields), DesignKey::Name, FieldSet::NonRelationship);
}

QStringList DesignCatalogue::allNamesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(DesignKey::Fields), DesignKey::Name, FieldSet::All);
}

QStringList DesignCatalogue::relationshipNamesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(DesignKey::Fields), DesignKey::Name, FieldSet::Relationship);
}

QStringList DesignCatalogue::typesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(DesignKey::Fields), DesignKey::Type, FieldSet::NonRelationship);
}

QStringList DesignCatalogue::allTypesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(DesignKey::Fields), DesignKey::Type, FieldSet::All);
}

QList<Value> DesignCatalogue::valuesOfKeyForTable(const QString &key, const QString &table) const
{
    QList<Value> out;
    const Value fields = tableDesign(table).value(DesignKey::Fields);
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).contains(key))
            out << fields.at(i).value(key);
    return out;
}

Value DesignCatalogue::objectForKey(const QString &key, const QString &table, const QString &column) const
{
    return fieldForTable(table, column).value(key);
}

QString DesignCatalogue::typeForTable(const QString &table, const QString &column) const
{
    const Value type = objectForKey(DesignKey::Type, table, column);
    return type.isString() ? type.toString() : QString();
}

Datatype DesignCatalogue::datatypeForTable(const QString &table, const QString &column) const
{
    return Datatypes::fromName(typeForTable(table, column));
}

QString DesignCatalogue::humanKeyForTable(const QString &table) const
{
    const Value fields = tableDesign(table).value(DesignKey::Fields);
    for (int i = 0; i < fields.size(); ++i) {
        const Value f = fields.at(i);
        if (f.contains(DesignKey::HumanKey) && f.value(DesignKey::HumanKey).toInt() == 1)
            return f.value(DesignKey::Name).toString();
    }
    const QStringList names = namesForTable(table);
    static const QStringList patterns = {QStringLiteral("Name"),      QStringLiteral("Surname"),
                                         QStringLiteral("Title"),     QStringLiteral("*Name*"),
                                         QStringLiteral("*Surname*"), QStringLiteral("*Title*")};
    for (const QString &pattern : patterns)
        for (const QString &name : names)
            if (matchesHumanKeyPattern(name, pattern))
                return name;
    return names.size() >= 2 ? names.at(1) : DesignKey::IdFieldName;
}

int DesignCatalogue::indexOfTable(const QString &name) const
{
    // Like the document's own lookup of a named item: the first whose name reads the same.
    for (int i = 0; i < m_tables.size(); ++i)
        if (m_tables.at(i).value(DesignKey::Name).toString() == name)
            return i;
    return -1;
}

void DesignCatalogue::createTableDesign(const Value &tableDesign)
{
    if (m_tables.isArray())
        m_tables.append(tableDesign);
}

void DesignCatalogue::updateTableDesign(const QString &oldName, const Value &tableDesign)
{
    if (!m_tables.isArray())
        return;
    const int index = indexOfTable(oldName);
    if (index >= 0)
        m_tables.replace(index, tableDesign);
    else
        m_tables.append(tableDesign);
}

void DesignCatalogue::deleteTableDesign(const QString &name)
{
    const int index = indexOfTable(name);
    if (index >= 0)
        m_tables.removeAt(index);
}
