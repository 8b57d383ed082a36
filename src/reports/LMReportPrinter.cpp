// LMReportPrinter: the layout runs at a fixed 96 units per inch whatever the device, so lines break the same on
// screen, on a printer and in a PDF, and long reports stay inside the text layout's coordinate range.
#include "LMReportPrinter.h"

#include "LMReportPageLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr double layoutDpi = 96;

// The device the text is measured on: only its resolution matters.
QPaintDevice *layoutDevice()
{
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(layoutDpi / 0.0254);
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return &image;
}

void startPageAt(QTextCursor &cursor, const QVariant &pageFormat)
{
    QTextBlockFormat format =
        pageFormat.isValid() ? pageFormat.value<QTextFormat>().toBlockFormat() : cursor.blockFormat();
    format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    cursor.setBlockFormat(format);
}
} // namespace

namespace LMReportPrinter {

void breakPagesAtFormFeeds(QTextDocument &document)
{
    const QString raw = document.toRawText();
    QList<int> feeds;
    for (int i = 0; i < raw.size(); ++i)
        if (raw.at(i) == QChar(12))
            feeds << i;
    if (feeds.isEmpty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    // From the end, so earlier positions stay valid.
    for (auto it = feeds.crbegin(); it != feeds.crend(); ++it) {
        cursor.setPosition(*it + 1);
        const QVariant pageFormat = cursor.charFormat().property(LMReportPrinter::pageBlockFormatProperty);
        cursor.setPosition(*it, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (cursor.atBlockStart()) {
            if (cursor.block() != document.begin())
                startPageAt(cursor, pageFormat);
        } else if (cursor.atBlockEnd() && cursor.block().next().isValid()) {
            cursor.movePosition(QTextCursor::NextBlock);
            startPageAt(cursor, pageFormat);
        } else {
            cursor.insertBlock();
            startPageAt(cursor, pageFormat);
        }
    }
    cursor.endEditBlock();
}

int printDocument(QTextDocument &document, const QPageLayout &layout, QPagedPaintDevice &device)
{
    const QPageLayout paper(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    device.setPageLayout(paper);
    document.documentLayout()->setPaintDevice(layoutDevice());
    const double scale = layoutDpi / 72.0;
    LMReportPageLayout(layout).applyTo(document, scale);
    const int pages = LMReportPageLayout::pageCount(document);
    const QSizeF page = document.pageSize();

    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const double deviceScale = device.logicalDpiY() / layoutDpi;
    painter.scale(deviceScale, deviceScale);
    QAbstractTextDocumentLayout::PaintContext context;
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage())
            break;
        painter.save();
        const QRectF clip(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -clip.top());
        painter.setClipRect(clip);
        context.clip = clip;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

bool writePdf(QTextDocument &document, const QPageLayout &layout, QIODevice &out, const QString &title)
{
    QPdfWriter writer(&out);
    writer.setCreator(QStringLiteral("Orvix"));
    if (!title.isEmpty())
        writer.setTitle(title);
    return printDocument(document, layout, writer) > 0;
}

} // namespace LMReportPrinter
