// LMRelationshipsViewController: the "Relationship" tab: the diagram, its table chooser and its options pane;
// on leaving it hands the edited relationships back to the document.
#pragma once

#include "LMViewController.h"
#include "Value.h"
#include "ViewKind.h"

#include <QPointer>
#include <memory>

class LMIdentifiedView;
class LMRelationshipsDiagram;
class LMRelationshipsOptionsPane;
class LMRelationshipsView;
class OXDatabase;
class QListWidget;
class QWidget;

class LMRelationshipsViewController : public LMViewController {
public:
    // `relationships` is the document's relationships dictionary; it is read, never changed in place.
    LMRelationshipsViewController(OXDatabase *database, const Value &relationships);
    ~LMRelationshipsViewController() override;

    QString identifier() const override { return ViewKinds::identifier(ViewKind::Relationship); }
    LMIdentifiedView *view() override;
    void refresh() override;
    std::optional<Value> cleanUpAndArchive() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;

    LMRelationshipsDiagram *diagram() const { return m_diagram.get(); }
    LMRelationshipsView *diagramView() const { return m_diagramView; }
    // Shows the table chooser with every table switched off.
    void showTableChooser();

private:
    void changed();
    void reloadChooser();

    OXDatabase *m_database;
    std::unique_ptr<LMRelationshipsDiagram> m_diagram;
    QPointer<LMIdentifiedView> m_view;
    LMRelationshipsView *m_diagramView = nullptr;
    LMRelationshipsOptionsPane *m_pane = nullptr;
    QWidget *m_chooser = nullptr;
    QListWidget *m_chooserList = nullptr;
};
