// LMReportPageLayout: Qt's paged text layout does the breaking; pages with gaps are pages whose bottom margin
// includes the gap, so line breaking never differs between the screen and paper.
#include "LMReportPageLayout.h"

#include "PrintInfoCodec.h"

#include <QAbstractTextDocumentLayout>
#include <QLoggingCategory>
#include <QTextDocument>
#include <QTextFrame>
#include <cmath>

Q_LOGGING_CATEGORY(lcReportPages, "orvix.reports.pages")

QPageLayout LMReportPageLayout::defaultLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(72, 72, 72, 72), QPageLayout::Point);
}

QPageLayout LMReportPageLayout::fromPrintInfo(const Value &printInfo, const QPageLayout &fallback)
{
    if (printInfo.isNull())
        return fallback;
    QString error;
    if (const std::optional<QPageLayout> layout = PrintInfoCodec::decode(printInfo, &error))
        return *layout;
    qCWarning(lcReportPages).noquote() << "Unreadable page setup, using the default:" << error;
    return fallback;
}

QSizeF LMReportPageLayout::paperSize() const
{
    // The paper's own size: Qt rounds sizes in points to whole points, so papers defined in millimetres or
    // inches are converted here.
    const QPageSize page = m_layout.pageSize();
    const QSizeF portrait = page.definitionUnits() == QPageSize::Point
                                ? page.definitionSize()
                                : page.size(QPageSize::Millimeter) * (72.0 / 25.4);
    return m_layout.orientation() == QPageLayout::Landscape ? portrait.transposed() : portrait;
}

QMarginsF LMReportPageLayout::margins() const
{
    return m_layout.margins(QPageLayout::Point);
}

QSizeF LMReportPageLayout::printableSize() const
{
    const QSizeF paper = paperSize();
    const QMarginsF m = margins();
    return QSizeF(paper.width() - m.left() - m.right(), paper.height() - m.top() - m.bottom());
}

QRectF LMReportPageLayout::rectForPage(int page, double gap) const
{
    const QSizeF paper = paperSize();
    return QRectF(QPointF(0, (page - 1) * (paper.height() + gap)), paper);
}

double LMReportPageLayout::stackHeight(int pages, double gap) const
{
    return pages * paperSize().height() + std::max(0, pages - 1) * gap;
}

void LMReportPageLayout::applyTo(QTextDocument &document, double scale, double gap, double sidePadding) const
{
    const QSizeF paper = paperSize();
    const QMarginsF m = margins();
    QTextFrame *root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    const QTextFrameFormat old = format;
    format.setLeftMargin((m.left() + sidePadding) * scale);
    format.setRightMargin((m.right() + sidePadding) * scale);
    format.setTopMargin(m.top() * scale);
    format.setBottomMargin((m.bottom() + gap) * scale);
    // A frame format change is an undo step; setting an equal one again would add steps the user never made.
    if (format != old)
        root->setFrameFormat(format);
    document.setPageSize(QSizeF((paper.width() + 2 * sidePadding) * scale, (paper.height() + gap) * scale));
}

int LMReportPageLayout::pageCount(const QTextDocument &document)
{
    return std::max(1, document.pageCount());
}
