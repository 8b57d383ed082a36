// FDFormDesignWidget: buttons and shortcuts call the canvas and its editor; nothing is decided here.
#include "FDFormDesignWidget.h"

#include "FDCanvasView.h"
#include "FDInspectorPane.h"
#include "FDPaletteView.h"
#include "LMFormDesignController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

FDFormDesignWidget::FDFormDesignWidget(LMFormDesignController *controller, QWidget *parent)
    : QWidget(parent), m_controller(controller)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *nameBar = new QHBoxLayout;
    m_name = new QLineEdit;
    m_name->setPlaceholderText(tr("Form name"));
    m_table = new QComboBox;
    m_generate = new QCheckBox(tr("Generate controls"));
    auto *apply = new QPushButton(tr("Save Name"));
    nameBar->addWidget(new QLabel(tr("Form:")));
    nameBar->addWidget(m_name, 1);
    nameBar->addWidget(new QLabel(tr("Table:")));
    nameBar->addWidget(m_table);
    nameBar->addWidget(m_generate);
    nameBar->addWidget(apply);
    layout->addLayout(nameBar);
    connect(apply, &QPushButton::clicked, this, &FDFormDesignWidget::applyNameBar);
    connect(m_name, &QLineEdit::returnPressed, this, &FDFormDesignWidget::applyNameBar);

    layout->addWidget(buildToolRow());

    auto *splitter = new QSplitter;
    m_palette = new FDPaletteView;
    m_palette->setMaximumWidth(180);
    m_canvasView = new FDCanvasView(controller->editor());
    auto *scroll = new QScrollArea;
    scroll->setWidget(m_canvasView);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setBackgroundRole(QPalette::Dark);
    m_inspector = new FDInspectorPane(controller);
    splitter->addWidget(m_palette);
    splitter->addWidget(scroll);
    splitter->addWidget(m_inspector);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    connect(controller, &LMFormDesignController::nameChanged, this, &FDFormDesignWidget::refreshNameBar);
    connect(controller->canvas(), &FDCanvas::canvasPaneNeedsRefresh, this, &FDFormDesignWidget::refreshNameBar);
    refreshNameBar();
    if (controller->isNewForm())
        m_name->setFocus();
}

QWidget *FDFormDesignWidget::buildToolRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    FDCanvas *canvas = m_controller->canvas();
    FDCanvasEditor *editor = m_controller->editor();
    auto add = [&](const QString &text, const QKeySequence &shortcut, std::function<void()> run) {
        auto *action = new QAction(text, this);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
        connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
        auto *button = new QToolButton;
        button->setDefaultAction(action);
        layout->addWidget(button);
    };
    // Alignment, z-order, lock, grid and snap are the window's toolbar items (LMFormDesignToolbar).
    add(tr("Cut"), QKeySequence::Cut, [editor] { editor->cut(); });
    add(tr("Copy"), QKeySequence::Copy, [editor] { editor->copy(); });
    add(tr("Paste"), QKeySequence::Paste, [editor] { editor->paste(); });
    add(tr("Select All"), QKeySequence::SelectAll, [canvas] { canvas->selectAll(); });
    add(tr("Delete"), {}, [editor] { editor->deleteSelection(); });
    layout->addStretch(1);
    return row;
}

void FDFormDesignWidget::refreshNameBar()
{
    const QString table = m_controller->canvas()->contentTable();
    m_name->setText(m_controller->name());
    m_table->clear();
    m_table->addItems(m_controller->tableChoices());
    m_table->setCurrentText(table.isEmpty() ? LMFormDesignController::kNoTable : table);
    m_generate->setVisible(m_controller->isNewForm());
}

void FDFormDesignWidget::applyNameBar()
{
    // A refused name beeps and the bar stays as typed, so it can be corrected.
    if (m_controller->closeAskForName(m_name->text(), m_table->currentText(), m_generate->isChecked()))
        refreshNameBar();
}
