// LMSourceList: the outline of the document's items under five headings, filtered by the login's rights.
#pragma once

#include <QSet>
#include <QTreeWidget>

class LMLogin;
class MyDocument;

class LMSourceList : public QTreeWidget {
    Q_OBJECT
public:
    explicit LMSourceList(QWidget *parent = nullptr);

    // Rebuilds the rows from the document's collections; keeps the expanded headings and, when it still
    // exists, the selected row. "LMSidebarIconsOnly" shows the headings without children.
    void reload(const MyDocument &document, const LMLogin *login);

    // The heading of the selected row, or "Other" when nothing is selected.
    QString myMode() const;
    // The "Name" of the selected item; empty for a heading or no selection.
    QString selectedSourceListTitle() const;

    // Rows in display order over the expanded outline (-1 when not shown).
    int rowOf(const QString &mode, const QString &name) const;
    int selectedRow() const;
    void selectRow(int row);
    bool select(const QString &mode, const QString &name = QString());
    QTreeWidgetItem *heading(const QString &mode) const;

signals:
    // `name` is empty for a heading.
    void rowDoubleClicked(const QString &mode, const QString &name);
    void selectionMoved();

private:
    QList<QTreeWidgetItem *> visibleRows() const;
};
