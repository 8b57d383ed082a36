// LMReportImporterExporter: a stored report evaluated and written as a document: plain text (UTF-16 with a
// byte-order mark), RTF, "Word" (RTF in a .doc file), OpenDocument text, HTML or PDF, each carrying the paper
// size and margins of the report's "Print Info".
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <optional>

class MyDocument;
class QIODevice;
class QTextDocument;

namespace LMReportImporterExporter {
// The types, as file extensions: "txt", "rtf", "doc", "odt", "html", "pdf".
const QStringList &types();
// The whole file, or nullopt when the report does not exist, has no template, the type is unknown or the
// writer failed.
std::optional<QByteArray> exportReport(const QString &report, MyDocument &document, const QString &type,
                                       const Value &options = Value());
// The same written to `out` as it is produced (a long PDF never sits whole in memory); false with `error` set
// when nothing usable was written.
bool writeReport(QIODevice &out, const QString &report, MyDocument &document, const QString &type,
                 QString *error = nullptr);
// An evaluated text in one type with a page layout (the form feeds of plain text stay; the others start a page
// there). Nullopt for an unknown type or a failed writer; PDF goes through writeReport.
std::optional<QByteArray> encode(QTextDocument &evaluated, const QPageLayout &layout, const QString &type);
// The HTML with the page size and margins as an @page rule in its style sheet.
QByteArray html(const QTextDocument &evaluated, const QPageLayout &layout);
} // namespace LMReportImporterExporter
