// DesignReferences: the design side of table and field renames (relationships, queries, forms, reports).
#include "DesignReferences.h"

#include "DesignCatalogue.h"
#include "DesignVocabulary.h"
#include "MyDocument.h"

namespace {
// The relationship diagram's and the queries' own keys.
const QString kTable = QStringLiteral("Table");
const QString kField = QStringLiteral("Field");
const QString kLines = QStringLiteral("Lines");
const QString kBoxes = QStringLiteral("Boxes");
const QString kStartTable = QStringLiteral("Start Table");
const QString kStartField = QStringLiteral("Start Field");
const QString kEndTable = QStringLiteral("End Table");
const QString kEndField = QStringLiteral("End Field");
const QString kContentTable = QStringLiteral("Content Table");
const QString kTableName = QStringLiteral("Table Name");
const QString kDisplays = QStringLiteral("Displays");
const QString kParameters = QStringLiteral("Parameters");

// Replaces `key` with `newValue` in every dictionary of `entries` where `match` holds.
template <typename Match>
void replaceWhere(const Value &entries, const QString &key, const QString &newValue, Match match)
{
    for (int i = 0; i < entries.size(); ++i) {
        Value entry = entries.at(i);
        if (entry.isDict() && match(entry))
            entry.set(key, newValue);
    }
}

bool stringEquals(const Value &entry, const QString &key, const QString &text)
{
    const Value v = entry.value(key);
    return v.isString() && v.toString() == text;
}

// A matcher of entries whose `key` reads `name`.
auto named(const QString &key, const QString &name)
{
    return [key, name](const Value &entry) { return stringEquals(entry, key, name); };
}
} // namespace

DesignReferences DesignReferences::of(MyDocument *document)
{
    if (!document)
        return DesignReferences(Collections{});
    return DesignReferences(Collections{document->tables(), document->relationships(), document->queries(),
                                        document->forms(), document->reports()});
}

void DesignReferences::renameField(const QString &oldName, const QString &newName, const QString &table)
{
    const Value lines = m_designs.relationships.value(kLines);
    replaceWhere(lines, kStartField, newName, [&](const Value &line) {
        return stringEquals(line, kStartTable, table) && stringEquals(line, kStartField, oldName);
    });
    replaceWhere(lines, kEndField, newName, [&](const Value &line) {
        return stringEquals(line, kEndTable, table) && stringEquals(line, kEndField, oldName);
    });
    const Value queries = m_designs.queries;
    for (int i = 0; i < queries.size(); ++i) {
        for (const QString &list : {kDisplays, kParameters})
            replaceWhere(queries.at(i).value(list), kField, newName, [&](const Value &entry) {
                return stringEquals(entry, kTable, table) && stringEquals(entry, kField, oldName);
            });
    }
}

void DesignReferences::renameTableDesign(const QString &oldName, const QString &newName)
{
    Value design = DesignCatalogue(m_designs.tables).tableDesign(oldName);
    if (design.isDict())
        design.set(DesignKey::Name, newName);
    const Value relationships = m_designs.relationships;
    replaceWhere(relationships.value(kBoxes), DesignKey::Name, newName, named(DesignKey::Name, oldName));
    replaceWhere(relationships.value(kLines), kStartTable, newName, named(kStartTable, oldName));
    replaceWhere(relationships.value(kLines), kEndTable, newName, named(kEndTable, oldName));
}

void DesignReferences::renameTableReferences(const QString &oldName, const QString &newName)
{
    replaceWhere(m_designs.reports, kContentTable, newName, named(kContentTable, oldName));
    replaceWhere(m_designs.forms, kContentTable, newName, named(kContentTable, oldName));
    const Value queries = m_designs.queries;
    replaceWhere(queries, kTableName, newName, named(kTableName, oldName));
    for (int i = 0; i < queries.size(); ++i)
        for (const QString &list : {kDisplays, kParameters})
            replaceWhere(queries.at(i).value(list), kTable, newName, named(kTable, oldName));
}
