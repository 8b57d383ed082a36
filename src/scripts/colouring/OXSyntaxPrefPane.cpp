// OXSyntaxPrefPane: rows of colour titles with a colour well and text traits, the style menu and its buttons.
#include "OXSyntaxPrefPane.h"

#include "OXSyntaxPrefController.h"
#include "Preferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QStringList traits{QStringLiteral("Bold"), QStringLiteral("Italic"), QStringLiteral("Underline")};
} // namespace

OXSyntaxPrefPane::OXSyntaxPrefPane(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Script Colours"));
    m_controller = new OXSyntaxPrefController(this);
    m_controller->setWindow(this);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_enabled = new QCheckBox(QStringLiteral("Colour scripts"));
    m_styles = new QComboBox;
    auto *import = new QPushButton(QStringLiteral("Import…"));
    auto *exportButton = new QPushButton(QStringLiteral("Export…"));
    auto *invert = new QPushButton(QStringLiteral("Invert"));
    top->addWidget(m_enabled);
    top->addWidget(new QLabel(QStringLiteral("Style:")));
    top->addWidget(m_styles, 1);
    top->addWidget(import);
    top->addWidget(exportButton);
    top->addWidget(invert);
    layout->addLayout(top);
    auto *hueRow = new QHBoxLayout;
    m_hue = new QSlider(Qt::Horizontal);
    m_hue->setRange(-180, 180);
    hueRow->addWidget(new QLabel(QStringLiteral("Hue:")));
    hueRow->addWidget(m_hue, 1);
    layout->addLayout(hueRow);
    m_table = new QTableWidget(int(OXSyntaxPrefController::colourTitles().size()), 5);
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Title"), QStringLiteral("Colour"), traits[0], traits[1], traits[2]});
    m_table->verticalHeader()->hide();
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_table);

    connect(m_controller, &OXSyntaxPrefController::refreshTable, this, &OXSyntaxPrefPane::refreshTable);
    connect(m_enabled, &QCheckBox::toggled, this, [this](bool on) {
        if (m_refreshing)
            return;
        m_controller->enableButton(on);
        refreshTable(); // a refused switch puts the box back
    });
    connect(m_styles, &QComboBox::activated, this,
            [this](int index) { m_controller->themeMenuButton(m_styles->itemText(index)); });
    connect(import, &QPushButton::clicked, this, [this] { m_controller->importExport(true); });
    connect(exportButton, &QPushButton::clicked, this, [this] { m_controller->importExport(false); });
    connect(invert, &QPushButton::clicked, m_controller, &OXSyntaxPrefController::invert);
    connect(m_hue, &QSlider::sliderReleased, this, [this] {
        m_controller->hue(m_hue->value() - m_hueApplied);
        m_hueApplied = m_hue->value();
    });
    refreshTable();
    resize(560, 420);
}

void OXSyntaxPrefPane::refreshTable()
{
    m_refreshing = true;
    const QString current = Preferences::instance().stringValue(QStringLiteral("OXSyntaxThemeTitle"));
    m_styles->clear();
    m_styles->addItems(OXSyntaxPrefController::styleNames());
    m_styles->setCurrentText(current);
    m_enabled->setChecked(OXSyntaxPrefController::isColouringOn());

    const QString fontName = Preferences::instance().stringValue(QStringLiteral("LMForm_Font_Name"));
    const QFont base(fontName.isEmpty() ? QStringLiteral("Monaco") : fontName, 11);
    QPalette palette = m_table->palette();
    QColor background = OXSyntaxPrefController::colorForTitle(QStringLiteral("Background"), true);
    background.setAlphaF(1);
    palette.setColor(QPalette::Base, background);
    m_table->setPalette(palette);
    const QStringList &titles = OXSyntaxPrefController::colourTitles();
    for (int row = 0; row < titles.size(); ++row) {
        const QString &title = titles[row];
        // The background row shows its title as plain text would look on it.
        const QString shownAs = title == QLatin1String("Background") ? QStringLiteral("Plain Text") : title;
        QFont font = base;
        font.setBold(m_controller->textAttribute(traits[0], shownAs));
        font.setItalic(m_controller->textAttribute(traits[1], shownAs));
        font.setUnderline(m_controller->textAttribute(traits[2], shownAs));
        auto *item = new QTableWidgetItem(title);
        item->setFont(font);
        QColor foreground = OXSyntaxPrefController::colorForTitle(shownAs, true);
        foreground.setAlphaF(1);
        item->setForeground(foreground);
        m_table->setItem(row, 0, item);

        auto *well = new QToolButton;
        well->setFixedSize(37, 20);
        const QColor colour = OXSyntaxPrefController::colorForTitle(title, true);
        well->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #808080; }")
                                .arg(colour.name(QColor::HexRgb)));
        connect(well, &QToolButton::clicked, this, [this, title] { chooseColour(title); });
        m_table->setCellWidget(row, 1, well);
        for (int t = 0; t < traits.size(); ++t) {
            auto *box = new QCheckBox;
            // The boxes keep the application's colours, whatever the style's background.
            box->setPalette(QApplication::palette(box));
            box->setChecked(m_controller->textAttribute(traits[t], title));
            connect(box, &QCheckBox::toggled, this,
                    [this, title, t](bool on) { m_controller->setTextAttribute(traits[t], on, title); });
            m_table->setCellWidget(row, 2 + t, box);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_refreshing = false;
}

void OXSyntaxPrefPane::chooseColour(const QString &title)
{
    // The colour panel stays open beside the pane, as a panel does, and every change applies at once.
    auto *panel = new QColorDialog(OXSyntaxPrefController::colorForTitle(title, true), this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setOption(QColorDialog::NoButtons);
    panel->setWindowTitle(title);
    connect(panel, &QColorDialog::currentColorChanged, m_controller,
            [this, title](const QColor &c) { m_controller->setColor(c, title, true); });
    panel->show();
}
