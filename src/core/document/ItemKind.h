// ItemKind: the five kinds of items a document holds, each described once in one table (ItemKind.cpp).
#pragma once

#include <QList>
#include <QString>
#include <optional>

enum class ItemKind { Table, Query, Form, Report, Script };

struct ItemKindInfo {
    ItemKind kind;
    QString type;     // the word of the broadcasts and of the design collections: "Table", "Query", …
    QString mode;     // the source-list heading and mode: "Tables", "Queries", …
    QString noun;     // in running text: "table", "query", …
    QString modeIcon; // mode-list and source-list heading image
    QString itemIcon; // icon of the items' rows and tabs
    QString newLabel; // the label of an item not yet named: "New Table", …
};

namespace ItemKinds {
// Every kind, in source-list order.
const QList<ItemKind> &all();
const ItemKindInfo &info(ItemKind kind);
inline QString type(ItemKind kind)
{
    return info(kind).type;
}
inline QString mode(ItemKind kind)
{
    return info(kind).mode;
}
std::optional<ItemKind> fromMode(const QString &mode);
// The mode above the item kinds' modes, which is also the identifier of the overview's tab: "Overview".
QString overview();
std::optional<ItemKind> fromType(const QString &type);
} // namespace ItemKinds
