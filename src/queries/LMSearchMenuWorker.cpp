// LMSearchMenuWorker: each pass adds a name once per hit, so the ranking counts how many passes found it.
#include "LMSearchMenuWorker.h"
#include "DesignVocabulary.h"

#include "ItemKind.h"
#include "LMReportPlainText.h"
#include "LMSearchResults.h"
#include "LMWildcard.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"

namespace {
struct Collection {
    QString kind;
    Value items;
};

QList<Collection> collections(MyDocument &document)
{
    return {{ItemKinds::mode(ItemKind::Table), document.tables()},
            {ItemKinds::mode(ItemKind::Query), document.queries()},
            {ItemKinds::mode(ItemKind::Form), document.forms()},
            {ItemKinds::mode(ItemKind::Report), document.reports()},
            {ItemKinds::mode(ItemKind::Script), document.scripts()}};
}

QString nameOf(const Value &item)
{
    return item.isDict() ? item.value(DesignKey::Name).toString() : item.toString();
}

bool deepContains(const Value &value, const QString &text)
{
    if (value.isString())
        return LMWildcard::contains(text, value.toString());
    if (value.isArray()) {
        for (int i = 0; i < value.size(); ++i) {
            if (deepContains(value.at(i), text))
                return true;
        }
        return false;
    }
    if (value.isDict()) {
        for (const QString &key : value.keys()) {
            if (deepContains(value.value(key), text))
                return true;
        }
    }
    return false;
}
} // namespace

void LMSearchMenuWorker::search(const QString &text, MyDocument &document, LMSearchResults &results)
{
    results.clear();
    if (text.isEmpty())
        return;
    findNameString(text, document, results);
    if (text.size() < 2)
        return;
    initWithDataString(text, document, results);
    initWithReportString(text, document, results);
    initWithDeepString(text, document, results);
}

void LMSearchMenuWorker::findNameString(const QString &text, MyDocument &document, LMSearchResults &results)
{
    for (const Collection &c : collections(document)) {
        const QList<Value> items = c.items.toList();
        for (const Value &item : items) {
            if (LMWildcard::matches(text, nameOf(item)))
                results.add(c.kind, nameOf(item));
        }
        for (const Value &item : items) {
            if (LMWildcard::contains(text, nameOf(item)))
                results.add(c.kind, nameOf(item));
        }
    }
}

QString LMSearchMenuWorker::dataStatement(const QString &table, const QStringList &fields, const QString &text)
{
    if (fields.isEmpty())
        return QString();
    const QString escaped = QLiteDatabase::prepareStringForQuery(text);
    QString condition;
    for (const QString &field : fields) {
        if (!condition.isEmpty())
            condition += QStringLiteral(" OR ");
        condition += QStringLiteral("`%1` LIKE '%%2%'").arg(field, escaped);
    }
    // One row is enough to score, so the scan stops at the first hit.
    return QStringLiteral("SELECT 1 FROM `%1` WHERE %2 LIMIT 1").arg(table, condition);
}

void LMSearchMenuWorker::initWithDataString(const QString &text, MyDocument &document, LMSearchResults &results)
{
    OXDatabase *database = document.database();
    if (!database)
        return;
    for (const QString &table : database->tablesList()) {
        const QString sql = dataStatement(table, database->namesForTable(table), text);
        if (sql.isEmpty())
            continue;
        const std::shared_ptr<QLiteCursor> cursor = database->executeQuery(sql);
        if (cursor && cursor->rowCount() > 0)
            results.add(ItemKinds::mode(ItemKind::Table), table);
    }
}

void LMSearchMenuWorker::initWithReportString(const QString &text, MyDocument &document, LMSearchResults &results)
{
    const QList<Value> reports = document.reports().toList();
    for (const Value &report : reports) {
        const QString plain = LMReportPlainText::plainText(report.value(DesignKey::AttributedString));
        if (LMWildcard::contains(text, plain))
            results.add(ItemKinds::mode(ItemKind::Report), nameOf(report));
    }
}

void LMSearchMenuWorker::initWithDeepString(const QString &text, MyDocument &document, LMSearchResults &results)
{
    for (const Collection &c : collections(document)) {
        const QList<Value> items = c.items.toList();
        for (const Value &item : items) {
            if (deepContains(item, text))
                results.add(c.kind, nameOf(item));
        }
    }
}
