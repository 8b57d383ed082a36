// LMExportSheet: thin widgets; the controller produces and writes the data, alerts go through Ui.
#include "LMExportSheet.h"
#include "LMExportFormats.h"

#include "LMHTMLImporterExporter.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

LMExportSheet::LMExportSheet(MyDocument *document, QWidget *parent) : QDialog(parent), m_controller(document)
{
    setWindowTitle(QStringLiteral("Export"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    auto *modes = new QHBoxLayout;
    auto *group = new QButtonGroup(this);
    m_tableMode = new QToolButton;
    m_tableMode->setText(ItemKinds::type(ItemKind::Table));
    m_reportMode = new QToolButton;
    m_reportMode->setText(ItemKinds::type(ItemKind::Report));
    for (QToolButton *b : {m_tableMode, m_reportMode}) {
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        group->addButton(b);
        modes->addWidget(b);
    }
    modes->addStretch();
    layout->addLayout(modes);
    connect(m_tableMode, &QToolButton::clicked, this, [this] { setMode(ItemKinds::type(ItemKind::Table)); });
    connect(m_reportMode, &QToolButton::clicked, this, [this] { setMode(ItemKinds::type(ItemKind::Report)); });

    auto *form = new QFormLayout;
    m_source = new QComboBox;
    m_source->setObjectName(QStringLiteral("ExportName"));
    m_format = new QComboBox;
    form->addRow(QStringLiteral("Export:"), m_source);
    form->addRow(QStringLiteral("Format:"), m_format);
    layout->addLayout(form);
    connect(m_source, &QComboBox::currentTextChanged, this,
            [this](const QString &name) { m_controller.setSource(name); });
    connect(m_format, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_controller.setFormatIndex(index);
        updateOptionsVisibility();
    });

    m_sqlOptions = new QWidget;
    auto *sqlForm = new QFormLayout(m_sqlOptions);
    sqlForm->setContentsMargins(0, 0, 0, 0);
    m_sqlTarget = new QComboBox;
    m_sqlTarget->addItems(LMExportController::sqlTargets());
    m_sqlTarget->setCurrentText(m_controller.options().value(LMExportFormats::kSqlTarget).toString());
    sqlForm->addRow(QStringLiteral("Database:"), m_sqlTarget);
    connect(m_sqlTarget, &QComboBox::currentTextChanged, this,
            [this](const QString &t) { m_controller.setOption(LMExportFormats::kSqlTarget, t); });
    layout->addWidget(m_sqlOptions);

    m_htmlOptions = new QWidget;
    auto *htmlForm = new QFormLayout(m_htmlOptions);
    htmlForm->setContentsMargins(0, 0, 0, 0);
    m_doctype = new QComboBox;
    m_doctype->addItems(LMHTMLImporterExporter::doctypes());
    m_doctype->setCurrentText(m_controller.options().value(LMExportFormats::kHtmlDoctype).toString());
    m_stylesheet = new QCheckBox(QStringLiteral("Add stylesheet"));
    m_stylesheet->setChecked(m_controller.options().value(LMExportFormats::kHtmlAddStylesheet).toBool());
    m_formatData = new QCheckBox(QStringLiteral("Format data"));
    m_formatData->setChecked(m_controller.options().value(LMExportFormats::kHtmlFormatData).toBool());
    htmlForm->addRow(QStringLiteral("Document type:"), m_doctype);
    htmlForm->addRow(QString(), m_stylesheet);
    htmlForm->addRow(QString(), m_formatData);
    connect(m_doctype, &QComboBox::currentTextChanged, this,
            [this](const QString &t) { m_controller.setOption(LMExportFormats::kHtmlDoctype, t); });
    connect(m_stylesheet, &QCheckBox::toggled, this,
            [this](bool on) { m_controller.setOption(LMExportFormats::kHtmlAddStylesheet, on); });
    connect(m_formatData, &QCheckBox::toggled, this,
            [this](bool on) { m_controller.setOption(LMExportFormats::kHtmlFormatData, on); });
    layout->addWidget(m_htmlOptions);

    m_delimitedOptions = new QWidget;
    auto *delimitedForm = new QVBoxLayout(m_delimitedOptions);
    delimitedForm->setContentsMargins(0, 0, 0, 0);
    m_header = new QCheckBox(QStringLiteral("First line holds the column names"));
    m_header->setChecked(m_controller.options().value(LMExportFormats::kCsvHeader).toBool());
    m_asShown = new QCheckBox(QStringLiteral("Values as shown (dates in ISO 8601)"));
    m_asShown->setToolTip(QStringLiteral("Off: the stored form of each value"));
    m_asShown->setChecked(m_controller.options().value(LMExportFormats::kCsvFormatData).toBool());
    delimitedForm->addWidget(m_header);
    delimitedForm->addWidget(m_asShown);
    connect(m_header, &QCheckBox::toggled, this,
            [this](bool on) { m_controller.setOption(LMExportFormats::kCsvHeader, on); });
    connect(m_asShown, &QCheckBox::toggled, this,
            [this](bool on) { m_controller.setOption(LMExportFormats::kCsvFormatData, on); });
    layout->addWidget(m_delimitedOptions);
    layout->addStretch();

    auto *buttons = new QDialogButtonBox;
    QPushButton *exportButton = buttons->addButton(QStringLiteral("Export…"), QDialogButtonBox::AcceptRole);
    exportButton->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LMExportSheet::exportFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMode(ItemKinds::type(ItemKind::Table));
}

void LMExportSheet::setMode(const QString &mode)
{
    m_controller.setMode(mode);
    (m_controller.mode() == ItemKinds::type(ItemKind::Report) ? m_reportMode : m_tableMode)->setChecked(true);
    reloadPopUps();
}

bool LMExportSheet::selectSource(const QString &name)
{
    if (!m_controller.setSource(name))
        return false;
    const QSignalBlocker block(m_source);
    m_source->setCurrentText(name);
    return true;
}

void LMExportSheet::reloadPopUps()
{
    const QString source = m_controller.source();
    const int format = m_controller.formatIndex();
    {
        const QSignalBlocker blockSource(m_source);
        const QSignalBlocker blockFormat(m_format);
        m_source->clear();
        m_source->addItems(m_controller.sources());
        m_source->setCurrentText(source);
        m_format->clear();
        for (const LMExportController::Format &f : m_controller.formats())
            m_format->addItem(QStringLiteral("%1 (.%2)").arg(f.title, f.extension));
        m_format->setCurrentIndex(format);
    }
    updateOptionsVisibility();
}

void LMExportSheet::updateOptionsVisibility()
{
    const bool table = m_controller.mode() == ItemKinds::type(ItemKind::Table);
    const QString extension = m_controller.selectedFieleExtension();
    m_sqlOptions->setVisible(table && extension == QLatin1String("sql"));
    m_htmlOptions->setVisible(table && extension == QLatin1String("html"));
    m_delimitedOptions->setVisible(table && (extension == QLatin1String("csv") || extension == QLatin1String("tsv")));
}

bool LMExportSheet::exportFile()
{
    FilePanelOptions options;
    options.title = QStringLiteral("Export");
    options.suggestedName = m_controller.suggestedFileName();
    // Beside the document, where the user keeps its files.
    if (MyDocument *document = m_controller.document(); document && !document->fileName().isEmpty())
        options.directory = QFileInfo(document->fileName()).absolutePath();
    const QString extension = m_controller.selectedFieleExtension();
    options.nameFilters = {
        QStringLiteral("%1 (*.%2)").arg(m_controller.formats().value(m_controller.formatIndex()).title, extension)};
    QString path = Ui::instance().runSavePanel(options, this);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + extension;
    if (const std::optional<Alert> failure = m_controller.writeToPath(path)) {
        Ui::instance().runAlert(*failure, this);
        return false;
    }
    m_written = path;
    accept();
    return true;
}

bool LMExportController::runSheet(MyDocument *document, QWidget *parent, const QString &source, const QString &mode)
{
    if (!document || !document->database())
        return false;
    LMExportSheet sheet(document, parent);
    sheet.setMode(mode);
    if (!source.isEmpty())
        sheet.selectSource(source);
    return sheet.exec() == QDialog::Accepted && !sheet.writtenPath().isEmpty();
}
