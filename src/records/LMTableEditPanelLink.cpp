// LMTableEditView: pointing the shared data panel at the focused cell, and the desktop's file opener.
#include "LMTableDataTableView.h"
#include "LMTableEditView.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
std::function<bool(const QString &, bool)> &urlOpener()
{
    static std::function<bool(const QString &, bool)> opener;
    return opener;
}
} // namespace

void LMTableEditView::setUrlOpener(std::function<bool(const QString &path, bool reveal)> opener)
{
    urlOpener() = std::move(opener);
}

bool LMTableEditView::openPath(const QString &path, bool reveal)
{
    if (urlOpener())
        return urlOpener()(path, reveal);
    // The file manager shows the folder that holds the file; the default application opens the file.
    const QString target = reveal ? QFileInfo(path).absolutePath() : path;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(target));
}

void LMTableEditView::focusedCellDidChange()
{
    refreshDataPanel();
}

void LMTableEditView::refreshDataPanel() {}

void LMTableEditView::completeDataPanel() {}

void LMTableEditView::showDataPanel() {}

void LMTableEditView::toggleDataPanel() {}
