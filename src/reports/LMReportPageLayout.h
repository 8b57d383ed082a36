// LMReportPageLayout: the page geometry of a report: paper, margins, the printable size and where each page sits
// when pages are stacked with a gap, and how a text document is laid out into those pages.
#pragma once

#include "Value.h"

#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

class QTextDocument;

class LMReportPageLayout {
public:
    // The gap between stacked pages on screen, in points.
    static constexpr double pageSeparatorHeight = 8;

    LMReportPageLayout() : LMReportPageLayout(defaultLayout()) {}
    explicit LMReportPageLayout(const QPageLayout &layout) : m_layout(layout) {}

    // A4 with 72-point margins: the page setup of a report that has none and of a document without a printer.
    static QPageLayout defaultLayout();
    // The report's "Print Info", or `fallback` when it has none or it cannot be read.
    static QPageLayout fromPrintInfo(const Value &printInfo, const QPageLayout &fallback = defaultLayout());

    const QPageLayout &pageLayout() const { return m_layout; }
    // Paper and margins in points, of the page as oriented.
    QSizeF paperSize() const;
    QMarginsF margins() const;
    // Paper width minus the side margins by paper height minus the top and bottom margins.
    QSizeF printableSize() const;
    // Page n (1-based) in a stack with `gap` points between pages: its paper rectangle.
    QRectF rectForPage(int page, double gap = pageSeparatorHeight) const;
    // The height of a stack of `pages` pages: the bottom of the last page.
    double stackHeight(int pages, double gap = pageSeparatorHeight) const;

    // Lays `document` out into pages of this layout at `scale` device units per point, each page followed by a
    // gap of `gap` points: page n's text starts at n × (paper height + gap) plus the top margin; `sidePadding`
    // points on either side of the paper widen the pages without changing the text width. Only the root
    // frame's margins and the page size change; the text and its formats stay as they are.
    void applyTo(QTextDocument &document, double scale, double gap = 0, double sidePadding = 0) const;
    // The pages the laid-out document fills (at least 1).
    static int pageCount(const QTextDocument &document);

private:
    QPageLayout m_layout;
};
