// LMReportTextView: a text editor whose document is paginated: each page's bottom margin holds the gap to the
// next page, so page n's text begins at n × (paper height + gap) plus the top margin, as on paper.
#include "LMReportTextView.h"

#include "LMReportPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextFrame>

namespace {
const QColor background = QColor::fromRgbF(0.27f, 0.27f, 0.28f);
constexpr double shadowOffset = 3;
constexpr double shadowBlur = 6;
constexpr double shadowOpacity = 0.6;
// Room on the left and right of the pages for their shadows, in points.
constexpr double sidePadding = 12;
} // namespace

LMReportTextView::LMReportTextView(QWidget *parent) : QTextEdit(parent)
{
    m_scale = logicalDpiY() / 72.0;
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    QPalette p = palette();
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(true);
    setFrameShape(QFrame::NoFrame);
    relayoutPages();
}

void LMReportTextView::setTextStorage(QTextDocument *text)
{
    setDocument(text);
    relayoutPages();
    text->clearUndoRedoStacks();
}

void LMReportTextView::setPrintInfo(const QPageLayout &layout)
{
    m_pages = LMReportPageLayout(layout);
    relayoutPages();
}

int LMReportTextView::numberOfPages() const
{
    return LMReportPageLayout::pageCount(*document());
}

QRectF LMReportTextView::rectForPage(int page) const
{
    const QRectF points = m_pages.rectForPage(page);
    return QRectF(QPointF(sidePadding * m_scale, points.top() * m_scale), points.size() * m_scale);
}

QPointF LMReportTextView::textOriginOfPage(int page) const
{
    const QRectF rect = rectForPage(page);
    const QMarginsF m = m_pages.margins();
    return rect.topLeft() + QPointF(m.left() * m_scale, m.top() * m_scale);
}

void LMReportTextView::relayoutPages()
{
    const QSizeF paper = m_pages.paperSize();
    setLineWrapColumnOrWidth(qRound((paper.width() + 2 * sidePadding) * m_scale));
    m_pages.applyTo(*document(), m_scale, pageSeparatorHeight(), sidePadding);
    updateViewportMargins();
    viewport()->update();
}

int LMReportTextView::superPrint(QPagedPaintDevice &device) const
{
    std::unique_ptr<QTextDocument> copy(document()->clone());
    LMReportPrinter::breakPagesAtFormFeeds(*copy);
    return LMReportPrinter::printDocument(*copy, m_pages.pageLayout(), device);
}

void LMReportTextView::resizeEvent(QResizeEvent *event)
{
    // The editor lays its text out again at each resize with an unpaged size; the pages come back here.
    QTextEdit::resizeEvent(event);
    m_pages.applyTo(*document(), m_scale, pageSeparatorHeight(), sidePadding);
    updateViewportMargins();
}

void LMReportTextView::updateViewportMargins()
{
    const double stack = (m_pages.paperSize().width() + 2 * sidePadding) * m_scale;
    const int side = std::max(0, int((width() - stack) / 2));
    const int gap = qRound(pageSeparatorHeight() * m_scale);
    if (viewportMargins() != QMargins(side, gap, side, gap))
        setViewportMargins(side, gap, side, gap);
}

void LMReportTextView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
        const QRectF visible(horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(),
                             viewport()->height());
        const int pages = numberOfPages();
        for (int page = 1; page <= pages; ++page) {
            const QRectF paper = rectForPage(page);
            if (paper.bottom() + 2 * shadowBlur * m_scale < visible.top())
                continue;
            if (paper.top() > visible.bottom())
                break;
            // A soft shadow: rings of falling opacity around the offset page.
            const QRectF shadow = paper.translated(shadowOffset * m_scale, shadowOffset * m_scale);
            const int rings = int(shadowBlur);
            for (int r = rings; r >= 1; --r) {
                QColor c(0, 0, 0);
                c.setAlphaF(float(shadowOpacity / rings) * float(rings - r + 1) / 2.0f);
                painter.setPen(Qt::NoPen);
                painter.setBrush(c);
                const double grow = r * m_scale * 0.5;
                painter.drawRoundedRect(shadow.adjusted(-grow, -grow, grow, grow), grow, grow);
            }
            painter.fillRect(paper, Qt::white);
        }
    }
    QTextEdit::paintEvent(event);
}
