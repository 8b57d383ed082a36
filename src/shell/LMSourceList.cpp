// LMSourceList: headings "Tables" … "Scripts", children by "Name".
#include "LMSourceList.h"

#include "LMIcons.h"
#include "LMItemKind.h"
#include "LMLogin.h"
#include "MyDocument.h"
#include "Preferences.h"

#include <QHeaderView>

namespace {
constexpr int kModeRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;
} // namespace

LMSourceList::LMSourceList(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        emit rowDoubleClicked(item->data(0, kModeRole).toString(), item->data(0, kNameRole).toString());
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, &LMSourceList::selectionMoved);
}

void LMSourceList::reload(const MyDocument &document, const LMLogin *login)
{
    QSet<QString> expanded;
    bool first = topLevelItemCount() == 0;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isExpanded())
            expanded.insert(topLevelItem(i)->data(0, kModeRole).toString());
    const QString selectedMode = selectedItems().isEmpty() ? QString() : myMode();
    const QString selectedName = selectedSourceListTitle();

    const QSignalBlocker blocker(this);
    clear();
    const bool iconsOnly = Preferences::instance().boolValue(QStringLiteral("LMSidebarIconsOnly"));
    for (const QString &mode : LMItemKinds::sourceListModes()) {
        if (login && !login->isAllowedTo(mode))
            continue;
        const LMItemKind *kind = LMItemKinds::forMode(mode);
        auto *head = new QTreeWidgetItem(this, {mode});
        head->setIcon(0, LMIcons::icon(kind->modeIcon()));
        head->setData(0, kModeRole, mode);
        QFont font = head->font(0);
        font.setBold(true);
        head->setFont(0, font);
        if (!iconsOnly) {
            for (const QString &name : kind->itemNames(document)) {
                auto *row = new QTreeWidgetItem(head, {name});
                row->setIcon(0, LMIcons::icon(kind->itemIcon()));
                row->setData(0, kModeRole, mode);
                row->setData(0, kNameRole, name);
            }
        }
        // Headings start open the first time; afterwards each keeps what the user chose.
        head->setExpanded(first || expanded.contains(mode));
    }
    if (!selectedMode.isEmpty())
        select(selectedMode, selectedName);
}

QString LMSourceList::myMode() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? QStringLiteral("Other") : items.first()->data(0, kModeRole).toString();
}

QString LMSourceList::selectedSourceListTitle() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? QString() : items.first()->data(0, kNameRole).toString();
}

QList<QTreeWidgetItem *> LMSourceList::visibleRows() const
{
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem *head = topLevelItem(i);
        rows << head;
        if (head->isExpanded())
            for (int c = 0; c < head->childCount(); ++c)
                rows << head->child(c);
    }
    return rows;
}

QTreeWidgetItem *LMSourceList::heading(const QString &mode) const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(0, kModeRole).toString() == mode)
            return topLevelItem(i);
    return nullptr;
}

int LMSourceList::rowOf(const QString &mode, const QString &name) const
{
    const QList<QTreeWidgetItem *> rows = visibleRows();
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i]->data(0, kModeRole).toString() == mode && rows[i]->data(0, kNameRole).toString() == name)
            return i;
    return -1;
}

int LMSourceList::selectedRow() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? -1 : int(visibleRows().indexOf(items.first()));
}

void LMSourceList::selectRow(int row)
{
    const QList<QTreeWidgetItem *> rows = visibleRows();
    if (row < 0 || row >= rows.size()) {
        clearSelection();
        return;
    }
    setCurrentItem(rows[row]);
}

bool LMSourceList::select(const QString &mode, const QString &name)
{
    QTreeWidgetItem *head = heading(mode);
    if (!head)
        return false;
    if (name.isEmpty()) {
        setCurrentItem(head);
        return true;
    }
    for (int c = 0; c < head->childCount(); ++c) {
        if (head->child(c)->data(0, kNameRole).toString() == name) {
            head->setExpanded(true);
            setCurrentItem(head->child(c));
            return true;
        }
    }
    return false;
}
