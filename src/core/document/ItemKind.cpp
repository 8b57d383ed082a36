// ItemKind: the table of the item kinds; every text naming a kind comes from here.
#include "ItemKind.h"

namespace {
const QList<ItemKindInfo> &table()
{
    static const QList<ItemKindInfo> kinds{
        {ItemKind::Table, QStringLiteral("Table"), QStringLiteral("Tables"), QStringLiteral("table"),
         QStringLiteral("SourceList_Tables_32"), QStringLiteral("Tables 16"), QStringLiteral("New Table")},
        {ItemKind::Query, QStringLiteral("Query"), QStringLiteral("Queries"), QStringLiteral("query"),
         QStringLiteral("SourceList_Query_32"), QStringLiteral("Query 16"), QStringLiteral("New Query")},
        {ItemKind::Form, QStringLiteral("Form"), QStringLiteral("Forms"), QStringLiteral("form"),
         QStringLiteral("SourceList_Forms_32"), QStringLiteral("Forms small"), QStringLiteral("New Form")},
        {ItemKind::Report, QStringLiteral("Report"), QStringLiteral("Reports"), QStringLiteral("report"),
         QStringLiteral("SourceList_Reports_32"), QStringLiteral("Report 16"), QStringLiteral("New Report")},
        {ItemKind::Script, QStringLiteral("Script"), QStringLiteral("Scripts"), QStringLiteral("script"),
         QStringLiteral("SourceList_Scripts_32"), QStringLiteral("Scripts small"), QStringLiteral("New Script")},
    };
    return kinds;
}
} // namespace

const QList<ItemKind> &ItemKinds::all()
{
    static const QList<ItemKind> kinds = [] {
        QList<ItemKind> list;
        for (const ItemKindInfo &info : table())
            list << info.kind;
        return list;
    }();
    return kinds;
}

const ItemKindInfo &ItemKinds::info(ItemKind kind)
{
    return table().at(static_cast<int>(kind));
}

QString ItemKinds::overview()
{
    return QStringLiteral("Overview");
}

std::optional<ItemKind> ItemKinds::fromMode(const QString &mode)
{
    for (const ItemKindInfo &info : table())
        if (info.mode == mode)
            return info.kind;
    return std::nullopt;
}

std::optional<ItemKind> ItemKinds::fromType(const QString &type)
{
    for (const ItemKindInfo &info : table())
        if (info.type == type)
            return info.kind;
    return std::nullopt;
}
