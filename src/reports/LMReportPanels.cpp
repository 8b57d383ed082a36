// LMReportPanels: QPageSetupDialog, QPrintDialog, QFontDialog and QColorDialog, window-modal like every sheet, unless
// replaced.
#include "LMReportPanels.h"

#include <QColorDialog>
#include <QFontDialog>
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
LMReportPanels::FontPanel &fontPanel()
{
    static LMReportPanels::FontPanel panel;
    return panel;
}
LMReportPanels::ColourPanel &colourPanel()
{
    static LMReportPanels::ColourPanel panel;
    return panel;
}
} // namespace

namespace LMReportPanels {
void setFontPanel(FontPanel panel)
{
    fontPanel() = std::move(panel);
}

void setColourPanel(ColourPanel panel)
{
    colourPanel() = std::move(panel);
}

std::optional<QFont> runFont(const QFont &current, QWidget *window)
{
    if (fontPanel())
        return fontPanel()(current, window);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, window, QStringLiteral("Font"));
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> runColour(const QColor &current, QWidget *window)
{
    if (colourPanel())
        return colourPanel()(current, window);
    const QColor colour = QColorDialog::getColor(current, window, QStringLiteral("Text Colour"));
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

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
