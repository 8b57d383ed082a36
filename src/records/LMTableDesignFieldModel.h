// LMTableDesignFieldModel: the Qt model of the editor's field grid, and the datatype pop-up that edits it;
// both only forward to LMTableDesignView, which holds the rules.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

class LMTableDesignView;

class LMTableDesignFieldModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, TypeColumn = 1 };

    explicit LMTableDesignFieldModel(LMTableDesignView *editor, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void reload();

private:
    static QString columnIdentifier(int column);
    LMTableDesignView *m_editor;
    int m_rows = 0; // the rows the views were last told of
};

// The datatype pop-up of the "Type" column: every datatype in index order, "Primary Key" shown but disabled.
class LMTableDesignTypeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
