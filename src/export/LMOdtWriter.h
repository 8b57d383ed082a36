// LMOdtWriter: a rich-text document as an OpenDocument text package whose styles carry the paper size and
// margins (Qt's ODF writer leaves them out): its content, plus a page layout on the default master page.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QPair>
#include <optional>

class QTextDocument;

namespace LMOdtWriter {
// The package, or nullopt when the text could not be written.
std::optional<QByteArray> write(const QTextDocument &document, const QPageLayout &layout);

// The entries of a zip archive (stored or deflated), in order; nullopt for an archive it cannot read.
std::optional<QList<QPair<QString, QByteArray>>> readZip(const QByteArray &archive);
// A zip archive of the entries, stored without compression, in order.
QByteArray writeZip(const QList<QPair<QString, QByteArray>> &entries);
} // namespace LMOdtWriter
