// FDPaletteView: the controls palette: one drag-copyable entry per control kind.
#pragma once

#include <QListWidget>

class QMimeData;

class FDPaletteView : public QListWidget {
    Q_OBJECT
public:
    explicit FDPaletteView(QWidget *parent = nullptr);
    // The drag data of one palette kind: its serialized control under the pasteboard type.
    static QMimeData *mimeDataForKind(const QString &kindTitle);

protected:
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    QStringList mimeTypes() const override;
};
