// LMReportPrinter: a report's text on paper: form feeds become page breaks, pages are drawn one by one onto a
// printer or a PDF writer with the report's page setup.
#pragma once

#include <QPageLayout>
#include <QTextFormat>

class QIODevice;
class QPagedPaintDevice;
class QTextDocument;

namespace LMReportPrinter {
// A form feed's character property: the paragraph format of the page that starts after it, when the feed was
// put between pages of a mail merge.
constexpr int pageBlockFormatProperty = QTextFormat::UserProperty + 12;

// Ends a page at every form feed (code 12): the text after it starts at the top of the next page. The form
// feed characters are removed and the paragraphs after them start a page; nothing else changes.
void breakPagesAtFormFeeds(QTextDocument &document);
// Lays `document` out with `layout` (the caller's copy: its page size and root frame change) and draws every
// page onto `device`, whose page layout becomes the paper without margins. Answers the number of pages drawn.
int printDocument(QTextDocument &document, const QPageLayout &layout, QPagedPaintDevice &device);
// The same into a PDF written to `out`; false when nothing could be written.
bool writePdf(QTextDocument &document, const QPageLayout &layout, QIODevice &out, const QString &title = QString());
} // namespace LMReportPrinter
