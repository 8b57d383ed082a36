// LMReportPanels: QPageSetupDialog and QPrintDialog, window-modal like every sheet, unless replaced.
#include "LMReportPanels.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {
LMReportPanels::PageSetup &pageSetup()
{
    static LMReportPanels::PageSetup panel;
    return panel;
}
LMReportPanels::Print &print()
{
    static LMReportPanels::Print panel;
    return panel;
}
} // namespace

namespace LMReportPanels {
void setPageSetup(PageSetup panel)
{
    pageSetup() = std::move(panel);
}

void setPrint(Print panel)
{
    print() = std::move(panel);
}

std::optional<QPageLayout> runPageSetup(const QPageLayout &current, QWidget *window)
{
    if (pageSetup())
        return pageSetup()(current, window);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(current);
    QPageSetupDialog dialog(&printer, window);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return printer.pageLayout();
}

bool runPrint(QPrinter *printer, QWidget *window)
{
    if (print())
        return print()(printer, window);
    QPrintDialog dialog(printer, window);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted;
}
} // namespace LMReportPanels
