// LMViewController: the protocol every view shown in a document tab follows, so the window can commit,
// refresh and notify it without knowing its kind.
#pragma once

#include "ItemKind.h"
#include "Value.h"

#include <QString>
#include <QStringList>
#include <optional>

class QAction;
class QWidget;
class LMIdentifiedView;

class LMViewController {
public:
    virtual ~LMViewController() = default;

    // The kind of view, as ViewKinds::identifier gives it ("Table Edit", …).
    virtual QString identifier() const = 0;
    // The view this controller runs; it owns the controller (see LMIdentifiedView::adoptController).
    virtual LMIdentifiedView *view() = 0;

    // Commit pending edits into the designs and the database.
    virtual void cleanUp() {}
    // The relationships view answers its relationships dictionary instead of a plain cleanUp.
    virtual std::optional<Value> cleanUpAndArchive()
    {
        cleanUp();
        return std::nullopt;
    }
    // Reload from the database and the designs.
    virtual void refresh() {}
    // Broadcasts relayed by the document: an item of `kind` was renamed or deleted.
    virtual void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
    {
        Q_UNUSED(kind)
        Q_UNUSED(oldName)
        Q_UNUSED(newName)
    }
    virtual void itemDidDelete(ItemKind kind, const QString &name)
    {
        Q_UNUSED(kind)
        Q_UNUSED(name)
    }
    // A user logged in (the rights may have changed), and the document was saved (its name may have changed).
    virtual void userDidLogin() {}
    virtual void documentDidSave() {}
    // Edit ▸ Open in Text Editor: edits the focused field in place; false when this view has none.
    virtual bool openInTextEditor() { return false; }

    // Toolbar delegation: a controller that answers true supplies the window's toolbar ("<identifier> Toolbar").
    virtual bool providesToolbar() const { return false; }
    virtual QStringList toolbarAllowedItemIdentifiers() const { return {}; }
    virtual QStringList toolbarDefaultItemIdentifiers() const { return {}; }
    // The action for one toolbar item; the window adds it to the toolbar (the controller keeps ownership).
    virtual QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted)
    {
        Q_UNUSED(itemIdentifier)
        Q_UNUSED(willBeInserted)
        return nullptr;
    }
};
