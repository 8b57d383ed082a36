// LMItemKind: one small object per kind of item (tables, queries, forms, reports, scripts, users) that knows
// how its items are added, removed, opened for data and opened for design. The source list, the button bar
// and the overview ask these instead of switching on the kind.
#pragma once

#include "ItemKind.h"
#include "Value.h"

#include <QString>
#include <QStringList>
#include <optional>

class LMDocumentNavigator;
class MyDocument;

class LMItemKind {
public:
    virtual ~LMItemKind() = default;

    // The item kind it stands for (none for users).
    virtual std::optional<ItemKind> itemKind() const = 0;
    // The mode and source-list heading: "Tables", "Queries", "Forms", "Reports", "Scripts", "Users".
    virtual QString mode() const = 0;
    // The word of the broadcasts: "Table", "Query", …
    virtual QString type() const = 0;
    // Mode-list and source-list image ("SourceList_Tables_32", …).
    virtual QString modeIcon() const = 0;
    // Icon of the items' rows and tabs.
    virtual QString itemIcon() const = 0;

    // The document's collection of this kind (shared).
    virtual Value collection(const MyDocument &document) const = 0;
    QStringList itemNames(const MyDocument &document) const;

    virtual void add(LMDocumentNavigator &navigator) const = 0;
    virtual bool remove(MyDocument &document, const QString &name) const = 0;
    // The data view: records, the query, form entry, the report; for scripts: run it.
    virtual void edit(LMDocumentNavigator &navigator, const QString &name) const = 0;
    // The design view; `alternate` is the Option-key variant (a query in a form).
    virtual void design(LMDocumentNavigator &navigator, const QString &name, bool alternate) const = 0;
    // A double-click on the item's row in the source list.
    virtual void sourceListDoubleClick(LMDocumentNavigator &navigator, const QString &name, bool alternate) const = 0;

    // Which buttons of the button bar apply.
    virtual bool offersEdit() const { return true; }
    virtual bool offersRun() const { return false; }
};

namespace LMItemKinds {
// The kind of a mode, or null ("Other", "Overview").
const LMItemKind *forMode(const QString &mode);
// The five kinds of the source list and the overview, in order.
const QStringList &sourceListModes();
} // namespace LMItemKinds
