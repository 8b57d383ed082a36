// LMExportFormats: every export format, of tables and of reports, as one row of one table: the kind of source it
// exports, its file extension, its label and its writer. A new format is a new row.
#pragma once

#include "Value.h"

#include <QList>
#include <QString>
#include <functional>

class MyDocument;
class QIODevice;

enum class LMExportSource { Table, Report };

struct LMExportFormat {
    // Writes the source named `name` of `document` to `out` as it is produced; false with `error` set when the
    // source cannot be read or produces nothing usable.
    using Writer = std::function<bool(QIODevice &out, MyDocument &document, const QString &name, const Value &options,
                                      QString *error)>;

    LMExportSource source;
    QString extension; // "csv", …, "pdf"
    QString title;     // the export sheet's label: "Comma Separated", …, "PDF"
    Writer write;
};

namespace LMExportFormats {
// The option keys the writers read. Delimited text: a first line of field names, values as the fields show
// them. SQL: the target. HTML: the doctype, an embedded style sheet, values as the fields show them.
inline const QString kCsvHeader = QStringLiteral("OX_CSV_Header");
inline const QString kCsvFormatData = QStringLiteral("OX_CSV_FormatData");
inline const QString kSqlTarget = QStringLiteral("OX_SQL_Target");
inline const QString kHtmlDoctype = QStringLiteral("OX_HTML_Doctype");
inline const QString kHtmlAddStylesheet = QStringLiteral("OX_HTML_AddStylesheet");
inline const QString kHtmlFormatData = QStringLiteral("OX_HTML_FormatData");

// The formats of one kind of source, in the order the export sheet lists them.
const QList<LMExportFormat> &of(LMExportSource source);
// The format of `source` whose extension is `extension` (any case); null when there is none.
const LMExportFormat *find(LMExportSource source, const QString &extension);
// The extensions of one kind of source, in the table's order.
QStringList extensions(LMExportSource source);
} // namespace LMExportFormats
