// LMReportPanels: the page-setup sheet and the print panel of reports, replaceable so that tests and headless
// runs answer them without a dialog.
#pragma once

#include <QPageLayout>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace LMReportPanels {
// The layout chosen, or nullopt when cancelled.
using PageSetup = std::function<std::optional<QPageLayout>(const QPageLayout &current, QWidget *window)>;
// True when the user chose to print with the printer as configured.
using Print = std::function<bool(QPrinter *printer, QWidget *window)>;

// Empty functions put the platform's dialogs back.
void setPageSetup(PageSetup panel);
void setPrint(Print panel);

std::optional<QPageLayout> runPageSetup(const QPageLayout &current, QWidget *window);
bool runPrint(QPrinter *printer, QWidget *window);
} // namespace LMReportPanels
