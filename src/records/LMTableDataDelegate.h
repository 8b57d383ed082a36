// LMTableDataDelegate: the in-place cell editors and the drawing of the non-text cells of the grid.
#pragma once

#include "Value.h"

#include <QStyledItemDelegate>
#include <optional>

class LMTableDataTableView;

class LMTableDataDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit LMTableDataDelegate(LMTableDataTableView *view);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The native value of text typed into the cell's editor; nullopt when the text is no value of the cell's
    // datatype (a Number or Date that does not read as one).
    std::optional<Value> valueOfText(const QString &text, const QModelIndex &index) const;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    void drawPlainText(QPainter *painter, const QStyleOptionViewItem &item, const QString &text,
                       const QStyle *style) const;

    LMTableDataTableView *m_view;
};
