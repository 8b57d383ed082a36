// LMReportPrintableMailMerge: a private copy of the evaluated text, paginated like the report view's pages.
#include "LMReportPrintableMailMerge.h"
#include "DesignVocabulary.h"

#include "LMReportPageLayout.h"
#include "LMReportPanels.h"
#include "LMReportPrinter.h"

#include <QPrinter>
#include <QTextDocument>

LMReportPrintableMailMerge::LMReportPrintableMailMerge(const Value &report, const QTextDocument &evaluated)
    : m_text(evaluated.clone()), m_layout(LMReportPageLayout::fromPrintInfo(report.value(DesignKey::PrintInfo)))
{
    LMReportPrinter::breakPagesAtFormFeeds(*m_text);
}

LMReportPrintableMailMerge::~LMReportPrintableMailMerge() = default;

int LMReportPrintableMailMerge::numberOfPages() const
{
    std::unique_ptr<QTextDocument> copy(m_text->clone());
    LMReportPageLayout(m_layout).applyTo(*copy, 96.0 / 72.0);
    return LMReportPageLayout::pageCount(*copy);
}

bool LMReportPrintableMailMerge::printReport(QWidget *window)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_layout);
    if (!LMReportPanels::runPrint(&printer, window))
        return false;
    return printTo(printer) > 0;
}

int LMReportPrintableMailMerge::printTo(QPagedPaintDevice &device)
{
    std::unique_ptr<QTextDocument> copy(m_text->clone());
    return LMReportPrinter::printDocument(*copy, m_layout, device);
}
