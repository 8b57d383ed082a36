// OXDatabase: the connection's link to its document, and design lookups and changes forwarded to the catalogue.
#include "OXDatabase.h"

#include "MyDocument.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "SchemaEditor.h"

const QStringList &OXDatabase::datatypes()
{
    return Datatypes::names();
}

QString OXDatabase::sqlTypeForDatatype(const QString &datatype)
{
    return SchemaEditor::sqlTypeForDatatype(Datatypes::fromName(datatype));
}

OXDatabase::OXDatabase(const QString &path, MyDocument *document) : QLiteDatabase(path), m_document(document) {}

QWidget *OXDatabase::window() const
{
    return m_document ? m_document->window() : nullptr;
}

std::shared_ptr<QLiteCursor> OXDatabase::executeQuery(const QString &sql)
{
    return performQuery(sql, cacheMethodPreference());
}

int OXDatabase::cacheMethodPreference()
{
    const int method = Preferences::instance().intValue(QStringLiteral("LMCacheMethod"));
    return method == 1 || method == 2 ? method : 0;
}

Value OXDatabase::design() const
{
    return m_document ? m_document->tables() : Value::array();
}

DesignCatalogue OXDatabase::catalogue() const
{
    return DesignCatalogue(design());
}

QStringList OXDatabase::tablesList() const
{
    return catalogue().tablesList();
}

Value OXDatabase::tableDesign(const QString &table) const
{
    return catalogue().tableDesign(table);
}

Value OXDatabase::fieldForTable(const QString &table, const QString &column) const
{
    return catalogue().fieldForTable(table, column);
}

QStringList OXDatabase::namesForTable(const QString &table) const
{
    return catalogue().namesForTable(table);
}

QStringList OXDatabase::allNamesForTable(const QString &table) const
{
    return catalogue().allNamesForTable(table);
}

QStringList OXDatabase::relationshipNamesForTable(const QString &table) const
{
    return catalogue().relationshipNamesForTable(table);
}

QStringList OXDatabase::typesForTable(const QString &table) const
{
    return catalogue().typesForTable(table);
}

QStringList OXDatabase::allTypesForTable(const QString &table) const
{
    return catalogue().allTypesForTable(table);
}

QList<Value> OXDatabase::valuesOfKeyForTable(const QString &key, const QString &table) const
{
    return catalogue().valuesOfKeyForTable(key, table);
}

QList<Value> OXDatabase::uniquesForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::Unique, table);
}
QList<Value> OXDatabase::notNullsForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::NotNull, table);
}
QList<Value> OXDatabase::defaultsForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::Default, table);
}
QList<Value> OXDatabase::checksForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::Check, table);
}
QList<Value> OXDatabase::regexesForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::Regex, table);
}
QList<Value> OXDatabase::formatsForTable(const QString &table) const
{
    return valuesOfKeyForTable(DesignKey::Format, table);
}

Value OXDatabase::objectForKey(const QString &key, const QString &table, const QString &column) const
{
    return catalogue().objectForKey(key, table, column);
}

QString OXDatabase::typeForTable(const QString &table, const QString &column) const
{
    return catalogue().typeForTable(table, column);
}

Value OXDatabase::uniqueForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::Unique, table, column);
}
Value OXDatabase::notNullForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::NotNull, table, column);
}
Value OXDatabase::defaultForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::Default, table, column);
}
Value OXDatabase::checkForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::Check, table, column);
}
Value OXDatabase::regexForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::Regex, table, column);
}
Value OXDatabase::formatForTable(const QString &table, const QString &column) const
{
    return objectForKey(DesignKey::Format, table, column);
}

QString OXDatabase::humanKeyForTable(const QString &table) const
{
    return catalogue().humanKeyForTable(table);
}

void OXDatabase::createTableDesign(const Value &tableDesign)
{
    catalogue().createTableDesign(tableDesign);
}

void OXDatabase::updateTableDesign(const QString &oldName, const Value &tableDesign)
{
    catalogue().updateTableDesign(oldName, tableDesign);
}

void OXDatabase::deleteTableDesign(const QString &name)
{
    catalogue().deleteTableDesign(name);
}
