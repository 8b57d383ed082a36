// PlaceholderWindow: names the document it was asked to open.
#include "PlaceholderWindow.h"

#include <QFileInfo>
#include <QLabel>

PlaceholderWindow::PlaceholderWindow(const QString &documentPath, QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(documentPath.isEmpty() ? QStringLiteral("Orvix")
                                          : QFileInfo(documentPath).fileName() + QStringLiteral(" — Orvix"));
    auto *label = new QLabel(documentPath.isEmpty() ? QStringLiteral("Orvix")
                                                    : QStringLiteral("Orvix\n%1").arg(documentPath),
                             this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    resize(960, 640);
}
