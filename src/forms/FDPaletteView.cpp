// FDPaletteView: dragging an entry carries a fresh control of its kind, archived like any copied control.
#include "FDPaletteView.h"

#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDKeys.h"

#include <QMimeData>

FDPaletteView::FDPaletteView(QWidget *parent) : QListWidget(parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (const FDControlKind &kind : FDControlKinds::paletteKinds())
        addItem(kind.title);
}

QMimeData *FDPaletteView::mimeDataForKind(const QString &kindTitle)
{
    const Value control = FDControlKinds::makeControl(kindTitle);
    if (control.isNull())
        return nullptr;
    auto *mime = new QMimeData;
    mime->setData(FDKeys::kPasteboardType, FDControlArchiver::archiveControl(control));
    return mime;
}

QMimeData *FDPaletteView::mimeData(const QList<QListWidgetItem *> &items) const
{
    return items.isEmpty() ? nullptr : mimeDataForKind(items.first()->text());
}

QStringList FDPaletteView::mimeTypes() const
{
    return {FDKeys::kPasteboardType};
}
