// LMHTMLImporterExporter: the W3C declarations of each doctype, a styled table and cell texts made safe for HTML.
#include "LMHTMLImporterExporter.h"
#include "DesignVocabulary.h"
#include "LMExportFormats.h"

#include "LMTableRowReader.h"
#include "OXDatabase.h"
#include "Resources.h"

#include <QBuffer>
#include <QIODevice>

#include <cmath>

namespace {
constexpr qsizetype kChunk = 1 << 20;
constexpr double kSecondsFrom1970 = 978307200.0;
const QString kXhtmlNamespace = QStringLiteral("http://www.w3.org/1999/xhtml");

struct Doctype {
    QString name;
    bool xml = false;
    bool meta = false;
    QString declaration;
    QString html;
    bool tableOnly = false; // the table alone, without a page around it
};

// Every doctype a row, in the export sheet's order; a new one is a new row. XHTML 1.0 Strict is the default.
constexpr int kDefaultDoctype = 3;
const QList<Doctype> &doctypeTable()
{
    static const QList<Doctype> rows{
        {QStringLiteral("HTML 4 Transitional"), false, true,
         QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\n\t"
                        "\"http://www.w3.org/TR/html4/loose.dtd\">"),
         QStringLiteral("<html lang=\"en\">")},
        {QStringLiteral("HTML 4 Strict"), false, true,
         QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"\n\t"
                        "\"http://www.w3.org/TR/html4/strict.dtd\">"),
         QStringLiteral("<html lang=\"en\">")},
        {QStringLiteral("XHTML 1.0 Transitional"), true, false,
         QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"\n\t"
                        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">"),
         QStringLiteral("<html xmlns=\"%1\" xml:lang=\"en\" lang=\"en\">").arg(kXhtmlNamespace)},
        {QStringLiteral("XHTML 1.0 Strict"), true, false,
         QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\n\t"
                        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">"),
         QStringLiteral("<html xmlns=\"%1\" xml:lang=\"en\" lang=\"en\">").arg(kXhtmlNamespace)},
        {QStringLiteral("XHTML 1.1"), true, false,
         QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"\n\t"
                        "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">"),
         QStringLiteral("<html xmlns=\"%1\" xml:lang=\"en\">").arg(kXhtmlNamespace)},
        {QStringLiteral("Just <table>"), false, false, QString(), QString(), true},
    };
    return rows;
}

// The row named `name`; any other name gets XHTML 1.0 Strict.
const Doctype &doctypeFor(const QString &name)
{
    for (const Doctype &doctype : doctypeTable())
        if (doctype.name == name)
            return doctype;
    return doctypeTable().at(kDefaultDoctype);
}

QString pageHead(const QString &table, const QString &doctypeName, bool addStylesheet)
{
    const Doctype doctype = doctypeFor(doctypeName);
    QString head;
    if (doctype.xml)
        head += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n");
    head += doctype.declaration + QStringLiteral("\n\n") + doctype.html + QStringLiteral("\n");
    head += QStringLiteral("<head>\n");
    if (doctype.meta)
        head += QStringLiteral("\t<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" >\n");
    head += QStringLiteral("\t<title>") + LMHTMLImporterExporter::htmlEntities(table) + QStringLiteral("</title>\n");
    if (addStylesheet) {
        const std::optional<QByteArray> style = Resources::read(QStringLiteral("HTMLExportStyle.css"));
        if (style && !style->isEmpty())
            head += QStringLiteral("\n\t<style type=\"text/css\">\n") + QString::fromUtf8(*style) +
                    QStringLiteral("\n\t</style>\n");
    }
    head += QStringLiteral("</head>\n\n<!-- Valid (X)HTML -->\n\n<body>\n\t<h1 class=\"oxtitle\">") +
            LMHTMLImporterExporter::htmlEntities(table) + QStringLiteral("</h1>\n");
    return head;
}

QString cellText(const LMTableRowReader &reader, int index, const QString &table, const QString &field,
                 const QString &type, OXDatabase *db, bool formatData)
{
    if (Datatypes::isMedia(type))
        return QStringLiteral("&lt;%1&gt;").arg(type.toLower());
    const QString stored = reader.text(index);
    if (Datatypes::is(type, Datatype::Date)) {
        // An empty date has no moment (it would read as the reference date), and date text that is no
        // number was kept as typed by an import: both are written as they are stored.
        bool ok = false;
        const double seconds = stored.trimmed().toDouble(&ok);
        if (stored.isEmpty() || !ok || !std::isfinite(seconds))
            return LMHTMLImporterExporter::htmlEntities(stored);
        if (!formatData)
            return QString::number(static_cast<qint64>(std::llround(std::round(seconds) + kSecondsFrom1970)));
    }
    if (formatData) {
        const Value native = db->dbToNativeForTable(stored, table, field);
        return LMHTMLImporterExporter::htmlEntities(db->addFormattingToObject(native, table, field).text);
    }
    return LMHTMLImporterExporter::htmlEntities(stored);
}
} // namespace

const QStringList &LMHTMLImporterExporter::doctypes()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Doctype &doctype : doctypeTable())
            list << doctype.name;
        return list;
    }();
    return names;
}

QString LMHTMLImporterExporter::defaultDoctype()
{
    return doctypeTable().at(kDefaultDoctype).name;
}

QString LMHTMLImporterExporter::htmlEntities(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("");
    QString result = text;
    result.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    result.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    result.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    result.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    result.replace(QLatin1Char('\''), QLatin1String("&apos;"));
    result.replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
    result.replace(QLatin1Char('\t'), QLatin1String("&nbsp;&nbsp;&nbsp;&nbsp;"));
    result.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
    return result;
}

bool LMHTMLImporterExporter::exportTable(QIODevice &out, const QString &table, OXDatabase *db, const Value &options,
                                         QString *error)
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!db || !db->tablesList().contains(table))
        return failed(QStringLiteral("no table named \"%1\"").arg(table));
    const QString doctype = options.value(LMExportFormats::kHtmlDoctype, defaultDoctype()).toString();
    const bool tableOnly = doctypeFor(doctype).tableOnly;
    const bool addStylesheet = options.value(LMExportFormats::kHtmlAddStylesheet, false).toBool();
    const bool formatData = options.value(LMExportFormats::kHtmlFormatData, true).toBool();
    const QStringList fields = db->allNamesForTable(table);
    const QStringList types = db->allTypesForTable(table);
    LMTableRowReader reader(db, table, fields);
    if (!reader.isValid())
        return failed(reader.error());

    QString text = tableOnly ? QString() : pageHead(table, doctype, addStylesheet);
    text += QStringLiteral("\t<table class=\"oxtable\">\n\t\t<tr>\n");
    for (const QString &field : fields)
        text += QStringLiteral("\t\t\t<th>") + htmlEntities(field) + QStringLiteral("</th>\n");
    text += QStringLiteral("\t\t</tr>\n");
    QByteArray buffer;
    while (reader.next()) {
        text += QStringLiteral("\t\t<tr>\n");
        for (int i = 0; i < fields.size(); ++i)
            text += QStringLiteral("\t\t\t<td>") +
                    cellText(reader, i, table, fields[i], types.value(i), db, formatData) + QStringLiteral("</td>\n");
        text += QStringLiteral("\t\t</tr>\n");
        if (text.size() >= kChunk) {
            buffer = text.toUtf8();
            if (out.write(buffer) != buffer.size())
                return failed(out.errorString());
            text.clear();
        }
    }
    if (!reader.error().isEmpty())
        return failed(reader.error());
    text += QStringLiteral("\t</table>");
    if (!tableOnly)
        text += QStringLiteral("\n</body>\n</html>");
    buffer = text.toUtf8();
    if (out.write(buffer) != buffer.size())
        return failed(out.errorString());
    return true;
}

QByteArray LMHTMLImporterExporter::exportTable(const QString &table, OXDatabase *db, const Value &options)
{
    return exportToBytes([&](QIODevice &out) { return exportTable(out, table, db, options); });
}
