// LMTableDesignView: the editor of one table's design: the field grid, its rules and confirmations, undo
// through the document's undo stack, and the commit of the pending change set into the schema.
#pragma once

#include "Alert.h"
#include "LMViewController.h"
#include "Value.h"
#include "ViewKind.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class LMDocumentNavigator;
class LMIdentifiedView;
class LMTableOptionsPane;
class MyDocument;
class OXDatabase;
class QTableView;
class QWidget;
class LMTableDesignFieldModel;

// Everything the undo stack restores.
struct LMTableDesignSnapshot {
    Value schema; // a deep copy of the field dictionaries
    QStringList left;
    QStringList right;
    int selectedRow = -1;
    QStringList columnsToClear;
};

class LMTableDesignView : public QObject, public LMViewController {
    Q_OBJECT
public:
    // `name` empty for a new table; `window` is where sheets go, `navigator` opens the table's other views
    // and relabels the tab (either may be null).
    LMTableDesignView(const QString &name, MyDocument *document, QWidget *window,
                      LMDocumentNavigator *navigator = nullptr);
    ~LMTableDesignView() override;

    // --- View protocol.
    QString identifier() const override { return ViewKinds::identifier(ViewKind::TableDesign); }
    LMIdentifiedView *view() override;
    void cleanUp() override;
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;

    // --- Editor state.
    QString tableName() const { return m_tableName; }
    bool isNewTable() const { return m_newTable; }
    bool closedWithoutCommit() const { return m_closedWithoutCommit; }
    Value schema() const { return m_schema; }
    QStringList columnMapLeft() const { return m_left; }
    QStringList columnMapRight() const { return m_right; }
    QStringList columnsToClear() const { return m_columnsToClear; }
    int selectedRow() const { return m_selectedRow; }
    Value fieldAt(int row) const;

    // --- Grid of fields; columns "Name" and "Type" (the datatype's pop-up index).
    int numberOfRowsInTableView() const;
    Value objectValueForTableColumn(const QString &column, int row) const;
    void setObjectValue(const Value &value, const QString &column, int row);
    bool shouldEditTableColumn(const QString &column, int row) const;
    void tableViewSelectionDidChange(int row);

    void addRowButtonPressed();
    void removeRowButtonPressed();
    static int typeToNumber(const QString &datatype);
    static QString numberToType(int index);
    // Makes the field at `row` the table's only human key, or clears the human key of every field.
    void setHumanKey(int row, bool on);

    // --- Commit, naming, deletion, counterparts.
    // Commits the pending change set (naming a never-named table "untitled %d" first); false when nothing
    // could be committed.
    bool commitTable();
    void deleteMe();
    void switchToEditDataCounterpart();
    void switchToFormDataCounterpart();
    void switchToFormDesignCounterpart();
    // The name sheet: a name for a new table, a new name for an existing one.
    void runNameSheet();
    // Gives the table `name` (new table) or renames it (existing table); the alert when the name is refused.
    std::optional<Alert> giveName(const QString &name);

    // --- Undo.
    LMTableDesignSnapshot snapshot() const;
    void restore(const LMTableDesignSnapshot &state);

    LMTableOptionsPane *optionsPane() const { return m_optionsPane; }
    QTableView *fieldGrid() const { return m_grid; }
    MyDocument *document() const;

signals:
    void schemaDidChange();
    void selectionDidChange(int row);
    // The grid should start editing the name of `row`.
    void nameEditingRequested(int row);

private:
    void loadFromDesign();
    void buildInterface();
    void setFieldName(const Value &value, int row);
    void setFieldType(const Value &value, int row);
    void recordUndoStep(const QString &text);
    void removeUndoActions();
    bool commitTableRevised();
    void askToCreateForm();
    void showAlert(const Alert &alert);
    QString firstFormOfTable() const;
    bool hasPendingChanges() const;
    OXDatabase *database() const;

    QPointer<MyDocument> m_document; // may go before the tab that holds this editor
    QPointer<QWidget> m_window;
    LMDocumentNavigator *m_navigator = nullptr;

    QString m_tableName;
    Value m_schema = Value::array();
    Value m_baseline; // the schema as last loaded or committed, to tell pending edits apart
    QStringList m_left;
    QStringList m_right;
    QStringList m_columnsToClear;
    int m_selectedRow = -1;
    bool m_newTable = false;
    bool m_closedWithoutCommit = false;
    bool m_createdHere = false;
    bool m_formQuestionAsked = false;
    bool m_applyingEdit = false;

    QPointer<LMIdentifiedView> m_view;
    QTableView *m_grid = nullptr;
    LMTableDesignFieldModel *m_model = nullptr;
    LMTableOptionsPane *m_optionsPane = nullptr;
};

// The "Table Design" factory (registerRecordViews).
std::unique_ptr<LMViewController> makeTableDesignController(MyDocument *document, const QString &tableName,
                                                            QWidget *window, LMDocumentNavigator *navigator = nullptr);
