// LMExportController: produces the chosen format straight into a save file, so nothing is held whole in memory
// and an interrupted export never leaves a half-written file under the chosen name.
#include "LMExportController.h"
#include "DesignVocabulary.h"
#include "LMExportFormats.h"

#include "LMHTMLImporterExporter.h"
#include "LMReportImporterExporter.h"
#include "LMSQLImporterExporter.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
std::optional<QByteArray> exportThroughReports(MyDocument *document, const QString &report, const QString &extension,
                                               const Value &options)
{
    return document ? LMReportImporterExporter::exportReport(report, *document, extension, options) : std::nullopt;
}

LMExportController::ReportExporter &reportExporter()
{
    static LMExportController::ReportExporter exporter = exportThroughReports;
    return exporter;
}

// The sheet's modes are the item kinds it exports: "Table" and "Report".
ItemKind kindOfMode(const QString &mode)
{
    return mode == ItemKinds::type(ItemKind::Report) ? ItemKind::Report : ItemKind::Table;
}

LMExportSource sourceOfMode(const QString &mode)
{
    return kindOfMode(mode) == ItemKind::Report ? LMExportSource::Report : LMExportSource::Table;
}

Alert exportFailure(const QString &informative)
{
    return Alert::make(QStringLiteral("The file could not be exported"), informative);
}
} // namespace

void LMExportController::setReportExporter(ReportExporter exporter)
{
    reportExporter() = exporter ? std::move(exporter) : LMExportController::ReportExporter(exportThroughReports);
}

LMExportController::LMExportController(MyDocument *document) : m_document(document), m_options(defaultOptions())
{
    setMode(ItemKinds::type(ItemKind::Table));
}

const QStringList &LMExportController::modes()
{
    static const QStringList names = {ItemKinds::type(ItemKind::Table), ItemKinds::type(ItemKind::Report)};
    return names;
}

const QList<LMExportController::Format> &LMExportController::formatsForMode(const QString &mode)
{
    return LMExportFormats::of(sourceOfMode(mode));
}

Value LMExportController::defaultOptions()
{
    return Value::dict({{LMExportFormats::kSqlTarget, LMSQLImporterExporter::defaultTarget()},
                        {LMExportFormats::kHtmlDoctype, LMHTMLImporterExporter::defaultDoctype()},
                        {LMExportFormats::kHtmlAddStylesheet, false},
                        {LMExportFormats::kHtmlFormatData, true},
                        {LMExportFormats::kCsvHeader, true},
                        {LMExportFormats::kCsvFormatData, true}});
}

const QStringList &LMExportController::sqlTargets()
{
    static const QStringList names = LMSQLImporterExporter::targetNames();
    return names;
}

void LMExportController::setMode(const QString &mode)
{
    m_mode = ItemKinds::type(kindOfMode(mode));
    m_format = 0;
    const QStringList names = sources();
    m_source = names.isEmpty() ? QString() : names.first();
}

void LMExportController::setFormatIndex(int index)
{
    if (index >= 0 && index < formats().size())
        m_format = index;
}

bool LMExportController::selectFormatForExtension(const QString &extension)
{
    const QList<Format> list = formats();
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].extension.compare(extension, Qt::CaseInsensitive) == 0) {
            m_format = i;
            return true;
        }
    }
    return false;
}

QString LMExportController::selectedFieleExtension() const
{
    return formats().value(m_format).extension;
}

QStringList LMExportController::sources() const
{
    QStringList names;
    if (!m_document)
        return names;
    const Value items = m_document->collection(kindOfMode(m_mode));
    for (int i = 0; i < items.size(); ++i)
        names << items.at(i).value(DesignKey::Name).toString();
    return names;
}

bool LMExportController::setSource(const QString &name)
{
    if (!sources().contains(name))
        return false;
    m_source = name;
    return true;
}

QString LMExportController::suggestedFileName() const
{
    return (m_source.isEmpty() ? QStringLiteral("Untitled") : m_source) + QLatin1Char('.') + selectedFieleExtension();
}

bool LMExportController::writeData(QIODevice &out, QString *error) const
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    OXDatabase *db = m_document ? m_document->database() : nullptr;
    if (!db)
        return failed(QStringLiteral("The document is not open."));
    if (m_source.isEmpty())
        return failed(QStringLiteral("Choose a %1 to export.").arg(ItemKinds::info(kindOfMode(m_mode)).noun));
    const QString extension = selectedFieleExtension();
    if (kindOfMode(m_mode) == ItemKind::Report) {
        const std::optional<QByteArray> data =
            reportExporter() ? reportExporter()(m_document, m_source, extension, m_options) : std::nullopt;
        if (!data)
            return failed(QStringLiteral("The report \"%1\" could not be produced.").arg(m_source));
        if (out.write(*data) != data->size())
            return failed(out.errorString());
        return true;
    }
    const Format &format = formatsForMode(m_mode).at(m_format);
    return format.write(out, *m_document, m_source, m_options, error);
}

std::optional<Alert> LMExportController::writeToPath(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return exportFailure(QStringLiteral("\"%1\" could not be written: %2").arg(path, file.errorString()));
    QString error;
    if (!writeData(file, &error)) {
        file.cancelWriting();
        return exportFailure(error);
    }
    // No data means no file (a table without records and without a header line).
    if (file.size() == 0) {
        file.cancelWriting();
        return exportFailure(QStringLiteral("\"%1\" has no records to export.").arg(m_source));
    }
    if (!file.commit())
        return exportFailure(QStringLiteral("\"%1\" could not be written: %2").arg(path, file.errorString()));
    return std::nullopt;
}
