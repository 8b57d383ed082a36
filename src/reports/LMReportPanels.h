// LMReportPanels: the page-setup sheet, the print panel and the font and colour panels of reports, replaceable so that
// tests and headless runs answer them without a dialog.
#pragma once

#include <QColor>
#include <QFont>
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

// The font or colour chosen, or nullopt when cancelled.
using FontPanel = std::function<std::optional<QFont>(const QFont &current, QWidget *window)>;
using ColourPanel = std::function<std::optional<QColor>(const QColor &current, QWidget *window)>;

// Empty functions put the platform's dialogs back.
void setPageSetup(PageSetup panel);
void setPrint(Print panel);
void setFontPanel(FontPanel panel);
void setColourPanel(ColourPanel panel);

std::optional<QPageLayout> runPageSetup(const QPageLayout &current, QWidget *window);
bool runPrint(QPrinter *printer, QWidget *window);
std::optional<QFont> runFont(const QFont &current, QWidget *window);
std::optional<QColor> runColour(const QColor &current, QWidget *window);
} // namespace LMReportPanels
