// LMDocumentNavigator: what a view may ask of the window that shows it: open other views, relabel its tab,
// reload the source list, the page setup, the frontmost document. The document window implements it;
// every LMViewContext carries it, so no feature needs a shell header.
//
//   How a view uses it (from its factory's context):
//       context.navigator->switchToTableEditView(table);
//       context.navigator->setCurrentTabLabel(newName);
//       context.navigator->reloadSourceListExpanding(ItemKind::Report);
#pragma once

#include "ItemKind.h"

#include <QString>

class MyDocument;
class QPrinter;
class QWidget;

class LMDocumentNavigator {
public:
    virtual ~LMDocumentNavigator() = default;

    // Opening views in the current tab (a new tab while the new-tab modifier is held); each answers whether
    // a view was opened. An empty name means a new item of that kind.
    virtual bool switchToOverview(bool firstTime = false) = 0;
    virtual bool switchToTableEditView(const QString &table) = 0;
    virtual bool switchToTableDesignView(const QString &table) = 0;
    // `inForm`: the query's records in its table's form rather than in the grid.
    virtual bool switchToQueryView(const QString &query, bool inForm = false) = 0;
    virtual bool switchToFormDesignView(const QString &form) = 0;
    virtual bool switchToFormDataView(const QString &form) = 0;
    virtual bool switchToReportView(const QString &report) = 0;
    virtual bool switchToScriptView(const QString &script) = 0;
    virtual void switchToScriptRun(const QString &script) = 0;
    virtual bool switchToRelationshipsView() = 0;
    virtual bool switchToUsersGroups(const QString &name, bool isUser) = 0;
    virtual bool switchToFindView(const QString &searchText) = 0;
    virtual bool switchToChooserView() = 0;
    virtual bool switchToSQLView() = 0;
    virtual void switchToBlank() = 0;

    // The label of the tab in front.
    virtual QString currentTabLabel() const = 0;
    virtual void setCurrentTabLabel(const QString &label) = 0;
    // Rebuilds the source list from the document and opens the heading of `kind`.
    virtual void reloadSourceListExpanding(ItemKind kind) = 0;
    // Removes an item with the document's checks and moves the source list's selection to a neighbour.
    virtual bool removeItem(ItemKind kind, const QString &name) = 0;
    // A form generated for `table`; its name, or "" when none was made (no form generator installed).
    virtual QString generateFormForTable(const QString &table) = 0;

    // The page setup every printout of this document uses, and the panel that edits it.
    virtual QPrinter *printer() = 0;
    virtual void runPageLayout() = 0;
    // The document of the frontmost document window (a script's "current document").
    virtual MyDocument *frontmostDocument() const = 0;
    // The window sheets go to.
    virtual QWidget *windowWidget() const = 0;
    // Closes this document's window the way the user does (asking about unsaved changes); true when it closed.
    virtual bool closeDocument() = 0;
};
