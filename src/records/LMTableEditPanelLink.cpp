// LMTableEditView: pointing the shared data panel at the focused cell, and the desktop's file opener.
#include "LMDataPanel.h"
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

// A panel that does not exist yet is hidden, and a hidden panel loads nothing: no need to create it here.
void LMTableEditView::refreshDataPanel()
{
    LMDataPanel *panel = LMDataPanel::lazySharedManager();
    if (!panel || !m_tableView)
        return;
    if (m_tableView->isFocusActive())
        panel->startEditingForDatasource(this, m_tableView->focusedField(), m_tableView->focusedRow());
    else
        panel->startEditingForDatasource(this, QString(), -1);
}

void LMTableEditView::completeDataPanel()
{
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager(); panel && panel->datasource() == this)
        panel->complete();
}

void LMTableEditView::showDataPanel()
{
    LMDataPanel::sharedManager()->showBeside(m_window ? m_window.data() : m_widget);
}

void LMTableEditView::toggleDataPanel()
{
    LMDataPanel::sharedManager()->toggle();
}

void LMTableEditView::reloadTableView()
{
    reload();
}
