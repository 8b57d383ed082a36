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
const QString kRelationship = QStringLiteral("Relationship");

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

// "*" in a human-key pattern matches any run of characters; the patterns only use it at both ends.
bool matchesHumanKeyPattern(const QString &name, const QString &pattern)
{
    if (pattern.startsWith(QLatin1Char('*')) && pattern.endsWith(QLatin1Char('*')))
        return name.contains(pattern.mid(1, pattern.size() - 2), Qt::CaseInsensitive);
    return name.compare(pattern, Qt::CaseInsensitive) == 0;
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

QStringList OXDatabase::tablesList() const
{
    QStringList names;
    const Value tables = design();
    for (int i = 0; i < tables.size(); ++i)
        names << tables.at(i).value(kName).toString();
    return names;
}

Value OXDatabase::tableDesign(const QString &table) const
{
    const Value tables = design();
    for (int i = 0; i < tables.size(); ++i) {
        const Value t = tables.at(i);
        if (t.value(kName).isString() && t.value(kName).toString() == table)
            return t;
    }
    return Value();
}

Value OXDatabase::fieldForTable(const QString &table, const QString &column) const
{
    const Value fields = tableDesign(table).value(kFields);
    for (int i = 0; i < fields.size(); ++i) {
        const Value f = fields.at(i);
        if (f.value(kName).isString() && f.value(kName).toString() == column)
            return f;
    }
    return Value();
}

namespace {
// Names or types of a table's fields, all of them or only those that are (not) relationships.
enum class FieldSet { All, NonRelationship, Relationship };

QStringList fieldStrings(const Value &fields, const QString &key, FieldSet set)
{
    QStringList out;
    for (int i = 0; i < fields.size(); ++i) {
        const Value f = fields.at(i);
        const bool isRelationship = f.value(kType).toString() == kRelationship;
        if ((set == FieldSet::NonRelationship && isRelationship) || (set == FieldSet::Relationship && !isRelationship))
            continue;
        out << f.value(key).toString();
    }
    return out;
}
} // namespace

QStringList OXDatabase::namesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(kFields), kName, FieldSet::NonRelationship);
}

QStringList OXDatabase::allNamesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(kFields), kName, FieldSet::All);
}

QStringList OXDatabase::relationshipNamesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(kFields), kName, FieldSet::Relationship);
}

QStringList OXDatabase::typesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(kFields), kType, FieldSet::NonRelationship);
}

QStringList OXDatabase::allTypesForTable(const QString &table) const
{
    return fieldStrings(tableDesign(table).value(kFields), kType, FieldSet::All);
}

QList<Value> OXDatabase::valuesOfKeyForTable(const QString &key, const QString &table) const
{
    QList<Value> out;
    const Value fields = tableDesign(table).value(kFields);
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).contains(key))
            out << fields.at(i).value(key);
    return out;
}

QList<Value> OXDatabase::uniquesForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Unique"), table);
}
QList<Value> OXDatabase::notNullsForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Not Null"), table);
}
QList<Value> OXDatabase::defaultsForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Default"), table);
}
QList<Value> OXDatabase::checksForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Check"), table);
}
QList<Value> OXDatabase::regexesForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Regex"), table);
}
QList<Value> OXDatabase::formatsForTable(const QString &table) const
{
    return valuesOfKeyForTable(QStringLiteral("Format"), table);
}

Value OXDatabase::objectForKey(const QString &key, const QString &table, const QString &column) const
{
    return fieldForTable(table, column).value(key);
}

QString OXDatabase::typeForTable(const QString &table, const QString &column) const
{
    const Value type = objectForKey(kType, table, column);
    return type.isString() ? type.toString() : QString();
}

Value OXDatabase::uniqueForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Unique"), table, column);
}
Value OXDatabase::notNullForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Not Null"), table, column);
}
Value OXDatabase::defaultForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Default"), table, column);
}
Value OXDatabase::checkForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Check"), table, column);
}
Value OXDatabase::regexForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Regex"), table, column);
}
Value OXDatabase::formatForTable(const QString &table, const QString &column) const
{
    return objectForKey(QStringLiteral("Format"), table, column);
}

QString OXDatabase::humanKeyForTable(const QString &table) const
{
    const Value fields = tableDesign(table).value(kFields);
    for (int i = 0; i < fields.size(); ++i) {
        const Value f = fields.at(i);
        if (f.contains(QStringLiteral("HumanKey")) && f.value(QStringLiteral("HumanKey")).toInt() == 1)
            return f.value(kName).toString();
    }
    const QStringList names = namesForTable(table);
    static const QStringList patterns = {QStringLiteral("Name"),      QStringLiteral("Surname"),
                                         QStringLiteral("Title"),     QStringLiteral("*Name*"),
                                         QStringLiteral("*Surname*"), QStringLiteral("*Title*")};
    for (const QString &pattern : patterns)
        for (const QString &name : names)
            if (matchesHumanKeyPattern(name, pattern))
                return name;
    return names.size() >= 2 ? names.at(1) : QStringLiteral("id");
}

void OXDatabase::createTableDesign(const Value &tableDesign)
{
    Value tables = design();
    if (tables.isArray())
        tables.append(tableDesign);
}

void OXDatabase::updateTableDesign(const QString &oldName, const Value &tableDesign)
{
    Value tables = design();
    if (!tables.isArray())
        return;
    const int index = MyDocument::indexOfItemNamed(tables, oldName);
    if (index >= 0)
        tables.replace(index, tableDesign);
    else
        tables.append(tableDesign);
}

void OXDatabase::deleteTableDesign(const QString &name)
{
    Value tables = design();
    const int index = MyDocument::indexOfItemNamed(tables, name);
    if (index >= 0)
        tables.removeAt(index);
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
