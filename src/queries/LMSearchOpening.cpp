// LMSearchOpening: one switch from a kind to the navigator's opening operation.
#include "LMSearchOpening.h"

#include "ItemKind.h"
#include "LMDocumentNavigator.h"

bool LMSearchOpening::switchToObject(LMDocumentNavigator &navigator, const QString &name, const QString &type)
{
    const std::optional<ItemKind> kind = ItemKinds::fromMode(type);
    if (!kind || name.isEmpty())
        return false;
    switch (*kind) {
    case ItemKind::Table: return navigator.switchToTableEditView(name);
    case ItemKind::Query: return navigator.switchToQueryView(name);
    case ItemKind::Form: return navigator.switchToFormDataView(name);
    case ItemKind::Report: return navigator.switchToReportView(name);
    case ItemKind::Script: return navigator.switchToScriptView(name);
    }
    return false;
}
