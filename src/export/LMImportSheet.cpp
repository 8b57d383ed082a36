// LMImportSheet: thin widgets; every rule is the controller's, every alert and beep goes through Ui.
#include "LMImportSheet.h"
#include "DesignVocabulary.h"

#include "LMDocumentNavigator.h"
#include "LMImportProgress.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Resources.h"
#include "Ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { EnabledColumn, NameColumn, TypeColumn, SampleColumn };

// Feeds the bar and lets it paint: the import runs on the main thread.
class BarProgress : public LMImportProgress {
public:
    explicit BarProgress(QProgressBar *bar) : m_bar(bar) {}
    void setMaximum(qint64 maximum) override
    {
        m_scale = maximum > INT_MAX ? double(INT_MAX) / double(maximum) : 1.0;
        m_bar->setRange(0, int(maximum * m_scale));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void setValue(qint64 value) override
    {
        m_bar->setValue(int(value * m_scale));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QProgressBar *m_bar;
    double m_scale = 1.0;
};

QPixmap statusImage(const QString &name)
{
    return QIcon(Resources::path(QStringLiteral("icons/%1.svg").arg(name))).pixmap(16, 16);
}
} // namespace

LMImportSheet::LMImportSheet(MyDocument *document, QWidget *parent) : QDialog(parent), m_controller(document)
{
    setWindowTitle(QStringLiteral("Import"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    auto *fileRow = new QHBoxLayout;
    m_fileLabel = new QLabel(QStringLiteral("No file chosen"));
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *choose = new QPushButton(QStringLiteral("Choose…"));
    connect(choose, &QPushButton::clicked, this, &LMImportSheet::chooseFile);
    fileRow->addWidget(m_fileLabel, 1);
    fileRow->addWidget(choose);
    layout->addLayout(fileRow);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Table name:")));
    m_tableName = new QLineEdit;
    m_nameImage = new QLabel;
    nameRow->addWidget(m_tableName, 1);
    nameRow->addWidget(m_nameImage);
    layout->addLayout(nameRow);
    connect(m_tableName, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_controller.controlTextDidChange(text);
        updateTableNameState();
    });

    m_holdsNames = new QCheckBox(QStringLiteral("First record holds the column names"));
    m_holdsNames->setEnabled(false);
    layout->addWidget(m_holdsNames);
    connect(m_holdsNames, &QCheckBox::toggled, this, [this](bool on) {
        if (m_reloading)
            return;
        m_controller.setFirstRecordHoldsNames(on);
        reloadColumns();
    });

    m_columns = new QTableWidget(0, 4);
    m_columns->setHorizontalHeaderLabels(
        {QStringLiteral("Import"), QStringLiteral("Column"), QStringLiteral("Type"), QStringLiteral("First record")});
    m_columns->horizontalHeader()->setStretchLastSection(true);
    m_columns->verticalHeader()->hide();
    m_columns->setEnabled(false);
    connect(m_columns, &QTableWidget::cellChanged, this, &LMImportSheet::columnCellChanged);
    layout->addWidget(m_columns, 1);

    m_progress = new QProgressBar;
    m_progress->hide();
    layout->addWidget(m_progress);

    auto *buttons = new QDialogButtonBox;
    m_importButton = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_importButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &LMImportSheet::import);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 420);
    updateTableNameState();
}

void LMImportSheet::setFile(const QString &path)
{
    const std::optional<Alert> problem = m_controller.setFile(path);
    m_fileLabel->setText(QFileInfo(path).fileName());
    m_tableName->setText(m_controller.tableName());
    reloadColumns();
    updateTableNameState();
    if (problem)
        Ui::instance().runAlert(*problem, this);
}

void LMImportSheet::chooseFile()
{
    FilePanelOptions options;
    options.title = QStringLiteral("Import");
    options.nameFilters = {QStringLiteral("Delimited text (*.csv *.tsv)")};
    // Beside the document, where the user keeps its files.
    if (MyDocument *document = m_controller.document(); document && !document->fileName().isEmpty())
        options.directory = QFileInfo(document->fileName()).absolutePath();
    const QStringList paths = Ui::instance().runOpenPanel(options, this);
    if (!paths.isEmpty())
        setFile(paths.first());
}

void LMImportSheet::reloadColumns()
{
    m_reloading = true;
    m_columns->setRowCount(m_controller.numberOfRows());
    const QStringList sample = m_controller.firstRecord();
    for (int row = 0; row < m_controller.numberOfRows(); ++row) {
        auto *enabled = new QTableWidgetItem;
        enabled->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        enabled->setCheckState(m_controller.objectValue(QStringLiteral("Enabled"), row) == QLatin1String("1")
                                   ? Qt::Checked
                                   : Qt::Unchecked);
        m_columns->setItem(row, EnabledColumn, enabled);
        m_columns->setItem(row, NameColumn, new QTableWidgetItem(m_controller.objectValue(DesignKey::Name, row)));
        auto *type = new QComboBox;
        type->addItems(LMImportController::columnTypes());
        type->setCurrentIndex(LMImportController::typeToNumber(m_controller.objectValue(DesignKey::Type, row)));
        connect(type, &QComboBox::currentIndexChanged, this, [this, row](int index) {
            m_controller.setObjectValue(LMImportController::numberToType(index), DesignKey::Type, row);
        });
        m_columns->setCellWidget(row, TypeColumn, type);
        auto *first = new QTableWidgetItem(sample.value(row).left(200));
        first->setFlags(Qt::ItemIsEnabled);
        m_columns->setItem(row, SampleColumn, first);
    }
    m_columns->setEnabled(m_controller.columnTableEnabled());
    m_holdsNames->setEnabled(m_controller.columnTableEnabled());
    m_holdsNames->setChecked(m_controller.firstRecordHoldsNames());
    m_reloading = false;
}

void LMImportSheet::columnCellChanged(int row, int column)
{
    if (m_reloading)
        return;
    QTableWidgetItem *item = m_columns->item(row, column);
    if (!item)
        return;
    if (column == EnabledColumn) {
        m_controller.setObjectValue(item->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0"),
                                    QStringLiteral("Enabled"), row);
    } else if (column == NameColumn && !m_controller.setObjectValue(item->text(), DesignKey::Name, row)) {
        // Refused (the controller beeped): the cell shows the name kept.
        m_reloading = true;
        item->setText(m_controller.objectValue(DesignKey::Name, row));
        m_reloading = false;
    }
}

void LMImportSheet::updateTableNameState()
{
    m_nameImage->setPixmap(statusImage(m_controller.tableNameImage()));
    m_nameImage->setToolTip(m_controller.tableNameImage());
    m_importButton->setEnabled(m_controller.importEnabled());
}

bool LMImportSheet::import()
{
    m_progress->show();
    BarProgress progress(m_progress);
    const std::optional<Alert> failure = m_controller.import(&progress, nullptr, this);
    m_progress->hide();
    if (m_controller.cancelled())
        return false;
    if (failure) {
        Ui::instance().runAlert(*failure, this);
        updateTableNameState();
        return false;
    }
    m_imported = m_controller.tableName();
    accept();
    return true;
}

bool LMImportController::runSheet(MyDocument *document, QWidget *parent, const QString &path,
                                  LMDocumentNavigator *navigator)
{
    if (!document || !document->database())
        return false;
    LMImportSheet sheet(document, parent);
    if (!path.isEmpty())
        sheet.setFile(path);
    if (sheet.exec() != QDialog::Accepted || sheet.importedTable().isEmpty())
        return false;
    const QString table = sheet.importedTable();
    if (DocumentViewHost *host = document->viewHost()) {
        host->refreshAllViews();
        host->reloadSourceList();
    }
    if (navigator && document->database()->tablesList().contains(table)) {
        // In a new tab, unless the tab in front shows the overview (the switch itself takes a new tab while the
        // new-tab modifier is held).
        if (!navigator->showsOverview() && !Ui::instance().isNewTabModifierHeld())
            navigator->addNewTab();
        navigator->switchToTableEditView(table);
    }
    return true;
}
