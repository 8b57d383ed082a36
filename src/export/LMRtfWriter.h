// LMRtfWriter: writes a rich-text document as RTF 1.x with the page size and margins of a page layout: fonts,
// sizes, bold, italic, underline, strike-out, colours, paragraph alignment and indents, page breaks and tables.
#pragma once

#include <QByteArray>
#include <QPageLayout>

class QTextDocument;

namespace LMRtfWriter {
// The whole file; characters outside ASCII are written as \uN escapes, so the output is plain 7-bit text.
QByteArray write(const QTextDocument &document, const QPageLayout &layout);
} // namespace LMRtfWriter
