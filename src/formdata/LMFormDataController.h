// LMFormDataController: one form editor (the main editor of a form tab, or a nested editor of related records):
// the record list, navigation, add/delete/insert/uninsert with their sheets, and the form view.
#pragma once

#include "LMDataPanelClient.h"
#include "LMFormRecords.h"
#include "LMInsertRecord.h"
#include "LMRecordEditor.h"
#include "Value.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class FEControl;
class FEView;
class LMFormDataContainer;
class LMQueryFilterView;
class MyDocument;
class OXDatabase;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class QVBoxLayout;
class QWidget;

class LMFormDataController : public QObject,
                             public LMRecordEditor,
                             public LMDataPanelDelegate,
                             public LMInsertRecordDelegate {
    Q_OBJECT
public:
    // initWithName:database:window:commaIndexes:document:parent:parentRowid:relationship:isBackwards:
    // The main editor passes no parent and a null relationship; a nested one its parent, the parent record's id,
    // the relationship line, the direction and the quoted id list of the related records.
    LMFormDataController(const QString &name, MyDocument *document, QWidget *window, bool nested = false,
                         const QString &commaIndexes = QString(), LMFormDataController *parent = nullptr,
                         const QString &parentRowid = QString(), const Value &relationship = Value(),
                         bool isBackwards = false);
    ~LMFormDataController() override;

    QString name() const { return m_records.name(); }
    QString contentTable() const { return m_records.contentTable(); }
    QString tableName() const { return m_records.tableName(); }
    bool hasContentTable() const { return m_records.hasContentTable(); }
    MyDocument *document() const { return m_document; }
    OXDatabase *database() const { return m_records.database(); }
    QWidget *window() const { return m_window; }
    LMFormRecords &records() { return m_records; }
    const LMFormRecords &records() const { return m_records; }
    FEView *feview() const { return m_feview; }
    QListWidget *recordList() const { return m_list; }
    QComboBox *fieldPopUp() const { return m_fieldPopUp; }
    QLineEdit *recordNumberField() const { return m_numberField; }
    LMQueryFilterView *queryFilter() const { return m_filter; }
    bool isNested() const { return m_records.isNested(); }
    LMFormDataController *parentEditor() const { return m_parent; }
    QString parentRowid() const { return m_parentRowid; }
    Value relationship() const { return m_relationship; }
    bool isBackwards() const { return m_isBackwards; }
    void setContainer(LMFormDataContainer *container) { m_container = container; }

    // --- Queries and reloading.
    QString standardSelectQuery() const { return m_records.standardSelectQuery(); }
    // Rebuilds the form view from the document's form and reloads the records.
    void refresh();
    // Reloads the record list (keeping the shown record) and the shown record.
    void reloadData() override;
    // Makes a field the record list's field and the table's human key.
    void focusedField(const QString &field);
    // Whether the record buttons apply (a valid content table).
    bool validateButtons() const { return hasContentTable(); }

    // --- Navigation.
    int selectedIndex() const;
    void selectIndex(int index);
    void gotoFirstRow();
    void gotoPreviousRow();
    void gotoNextRow();
    void gotoLastRow();
    // A 1-based record number typed by the user.
    void gotoRowTextField(const QString &text);
    void refreshValueOfTextField();

    // --- Records.
    void addButton();
    void deleteButton();
    void insertButton();
    void uninsertButton();
    // LMInsertRecordDelegate: the record picked in the insert sheet.
    QString indices() const override { return m_records.commaIndexes(); }
    void insertButtonSheetEnded(const QString &rowid) override;
    LMInsertRecord *insertSheet() const { return m_insertSheet; }

    // --- Related records.
    // Opens the nested editor of a relationship field of the shown record.
    void openRelatedRecords(const QString &field, const QString &recordId);
    LMFormDataController *beginRelEditWithParentRowId(const QString &parentRowid, const QString &table,
                                                      const QString &commaIndexes, const Value &relationship,
                                                      const QString &relname, bool isBackwards);
    bool childUpdatedAdded(const Value &relationship, const QString &parentRowid, const QString &addedIndex,
                           bool backwards);
    bool childUpdatedRemoved(const Value &relationship, const QString &parentRowid, const QString &removedIndex,
                             bool backwards);
    // The first form of `table`, made when there is none ("" when none could be made).
    QString createFormForName(const QString &table);
    // The nested editor last opened without a container (tests drive editors without a window).
    LMFormDataController *detachedChild() const { return m_detachedChild.get(); }

    // --- LMRecordEditor
    QWidget *editorWidget() const override { return m_widget; }
    void addRecord() override { addButton(); }
    void deleteRecord() override { deleteButton(); }
    void insertRecord() override { insertButton(); }
    void uninsertRecord() override { uninsertButton(); }
    void toggleDataPanel() override;
    void toggleQueryFilter() override;
    void editorSelected() override { refresh(); }
    void refreshEditor() override { refresh(); }
    void commitEditor() override;
    bool canEditRecords() const override { return validateButtons(); }
    bool showsRecord() const override;

    // --- LMDataPanelDelegate
    QWidget *dataPanelWindow() const override { return m_window; }

    // Opens a saved query's filter over the form (the form opened on the records it selects).
    void openQuery(const Value &definition);

signals:
    // The shown record or the record list changed (the container updates its items).
    void stateChanged();

private:
    void buildWidget();
    void fillFieldPopUp();
    void fillRecordList();
    void loadSelectedRecord();
    void showSheet(const Alert &alert);
    void showTooManyRecords();
    bool parentHoldsSingleRecord() const;
    void linkNewId(const QString &id);
    void removeSelectedFromRelationship();
    void deleteSelectedFromDatabase();
    void focusedControlChanged(FEControl *control);

    MyDocument *m_document;
    QPointer<QWidget> m_window;
    LMFormRecords m_records;
    QPointer<LMFormDataController> m_parent;
    QString m_parentRowid;
    Value m_relationship;
    bool m_isBackwards = false;
    LMFormDataContainer *m_container = nullptr;
    std::unique_ptr<LMFormDataController> m_detachedChild;

    QWidget *m_widget = nullptr;
    QVBoxLayout *m_formColumn = nullptr;
    QComboBox *m_fieldPopUp = nullptr;
    QListWidget *m_list = nullptr;
    FEView *m_feview = nullptr;
    QLineEdit *m_numberField = nullptr;
    QLabel *m_countLabel = nullptr;
    LMQueryFilterView *m_filter = nullptr;
    QPointer<LMInsertRecord> m_insertSheet;
    QString m_focusedField;
    bool m_filling = false;
};
