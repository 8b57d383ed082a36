// LMImportController: the rules of the import sheet, kept apart from its widgets so they run headless too.
#include "LMImportController.h"
#include "DesignVocabulary.h"

#include "LMTSVImporterExporter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "SchemaNameRules.h"
#include "Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcImportSheet, "orvix.import.sheet", QtWarningMsg)

namespace {
const QString kEnabled = QStringLiteral("Enabled");

Alert fileAlert(const QString &informative)
{
    return LMCSVImporterExporter::importFailure(informative);
}
} // namespace

LMImportController::LMImportController(MyDocument *document) : m_document(document) {}

OXDatabase *LMImportController::database() const
{
    return m_document ? m_document->database() : nullptr;
}

const QStringList &LMImportController::columnTypes()
{
    static const QStringList types = {Datatypes::name(Datatype::Text), Datatypes::name(Datatype::Number),
                                      Datatypes::name(Datatype::Date), Datatypes::name(Datatype::YesNo),
                                      Datatypes::name(Datatype::FilePath)};
    return types;
}

int LMImportController::typeToNumber(const QString &type)
{
    return std::max(0, int(columnTypes().indexOf(type)));
}

QString LMImportController::numberToType(int number)
{
    return number >= 0 && number < columnTypes().size() ? columnTypes().at(number) : columnTypes().first();
}

bool LMImportController::stringIsOK(const QString &text, const QStringList &values)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9 _-]+$"));
    if (text.isEmpty() || values.contains(text, Qt::CaseInsensitive))
        return false;
    return pattern.match(text).hasMatch();
}

QStringList LMImportController::documentTableNames() const
{
    QStringList names;
    if (!m_document)
        return names;
    const Value tables = m_document->tables();
    for (int i = 0; i < tables.size(); ++i)
        names << tables.at(i).value(DesignKey::Name).toString();
    // Tables that exist in the database without a design (the internal ones) are taken too.
    if (OXDatabase *db = database())
        names << db->allTables();
    return names;
}

bool LMImportController::tableNameAcceptable(const QString &name) const
{
    // The table rules of the design editor as well, so a name taken here is never refused by the import.
    return stringIsOK(name, documentTableNames()) &&
           !SchemaNameRules::checkTableName(name, m_document ? m_document->tables() : Value::array());
}

QString LMImportController::proposedTableName(const QString &baseName) const
{
    if (tableNameAcceptable(baseName))
        return baseName;
    for (int d = 1; d < 1000000; ++d) {
        const QString name = QStringLiteral("untitled %1").arg(d);
        if (tableNameAcceptable(name))
            return name;
    }
    return QString();
}

std::optional<Alert> LMImportController::setFile(const QString &path)
{
    m_path = path;
    m_extension = QFileInfo(path).suffix().toLower();
    m_columnTableEnabled = false;
    m_firstRecord.clear();
    m_names.clear();
    m_types.clear();
    m_enabled.clear();
    if (m_extension == QLatin1String("csv"))
        m_separator = QStringLiteral(",");
    else if (m_extension == QLatin1String("tsv"))
        m_separator = QStringLiteral("\t");
    else
        return fileAlert(QStringLiteral("Only comma-separated (.csv) and tab-separated (.tsv) files can be imported."));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileAlert(
            QStringLiteral("\"%1\" could not be read: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    std::optional<Alert> problem;
    const std::optional<QStringList> first = LMCSVImporterExporter::firstRecord(file, m_separator, &problem);
    if (!first)
        return problem;
    qCDebug(lcImportSheet) << "arr =" << *first;
    m_firstRecord = *first;

    m_firstRecordHoldsNames = false;
    for (int i = 0; i < m_firstRecord.size(); ++i) {
        const QString &field = m_firstRecord[i];
        // Names are compared ignoring case here because SQLite does: "ID" would clash with the key column,
        // and "Untitled2" with a generated untitled2.
        const bool reserved = field.startsWith(QLatin1String("untitled"), Qt::CaseInsensitive) ||
                              field.compare(DesignKey::IdFieldName, Qt::CaseInsensitive) == 0;
        const bool usable = !reserved && stringIsOK(field, m_names);
        m_firstRecordHoldsNames = m_firstRecordHoldsNames || usable;
        m_names << (usable ? field : QStringLiteral("untitled%1").arg(i));
        m_types << Datatypes::name(Datatype::Text);
        m_enabled << true;
    }
    m_proposedNames = m_names;
    if (!m_firstRecordHoldsNames)
        setFirstRecordHoldsNames(false);
    m_columnTableEnabled = true;
    controlTextDidChange(proposedTableName(QFileInfo(path).completeBaseName()));
    return std::nullopt;
}

void LMImportController::controlTextDidChange(const QString &tableName)
{
    m_tableName = tableName;
    m_tableNameOK = tableNameAcceptable(tableName);
}

QString LMImportController::objectValue(const QString &tableColumn, int row) const
{
    if (row < 0 || row >= numberOfRows())
        return QString();
    if (tableColumn == kEnabled)
        return m_enabled[row] ? QStringLiteral("1") : QStringLiteral("0");
    if (tableColumn == DesignKey::Name)
        return m_names[row];
    if (tableColumn == DesignKey::Type)
        return m_types[row];
    return QString();
}

bool LMImportController::setObjectValue(const QString &value, const QString &tableColumn, int row)
{
    if (row < 0 || row >= numberOfRows())
        return false;
    if (tableColumn == kEnabled) {
        m_enabled[row] = value == QLatin1String("1");
        return true;
    }
    if (tableColumn == DesignKey::Type) {
        if (!columnTypes().contains(value)) {
            Ui::instance().beep();
            return false;
        }
        m_types[row] = value;
        return true;
    }
    if (tableColumn != DesignKey::Name)
        return false;
    if (value.compare(DesignKey::IdFieldName, Qt::CaseInsensitive) == 0) {
        Ui::instance().beep();
        return false;
    }
    if (value == m_names[row] || stringIsOK(value, m_names)) {
        m_names[row] = value;
        return true;
    }
    Ui::instance().beep();
    return false;
}

void LMImportController::setFirstRecordHoldsNames(bool on)
{
    m_firstRecordHoldsNames = on;
    for (int i = 0; i < m_names.size(); ++i) {
        const QString untitled = QStringLiteral("untitled%1").arg(i);
        const QString &proposed = m_proposedNames.value(i, untitled);
        if (m_names[i] == (on ? untitled : proposed))
            m_names[i] = on ? proposed : untitled;
    }
}

std::optional<LMImportCheck> LMImportController::checkFile(std::optional<Alert> *problem) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = fileAlert(
            QStringLiteral("\"%1\" could not be read: %2").arg(QFileInfo(m_path).fileName(), file.errorString()));
        return std::nullopt;
    }
    const QString previous = LMCSVImporterExporter::sepValsSeparator();
    LMCSVImporterExporter::setSepValsSeparator(m_separator);
    const std::optional<LMImportCheck> check =
        LMCSVImporterExporter::checkData(file, m_names, m_types, m_enabled, importOptions(), problem);
    LMCSVImporterExporter::setSepValsSeparator(previous);
    return check;
}

Alert LMImportController::tableNameExistsAlert()
{
    return Alert::make(QStringLiteral("Table name already exists"),
                       QStringLiteral("The table name you chose already exists. Please choose another one."));
}

std::optional<Alert> LMImportController::import(LMImportProgress *progress, LMImportSummary *summary, QWidget *window)
{
    m_cancelled = false;
    if (!m_tableNameOK)
        return tableNameExistsAlert();
    if (!m_columnTableEnabled)
        return fileAlert(QStringLiteral("Choose a comma-separated (.csv) or tab-separated (.tsv) file first."));
    std::optional<Alert> problem;
    const std::optional<LMImportCheck> check = checkFile(&problem);
    if (!check)
        return problem;
    if (!check->isClean() && Ui::instance().runAlert(check->alert(), window) != 0) {
        m_cancelled = true;
        return std::nullopt;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fileAlert(
            QStringLiteral("\"%1\" could not be read: %2").arg(QFileInfo(m_path).fileName(), file.errorString()));
    const std::optional<Alert> failure =
        m_extension == QLatin1String("tsv")
            ? LMTSVImporterExporter::importData(file, m_tableName, m_names, m_types, m_enabled, database(), progress,
                                                summary, importOptions())
            : LMCSVImporterExporter::importData(file, m_tableName, m_names, m_types, m_enabled, database(), progress,
                                                summary, importOptions());
    if (failure)
        return failure;
    m_document->setChanged(true);
    // The name is taken now; a second import from the same sheet needs another.
    m_tableNameOK = false;
    return std::nullopt;
}
