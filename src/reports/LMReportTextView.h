// LMReportTextView: the paged text view of reports: one shared rich text laid out into pages of the printable
// size, stacked with gaps on a dark background, each page white with a shadow.
#pragma once

#include "LMReportPageLayout.h"

#include <QTextEdit>

class QPagedPaintDevice;
class QTextDocument;

class LMReportTextView : public QTextEdit {
    Q_OBJECT
public:
    explicit LMReportTextView(QWidget *parent = nullptr);

    // The text store; the view does not own it (set one owned by the caller, or keep the view's own).
    void setTextStorage(QTextDocument *text);
    QTextDocument *textStorage() const { return document(); }

    // The page setup; re-paginates.
    void setPrintInfo(const QPageLayout &layout);
    QPageLayout printInfo() const { return m_pages.pageLayout(); }
    const LMReportPageLayout &pages() const { return m_pages; }

    int numberOfPages() const;
    // Page n (1-based) in view coordinates of the document, before scrolling.
    QRectF rectForPage(int page) const;
    // The range 1 to numberOfPages().
    QPair<int, int> knowsPageRange() const { return {1, numberOfPages()}; }
    static constexpr double pageSeparatorHeight() { return LMReportPageLayout::pageSeparatorHeight; }
    // Where page n's text starts (its top-left text corner) in document coordinates.
    QPointF textOriginOfPage(int page) const;
    // Device units per point on screen.
    double scale() const { return m_scale; }

    void setEditable(bool editable) { setReadOnly(!editable); }
    bool isEditable() const { return !isReadOnly(); }
    // Lays the text out again into pages of the current setup.
    void relayoutPages();
    // Prints a copy of the whole text with the page setup onto `device`; answers the pages printed.
    int superPrint(QPagedPaintDevice &device) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateViewportMargins();

    LMReportPageLayout m_pages;
    double m_scale = 1;
};
