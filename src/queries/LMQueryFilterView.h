// LMQueryFilterView: the query filter shown above a record grid or form entry. It edits a query definition in
// place, turns its conditions into a WHERE clause, and saves, renames and opens saved queries.
#pragma once

#include "LMGridFilter.h"
#include "LMQueryNameSheet.h"
#include "LMQueryOpenView.h"
#include "Value.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class LMDocumentNavigator;
class LMQueryFilterComponent;
class LMQueryFilterHeader;
class MyDocument;
class OXDatabase;
class QVBoxLayout;

class LMQueryFilterView : public QWidget, public LMGridFilter {
    Q_OBJECT
public:
    // `tableName` is the table of the grid or form the filter sits above. Without a `dictionary` the filter
    // starts with a new definition of three empty conditions. It starts closed.
    LMQueryFilterView(MyDocument *document, const QString &tableName, const Value &dictionary = Value(),
                      QWidget *parent = nullptr);
    ~LMQueryFilterView() override;

    MyDocument *document() const { return m_document; }
    OXDatabase *database() const;
    // The table of the grid or form (the delegate's table).
    QString tableName() const { return m_tableName; }
    // The grid's table was renamed: conditions follow on the next load.
    void setTableName(const QString &tableName);
    // True when the filter sits above form entry: a query of another table then opens in a form.
    bool inForm() const { return m_inForm; }
    void setInForm(bool inForm);
    // The window a query of another table opens in (the chooser asks it to switch); without one, the
    // application-wide hook of LMQueryOpening is asked.
    void setNavigator(LMDocumentNavigator *navigator) { m_navigator = navigator; }

    // Loads a definition (null: a new one) and rebuilds the headers and one row per condition; every
    // condition's "Table" becomes this filter's table. `window` is where sheets go (null: the document's).
    void setDictionary(const Value &dictionary, QWidget *window = nullptr, bool resizeAux = true);
    // The definition being edited: the same object, not a copy.
    Value dictionary() const { return m_dictionary; }

    // The clause, without WHERE, of the conditions shown; empty when none is complete.
    QString whereClause() const override;
    // The grid's restriction: " WHERE <clause> " while open with a complete condition, else "".
    QString whereQuery() const override;
    // The clause of a definition, without a view (the report language uses it).
    static QString whereSQLForQueryDictionary(const Value &definition);

    bool isOpen() const override { return m_open; }
    void open();
    void close();
    void toggleQueryView() override;

    // Marks the document changed and tells the delegate (grid or form) to reload.
    void alertDelegate();

    // Asks for a name and stores the definition among the document's queries.
    void save();
    // The same in rename mode.
    void renameQuery();
    // The name sheet's button: false (with a beep) when the name is empty or taken.
    bool nameSheetSave(const QString &name);
    void nameSheetCancel();
    bool isRenaming() const { return m_renaming; }

    // Shows the chooser of the document's queries.
    void openQuery();
    // Loads the chosen definition in place and tells the delegate.
    void openQuery(const Value &definition);
    // The chooser's choice: in place when it filters this table, else the document opens it where it belongs.
    void chooserDidChoose(const Value &definition);
    // Loads a definition, opens the filter and tells the delegate (the document opening a saved query).
    void programaticallyOpenQuery(const Value &definition, QWidget *window = nullptr);

    // A query renamed: when the new name is this definition's, the header shows it.
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    // Rebuilds the rows from the definition and the current design.
    void refresh() override;

    void addParameterComponent();
    // Inserts a new empty condition after the row of `dictionary` (at the end when it has none).
    void addParameterComponentAfter(const Value &dictionary);
    void removeParameterComponentWithObject(const Value &dictionary);
    void addDisplayComponent();
    void removeDisplayComponentWithObject(const Value &dictionary);
    QList<Value> usableDisplays() const;
    // A saved query, or one whose shown fields were chosen, lists the fields the grid shows; otherwise empty
    // (every field). Displays of fields no longer in the design are left out.
    QStringList displayedFields() const override;
    // Shows or hides one field of the grid by rewriting this table's displays in design order; the last
    // shown field cannot be hidden (beep).
    void setFieldDisplayed(const QString &field, bool shown);

    QList<LMQueryFilterComponent *> components() const { return m_components; }
    LMQueryFilterHeader *mainHeader() const { return m_mainHeader; }
    LMQueryFilterHeader *parametersHeader() const { return m_parametersHeader; }
    LMQueryFilterHeader *displaysHeader() const { return m_displaysHeader; }
    // The open sheets, null while none is shown.
    LMQueryNameSheet *nameSheet() const { return m_nameSheet; }
    LMQueryOpenView *chooser() const { return m_chooser; }
    QWidget *sheetWindow() const;

signals:
    // The conditions, the all/any choice or the loaded definition changed; the delegate reloads.
    void queryFilterDidChange();

private:
    void rebuild();
    void showNameSheet();
    void closeNameSheet();
    void closeChooser();
    QString queryName() const;

    MyDocument *m_document = nullptr;
    LMDocumentNavigator *m_navigator = nullptr;
    QString m_tableName;
    Value m_dictionary;
    QPointer<QWidget> m_window;
    bool m_open = false;
    bool m_inForm = false;
    bool m_renaming = false;
    // The user chose the shown fields of an unsaved definition; until then it shows every field, also
    // fields added to the design after the grid opened.
    bool m_displaysChosen = false;
    QVBoxLayout *m_rows = nullptr;
    LMQueryFilterHeader *m_mainHeader = nullptr;
    LMQueryFilterHeader *m_parametersHeader = nullptr;
    LMQueryFilterHeader *m_displaysHeader = nullptr;
    QList<LMQueryFilterComponent *> m_components;
    QPointer<LMQueryNameSheet> m_nameSheet;
    QPointer<LMQueryOpenView> m_chooser;
};
