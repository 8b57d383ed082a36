// ViewKind: every kind of view a document tab can show, each described once in one table (ViewKind.cpp).
#pragma once

#include "ItemKind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

enum class ViewKind {
    Overview,
    TableEdit,
    TableDesign,
    Query,
    FormData,
    FormDesign,
    Reports,
    Script,
    SQL,
    Relationship,
    UsersGroups,
    Find,
    Chooser,
    Help,
    BrowserView,
};

struct ViewKindInfo {
    ViewKind kind;
    QString identifier;               // as stored and compared: "Table Edit", "Form Data", …
    std::optional<ItemKind> itemKind; // the items it shows; its mode is that kind's mode
    QString icon;                     // the tab's icon
    QString title;                    // what a tab says before the kind's own view is built
};

namespace ViewKinds {
// Every kind, the overview first.
const QList<ViewKind> &all();
const ViewKindInfo &info(ViewKind kind);
inline QString identifier(ViewKind kind)
{
    return info(kind).identifier;
}
std::optional<ViewKind> fromIdentifier(const QString &identifier);
// The modes of the mode list, top to bottom: "Overview", then each item kind's mode.
const QStringList &modes();
// The mode the mode list shows while a view of this kind is in front: "Tables", "Overview", or "".
QString mode(ViewKind kind);
QString modeOfIdentifier(const QString &identifier);
// The mode buttons of the record and form editors, left to right: "Table Design", "Table Data", "Form Design",
// "Form Data"; each switches to a view of its kind (the grid's button says "Table Data").
struct ModeButton {
    ViewKind kind;
    QString title;
};
const QList<ModeButton> &modeButtons();
// The title of the mode button that switches to `kind`; "" for a kind without one.
QString modeButtonTitle(ViewKind kind);
// The kind a mode button's title switches to.
std::optional<ViewKind> fromModeButton(const QString &title);
// The label of a tab on a new, unnamed item of this kind ("New Table"); "" for kinds without items.
QString newItemLabel(ViewKind kind);
} // namespace ViewKinds
