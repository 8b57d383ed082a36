// LMTableDesignFieldModel: row i is schema[i]; the "id" row is greyed and not editable.
#include "LMTableDesignFieldModel.h"
#include "DesignVocabulary.h"

#include "LMTableDesignRules.h"
#include "LMTableDesignView.h"

#include <QBrush>
#include <QComboBox>
#include <QGuiApplication>
#include <QPalette>
#include <QStandardItemModel>

LMTableDesignFieldModel::LMTableDesignFieldModel(LMTableDesignView *editor, QObject *parent)
    : QAbstractTableModel(parent), m_editor(editor), m_rows(editor->numberOfRowsInTableView())
{
}

QString LMTableDesignFieldModel::columnIdentifier(int column)
{
    return column == NameColumn ? DesignKey::Name : DesignKey::Type;
}

int LMTableDesignFieldModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int LMTableDesignFieldModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant LMTableDesignFieldModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Value value = m_editor->objectValueForTableColumn(columnIdentifier(index.column()), index.row());
    if (role == Qt::ForegroundRole && index.row() == 0)
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    if (role == Qt::DisplayRole) {
        if (index.column() == TypeColumn)
            return value.isNull() ? QString() : LMTableDesignRules::numberToType(int(value.toInt()));
        return value.toString();
    }
    if (role == Qt::EditRole)
        return index.column() == TypeColumn ? QVariant(value.isNull() ? -1 : int(value.toInt()))
                                            : QVariant(value.toString());
    return {};
}

bool LMTableDesignFieldModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    Value v;
    if (index.column() == TypeColumn) {
        if (value.isValid() && value.toInt() >= 0)
            v = Value(value.toInt());
    } else {
        v = Value(value.toString());
    }
    m_editor->setObjectValue(v, columnIdentifier(index.column()), index.row());
    return true;
}

Qt::ItemFlags LMTableDesignFieldModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editor->shouldEditTableColumn(columnIdentifier(index.column()), index.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant LMTableDesignFieldModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == NameColumn ? QStringLiteral("Field Name") : QStringLiteral("Datatype");
}

void LMTableDesignFieldModel::reload()
{
    // Most changes arrive from inside setData, while the grid's editor is being committed: resetting the
    // model then would pull the editor away under the grid, so a change that keeps the rows only repaints.
    const int rows = m_editor->numberOfRowsInTableView();
    if (rows == m_rows) {
        if (rows > 0)
            emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QWidget *LMTableDesignTypeDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                                 const QModelIndex &) const
{
    auto *box = new QComboBox(parent);
    box->addItems(LMTableDesignRules::popUpTitles());
    // "Primary Key" is listed so that the indexes stay fixed, but it cannot be chosen.
    if (auto *items = qobject_cast<QStandardItemModel *>(box->model()))
        items->item(0)->setEnabled(false);
    // A choice is a change: commit it at once rather than when the cell loses focus.
    connect(box, &QComboBox::activated, this, [this, box] {
        auto *self = const_cast<LMTableDesignTypeDelegate *>(this);
        emit self->commitData(box);
        emit self->closeEditor(box);
    });
    return box;
}

void LMTableDesignTypeDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor))
        box->setCurrentIndex(index.data(Qt::EditRole).toInt());
}

void LMTableDesignTypeDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor))
        model->setData(index, box->currentIndex(), Qt::EditRole);
}
