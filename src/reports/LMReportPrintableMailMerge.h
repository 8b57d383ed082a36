// LMReportPrintableMailMerge: prints an evaluated report outside its tab (a script's print request) with the
// report's page setup, one page per record of a mail merge.
#pragma once

#include "Value.h"

#include <QPageLayout>
#include <memory>

class QPagedPaintDevice;
class QTextDocument;
class QWidget;

class LMReportPrintableMailMerge {
public:
    // `report` is the report record (its "Print Info" is used), `evaluated` the evaluator's output (copied).
    LMReportPrintableMailMerge(const Value &report, const QTextDocument &evaluated);
    ~LMReportPrintableMailMerge();

    QPageLayout printInfo() const { return m_layout; }
    // The pages the text fills with the page setup, form feeds ending pages.
    int numberOfPages() const;
    // The print panel, then the pages; true when printed.
    bool printReport(QWidget *window = nullptr);
    // Draws every page on white paper onto `device`; answers the pages drawn.
    int printTo(QPagedPaintDevice &device);

private:
    std::unique_ptr<QTextDocument> m_text;
    QPageLayout m_layout;
};
