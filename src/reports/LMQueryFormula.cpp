// LMReportParser: the query formula pass: the query's records copied into a temporary table with a
// temporary design, both removed before the next formula whatever happens.
#include "DesignVocabulary.h"
#include "LMQueryWhere.h"
#include "LMReportParser.h"
#include "LMReportText.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXGrid.h"

#include <QLoggingCategory>
#include <exception>

Q_LOGGING_CATEGORY(lcReports, "orvix.reports")

namespace {
QString storageType(const QString &typeName)
{
    const Datatype type = Datatypes::fromName(typeName);
    if (type == Datatype::PrimaryKey)
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    if (type == Datatype::Number || type == Datatype::Date)
        return QStringLiteral("REAL");
    return QStringLiteral("TEXT");
}

// The temporary table and design of one query formula; removed when it goes out of scope.
class TemporaryQueryTable {
public:
    TemporaryQueryTable(OXDatabase &database, const QString &name) : m_database(database), m_name(name) {}
    ~TemporaryQueryTable() { remove(); }

    bool create(const Value &baseFields, const QString &baseTable, const QString &where)
    {
        QStringList columns, names;
        for (int i = 0; i < baseFields.size(); ++i) {
            const Value field = baseFields.at(i);
            const QString name = field.value(DesignKey::Name).toString();
            columns << QStringLiteral("`%1` %2").arg(name, storageType(field.value(DesignKey::Type).toString()));
            names << QStringLiteral("`%1`").arg(name);
        }
        m_design = Value::dict({{DesignKey::Fields, baseFields.deepCopy()}, {DesignKey::Name, Value(m_name)}});
        m_database.createTableDesign(m_design);
        // A leftover of an interrupted run would make CREATE fail; only the temporary schema is touched.
        m_database.performQuery(QStringLiteral("DROP TABLE IF EXISTS temp.`%1`").arg(m_name));
        m_database.performQuery(
            QStringLiteral("CREATE TEMP TABLE `%1` (%2)").arg(m_name, columns.join(QLatin1Char(','))));
        if (m_database.lastErrorID() != 0)
            return false;
        // A query without conditions selects every record.
        const QString condition = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;
        m_database.performQuery(QStringLiteral("INSERT INTO temp.`%1` (%2) SELECT * FROM `%3`%4")
                                    .arg(m_name, names.join(QLatin1Char(',')), baseTable, condition));
        return m_database.lastErrorID() == 0;
    }

    void remove()
    {
        if (m_design.isNull())
            return;
        // The design is found by identity: a document table that happens to have the same name stays.
        Value tables = m_database.design();
        for (int i = tables.size() - 1; i >= 0; --i) {
            if (tables.at(i).isSameContainer(m_design)) {
                tables.removeAt(i);
                break;
            }
        }
        m_database.performQuery(QStringLiteral("DROP TABLE IF EXISTS temp.`%1`").arg(m_name));
        m_design = Value();
    }

private:
    OXDatabase &m_database;
    QString m_name;
    Value m_design;
};
} // namespace

void LMReportParser::parseQueryFormulas()
{
    static const HVICURegex pattern(QStringLiteral("@\\?([^@]+)\\?@"));
    int p = 0;
    for (;;) {
        reportProgress();
        const std::optional<HVICURegex::Match> match = m_working->find(pattern, p);
        if (!match || match->length() == 0)
            break;
        p = evaluateQueryFormula(components(match->captured(1)), match->start(), match->length());
        ++m_processed;
    }
}

int LMReportParser::evaluateQueryFormula(const QStringList &parts, int start, int length)
{
    MyDocument *document = m_owner.document();
    const Value query = document ? document->queryNamed(parts.value(0)) : Value();
    const QString baseTable = query.value(DesignKey::TableName).toString();
    const Value baseFields = m_owner.tableDesign(baseTable).value(DesignKey::Fields);
    if (query.isNull() || baseTable.isEmpty() || !baseFields.isArray())
        return start + length;

    TemporaryQueryTable temporary(m_owner, QStringLiteral("?") + parts.value(0));
    OXObjectPtr object;
    if (temporary.create(baseFields, baseTable, LMQueryWhere::whereSQLForQueryDictionary(query)))
        object = OXGrid::initStartGrid(m_owner, QStringLiteral("?") + parts.value(0));
    for (int i = 1; object && i < parts.size(); ++i) {
        try {
            const OXObjectPtr next = object->parseFormulaComponent(parts.at(i));
            object = next;
        } catch (const std::exception &exception) {
            qCWarning(lcReports).noquote() << QStringLiteral("Exception %1").arg(QString::fromUtf8(exception.what()));
            temporary.remove();
        }
    }
    // The temporary table goes when `temporary` does, also when inserting throws.
    return insertResult(object, start, length);
}
