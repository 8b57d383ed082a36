// LMExportController: the export sheet's state (Table/Report mode, source, format, options) and the atomic write.
#pragma once

#include "Alert.h"
#include "ItemKind.h"
#include "LMExportFormats.h"
#include "Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class MyDocument;
class QIODevice;
class QWidget;

class LMExportController {
public:
    // A row of LMExportFormats: extension, title and writer.
    using Format = LMExportFormat;
    // Produces a report document ("doc", "rtf", "txt", "odt", "html" or "pdf"); nullopt when it cannot be produced.
    using ReportExporter = std::function<std::optional<QByteArray>(MyDocument *document, const QString &report,
                                                                   const QString &extension, const Value &options)>;

    // The sheet on `parent`; `source` preselects a table (or, in "Report" mode, a report). Returns true when
    // a file was written. The entry point of the File menu's "Export…".
    static bool runSheet(MyDocument *document, QWidget *parent, const QString &source = QString(),
                         const QString &mode = ItemKinds::type(ItemKind::Table));
    // Replaces the writer of report formats (LMReportImporterExporter); an empty one puts that writer back.
    static void setReportExporter(ReportExporter exporter);

    explicit LMExportController(MyDocument *document);

    MyDocument *document() const { return m_document; }

    static const QStringList &modes(); // "Table", "Report"
    static const QList<Format> &formatsForMode(const QString &mode);
    QString mode() const { return m_mode; }
    // Switches the mode; the format goes back to the first and the source to the first of that mode.
    void setMode(const QString &mode);
    QList<Format> formats() const { return formatsForMode(m_mode); }
    int formatIndex() const { return m_format; }
    void setFormatIndex(int index);
    // Selects the format of a file extension ("csv", "tsv", "sql", "html"...); false when the mode has none.
    bool selectFormatForExtension(const QString &extension);
    QString selectedFieleExtension() const;

    // The source pop-up: the document's tables, or its reports.
    QStringList sources() const;
    QString source() const { return m_source; }
    bool setSource(const QString &name);

    // "OX_SQL_Target", "OX_HTML_Doctype", "OX_HTML_AddStylesheet", "OX_HTML_FormatData"; for delimited text
    // "OX_CSV_Header" (a first line of field names) and "OX_CSV_FormatData" (values as shown), both on.
    Value options() const { return m_options; }
    void setOption(const QString &key, const Value &value) { m_options.set(key, value); }
    static Value defaultOptions();
    static const QStringList &sqlTargets();

    // The save panel's suggested name: the source with the format's extension.
    QString suggestedFileName() const;
    // Writes the chosen format of the source to `out` as it is produced; false with `error` set when the
    // source cannot be read or produces no data.
    bool writeData(QIODevice &out, QString *error = nullptr) const;
    // miniSavePanelDidEnd: writes the file atomically (an old file stays whole when anything fails). Null on
    // success, else the alert to show; no data means no file.
    std::optional<Alert> writeToPath(const QString &path) const;

private:
    MyDocument *m_document = nullptr;
    QString m_mode = ItemKinds::type(ItemKind::Table);
    int m_format = 0;
    QString m_source;
    Value m_options;
};
