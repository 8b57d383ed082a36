// LMHTMLImporterExporter: a table as an HTML page (or just its table element) in one of six doctypes.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>

class OXDatabase;
class QIODevice;

class LMHTMLImporterExporter {
public:
    // Options: "OX_HTML_Doctype" ["XHTML 1.0 Strict"], "OX_HTML_AddStylesheet" [NO], "OX_HTML_FormatData" [YES].
    static QByteArray exportTable(const QString &table, OXDatabase *db, const Value &options);
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db, const Value &options,
                            QString *error = nullptr);
    // Ampersand first, so the entities put in are not encoded again; blanks before tabs.
    static QString htmlEntities(const QString &text);
    static const QStringList &doctypes();
    // The doctype of a page whose options name none (or an unknown one): "XHTML 1.0 Strict".
    static QString defaultDoctype();
};
