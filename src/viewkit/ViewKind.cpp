// ViewKind: the table of the view kinds; every view identifier comes from here.
#include "ViewKind.h"

namespace {
const QList<ViewKindInfo> &table()
{
    static const QList<ViewKindInfo> kinds{
        {ViewKind::Overview, ItemKinds::overview(), std::nullopt, QStringLiteral("Overview 16"),
         QStringLiteral("Overview")},
        {ViewKind::TableEdit, QStringLiteral("Table Edit"), ItemKind::Table, QStringLiteral("Tables 16"),
         QStringLiteral("Records")},
        {ViewKind::TableDesign, QStringLiteral("Table Design"), ItemKind::Table, QStringLiteral("Tables 16"),
         QStringLiteral("Table Design")},
        // A query shows its table's grid, so its tab wears the table icon.
        {ViewKind::Query, QStringLiteral("Query"), ItemKind::Query, QStringLiteral("Tables 16"),
         QStringLiteral("Query")},
        {ViewKind::FormData, QStringLiteral("Form Data"), ItemKind::Form, QStringLiteral("Forms small"),
         QStringLiteral("Form Data Entry")},
        {ViewKind::FormDesign, QStringLiteral("Form Design"), ItemKind::Form, QStringLiteral("Forms small"),
         QStringLiteral("Form Design")},
        {ViewKind::Reports, QStringLiteral("Reports"), ItemKind::Report, QStringLiteral("Report 16"),
         QStringLiteral("Report")},
        {ViewKind::Script, QStringLiteral("Script"), ItemKind::Script, QStringLiteral("Scripts small"),
         QStringLiteral("Script Editor")},
        {ViewKind::SQL, QStringLiteral("SQL"), std::nullopt, QStringLiteral("Command Line 16"),
         QStringLiteral("SQL Editor")},
        {ViewKind::Relationship, QStringLiteral("Relationship"), std::nullopt, QStringLiteral("Relationships 16"),
         QStringLiteral("Relationships Diagram")},
        {ViewKind::UsersGroups, QStringLiteral("Users Groups"), std::nullopt, QStringLiteral("Users small"),
         QStringLiteral("Users and Groups")},
        {ViewKind::Find, QStringLiteral("Find"), std::nullopt, QStringLiteral("Find 16"), QStringLiteral("Find")},
        {ViewKind::Chooser, QStringLiteral("Chooser"), std::nullopt, QStringLiteral("Chooser 16"),
         QStringLiteral("Chooser")},
        {ViewKind::Help, QStringLiteral("Help"), std::nullopt, QString(), QStringLiteral("Help")},
        {ViewKind::BrowserView, QStringLiteral("Browser View"), std::nullopt, QString(), QStringLiteral("Browser")},
    };
    return kinds;
}
} // namespace

const QList<ViewKind> &ViewKinds::all()
{
    static const QList<ViewKind> kinds = [] {
        QList<ViewKind> list;
        for (const ViewKindInfo &info : table())
            list << info.kind;
        return list;
    }();
    return kinds;
}

const ViewKindInfo &ViewKinds::info(ViewKind kind)
{
    return table().at(static_cast<int>(kind));
}

std::optional<ViewKind> ViewKinds::fromIdentifier(const QString &identifier)
{
    for (const ViewKindInfo &info : table())
        if (info.identifier == identifier)
            return info.kind;
    return std::nullopt;
}

QString ViewKinds::mode(ViewKind kind)
{
    if (kind == ViewKind::Overview)
        return identifier(kind);
    const std::optional<ItemKind> items = info(kind).itemKind;
    return items ? ItemKinds::mode(*items) : QString();
}

const QStringList &ViewKinds::modes()
{
    static const QStringList list = [] {
        QStringList modes{mode(ViewKind::Overview)};
        for (const ItemKind kind : ItemKinds::all())
            modes << ItemKinds::mode(kind);
        return modes;
    }();
    return list;
}

const QList<ViewKinds::ModeButton> &ViewKinds::modeButtons()
{
    static const QList<ModeButton> buttons{{ViewKind::TableDesign, identifier(ViewKind::TableDesign)},
                                           {ViewKind::TableEdit, QStringLiteral("Table Data")},
                                           {ViewKind::FormDesign, identifier(ViewKind::FormDesign)},
                                           {ViewKind::FormData, identifier(ViewKind::FormData)}};
    return buttons;
}

QString ViewKinds::modeButtonTitle(ViewKind kind)
{
    for (const ModeButton &button : modeButtons())
        if (button.kind == kind)
            return button.title;
    return QString();
}

std::optional<ViewKind> ViewKinds::fromModeButton(const QString &title)
{
    for (const ModeButton &button : modeButtons())
        if (button.title == title)
            return button.kind;
    return std::nullopt;
}

QString ViewKinds::modeOfIdentifier(const QString &identifier)
{
    const std::optional<ViewKind> kind = fromIdentifier(identifier);
    return kind ? mode(*kind) : QString();
}

QString ViewKinds::newItemLabel(ViewKind kind)
{
    const std::optional<ItemKind> items = info(kind).itemKind;
    return items ? ItemKinds::info(*items).newLabel : QString();
}
