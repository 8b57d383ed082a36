// LMInsertRecord: the sheet that links an existing record into a subtable: the not yet linked rows of the
// child table, a search field, and OK handing the chosen row's id to the grid.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <memory>

class OXDatabase;
class QLineEdit;
class QLiteCursor;
class QTableWidget;

// The record view a picked record goes to (a subtable grid or a nested form editor).
class LMInsertRecordDelegate {
public:
    virtual ~LMInsertRecordDelegate() = default;
    // The ids already linked, as '3','17' (empty when none).
    virtual QString indices() const = 0;
    virtual void insertButtonSheetEnded(const QString &rowid) = 0;
};

class LMInsertRecord : public QDialog {
    Q_OBJECT
public:
    // initWithDelegate:window:database:table:
    // A delegate that is a QObject is forgotten when it is destroyed while the sheet is open.
    LMInsertRecord(LMInsertRecordDelegate *delegate, QWidget *window, OXDatabase *database, const QString &table);

    // The statement behind the list: the not yet linked rows, or the rows matching the search text.
    QString listingQuery() const;
    QString lastQuery() const { return m_lastQuery; }
    void setSearchText(const QString &text);
    QLineEdit *searchField() const { return m_search; }
    int rowCount() const;
    QString idAtRow(int row) const;
    void selectRow(int row);
    // OK: the selected row's id goes to the delegate's insertButtonSheetEnded; nothing when no row is selected.
    void accept() override;

private:
    void reloadRows();
    LMInsertRecordDelegate *liveDelegate() const
    {
        return m_delegateIsObject && !m_delegateObject ? nullptr : m_delegate;
    }

    LMInsertRecordDelegate *m_delegate;
    QPointer<QObject> m_delegateObject;
    bool m_delegateIsObject = false;
    OXDatabase *m_database;
    QString m_table;
    QStringList m_listFields;   // shown: neither media nor relationship
    QStringList m_searchFields; // searched: not relationship
    QLineEdit *m_search = nullptr;
    QTableWidget *m_list = nullptr;
    QString m_lastQuery;
    QStringList m_ids;
};
