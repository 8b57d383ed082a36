// OXDatabase: the connection's link to its document, design lookups and design changes.
#include "OXDatabase.h"

#include "MyDocument.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "SchemaNameRules.h"

namespace {
const QString kName = QStringLiteral("Name");
const QString kFields = QStringLiteral("Fields");
const QString kType = QStringLiteral("Type");

struct DatatypeInfo {
    QString name;
    QString sqlType;
};

const QList<DatatypeInfo> &datatypeTable()
{
    static const QList<DatatypeInfo> table = {
        {QStringLiteral("Primary Key"), QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")},
        {QStringLiteral("Text"), QStringLiteral("TEXT")},
        {QStringLiteral("Number"), QStringLiteral("REAL")},
        {QStringLiteral("Date"), QStringLiteral("REAL")},
        {QStringLiteral("Yes/No"), QStringLiteral("INTEGER")},
        {QStringLiteral("Image"), QStringLiteral("TEXT")},
        {QStringLiteral("Audio"), QStringLiteral("TEXT")},
        {QStringLiteral("Video"), QStringLiteral("TEXT")},
        {QStringLiteral("List"), QStringLiteral("TEXT")},
        {QStringLiteral("Options"), QStringLiteral("TEXT")},
        {QStringLiteral("Attachment"), QStringLiteral("TEXT")},
        {QStringLiteral("File Path"), QStringLiteral("TEXT")},
        {QStringLiteral("Relationship"), QStringLiteral("TEXT")},
    };
    return table;
}

} // namespace

const QStringList &OXDatabase::datatypes()
{
    static const QStringList names = [] {
        QStringList out;
        for (const DatatypeInfo &info : datatypeTable())
            out << info.name;
        return out;
    }();
    return names;
}

QString OXDatabase::sqlTypeForDatatype(const QString &datatype)
{
    for (const DatatypeInfo &info : datatypeTable())
        if (info.name == datatype)
            return info.sqlType;
    return QString();
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

bool OXDatabase::createTableFromDesign(const Value &tableDesign)
{
    const QString tableName = tableDesign.value(kName).toString();
    if (tablesList().contains(tableName))
        return false; // a known design: refused without touching SQLite
    // A design may come from a file, a template or a script: it meets the editor's name rules before any name
    // reaches SQL.
    std::optional<Alert> refused = SchemaNameRules::checkTableName(tableName, Value::array());
    if (!refused)
        refused = SchemaNameRules::checkFieldNames(tableDesign.value(kFields), true);
    if (refused) {
        setLastError(refused->messageText + QStringLiteral(": ") + refused->informativeText, QLP_UnknownError);
        return false;
    }
    const Value fields = tableDesign.value(kFields);
    QStringList columns;
    for (int i = 0; i < fields.size(); ++i) {
        const Value field = fields.at(i);
        const QString name = field.value(kName).toString();
        const QString sqlType = sqlTypeForDatatype(field.value(kType).toString());
        if (sqlType.isEmpty()) {
            setLastError(QStringLiteral("The field \"%1\" has the unknown type \"%2\".")
                             .arg(name, field.value(kType).toString()),
                         QLP_UnknownError);
            return false;
        }
        // An empty default is no default: converting it would give number and yes/no columns a 0.
        const Value defaultValue = field.value(QStringLiteral("Default"));
        const bool noDefault = defaultValue.isNull() || (defaultValue.isString() && defaultValue.toString().isEmpty());
        const QString stored = noDefault ? QString() : nativeToDb(defaultValue, field.value(kType).toString(), true);
        columns << QStringLiteral("%1 %2 DEFAULT '%3' ").arg(quoteIdentifier(name), sqlType, stored);
    }
    performQuery(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(tableName), columns.join(QLatin1Char(','))));
    return true;
}
