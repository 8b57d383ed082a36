// LMModeList: one row per allowed mode with its image.
#include "LMModeList.h"
#include "ViewKind.h"

#include "LMIcons.h"
#include "LMLogin.h"

namespace {
QString imageFor(const QString &mode)
{
    const std::optional<ItemKind> kind = ItemKinds::fromMode(mode);
    return kind ? ItemKinds::info(*kind).modeIcon : QStringLiteral("Overview");
}
} // namespace

LMModeList::LMModeList(QWidget *parent) : QListWidget(parent)
{
    setIconSize(QSize(24, 24));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { emit modeChosen(item->text()); });
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { emit modeChosen(item->text()); });
}

const QStringList &LMModeList::allModes()
{
    return ViewKinds::modes();
}

void LMModeList::reload(const LMLogin *login)
{
    const QSignalBlocker blocker(this);
    const QString current = currentItem() ? currentItem()->text() : QString();
    clear();
    for (const QString &mode : allModes()) {
        if (login && !login->isAllowedTo(mode))
            continue;
        new QListWidgetItem(LMIcons::icon(imageFor(mode)), mode, this);
    }
    // As tall as its rows, so the source list below gets the rest of the column.
    setFixedHeight(count() * qMax(sizeHintForRow(0), 26) + 2 * frameWidth() + 2);
    selectModeSilently(current);
}

QStringList LMModeList::modes() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << item(i)->text();
    return list;
}

int LMModeList::rowOfMode(const QString &mode) const
{
    return int(modes().indexOf(mode));
}

void LMModeList::selectModeSilently(const QString &mode)
{
    const QSignalBlocker blocker(this);
    const int row = rowOfMode(mode);
    if (row < 0)
        clearSelection();
    else
        setCurrentRow(row);
}
