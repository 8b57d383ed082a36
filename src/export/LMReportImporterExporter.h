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
// The types, as file extensions, in the export sheet's order: "doc", "rtf", "txt", "odt", "html", "pdf" (the
// report rows of LMExportFormats).
QStringList types();
// The whole file, or nullopt when the report does not exist, has no template, the type is unknown or the
// writer failed.
std::optional<QByteArray> exportReport(const QString &report, MyDocument &document, const QString &type,
                                       const Value &options = Value());
// The same written to `out` as it is produced (a long PDF never sits whole in memory); false with `error` set
// when nothing usable was written.
bool writeReport(QIODevice &out, const QString &report, MyDocument &document, const QString &type,
                 QString *error = nullptr);

// An evaluated text in one type with a page layout (the form feeds of plain text stay; the others start a page
// there); nullopt when the writer failed.
using Encoder = std::optional<QByteArray> (*)(QTextDocument &evaluated, const QPageLayout &layout);
// Plain text: UTF-16 in the machine's order, with the byte-order mark that says which.
std::optional<QByteArray> plainText(QTextDocument &evaluated, const QPageLayout &layout);
std::optional<QByteArray> rtf(QTextDocument &evaluated, const QPageLayout &layout);
std::optional<QByteArray> odt(QTextDocument &evaluated, const QPageLayout &layout);
std::optional<QByteArray> htmlDocument(QTextDocument &evaluated, const QPageLayout &layout);
// The HTML with the page size and margins as an @page rule in its style sheet.
QByteArray html(const QTextDocument &evaluated, const QPageLayout &layout);

// The report evaluated and encoded as `type` by `encoder`, written to `out`; false with `error` set.
bool writeEncoded(QIODevice &out, const QString &report, MyDocument &document, const QString &type, Encoder encoder,
                  QString *error);
// The report evaluated and laid out as PDF pages straight into `out`.
bool writePdf(QIODevice &out, const QString &report, MyDocument &document, QString *error);
} // namespace LMReportImporterExporter
