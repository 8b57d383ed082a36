// LMTableDesignView's widgets: the field grid with its buttons beside the options pane; they only forward.
#include "LMIdentifiedView.h"
#include "LMTableDesignFieldModel.h"
#include "LMTableDesignOptionsPane.h"
#include "LMTableDesignView.h"
#include "MyDocument.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

void LMTableDesignView::buildInterface()
{
    m_view = new LMIdentifiedView(identifier());
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    auto *splitter = new QSplitter(Qt::Horizontal);
    layout->addWidget(splitter, 1);

    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_model = new LMTableDesignFieldModel(this, m_view);
    m_grid = new QTableView;
    m_grid->setModel(m_model);
    m_grid->setItemDelegateForColumn(LMTableDesignFieldModel::TypeColumn, new LMTableDesignTypeDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
    m_grid->horizontalHeader()->setSectionResizeMode(LMTableDesignFieldModel::NameColumn, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(LMTableDesignFieldModel::TypeColumn,
                                                     QHeaderView::ResizeToContents);
    m_grid->verticalHeader()->hide();
    leftLayout->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &title, const QString &tip, auto slot) {
        auto *b = new QPushButton(title);
        b->setToolTip(tip);
        QObject::connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button(QStringLiteral("+"), QStringLiteral("Add a field"), &LMTableDesignView::addRowButtonPressed);
    button(QStringLiteral("\u2212"), QStringLiteral("Remove the selected field"),
           &LMTableDesignView::removeRowButtonPressed);
    buttons->addStretch();
    button(QStringLiteral("Rename\u2026"), QStringLiteral("Name or rename the table"),
           &LMTableDesignView::runNameSheet);
    button(QStringLiteral("Save Design"), QStringLiteral("Apply the design to the table now"),
           [this] { commitTable(); });
    button(QStringLiteral("Edit Data"), QStringLiteral("Save the design and show the table's records"),
           &LMTableDesignView::switchToEditDataCounterpart);
    button(QStringLiteral("Delete Table"), QStringLiteral("Delete the table and all its records"),
           &LMTableDesignView::deleteMe);
    leftLayout->addLayout(buttons);
    splitter->addWidget(left);

    m_optionsPane = new LMTableOptionsPane(this);
    splitter->addWidget(m_optionsPane);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({520, 380});

    if (m_document && m_document->undoStack()) {
        for (QAction *action :
             {m_document->undoStack()->createUndoAction(m_view), m_document->undoStack()->createRedoAction(m_view)}) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_view->addAction(action);
        }
        m_view->actions().at(0)->setShortcut(QKeySequence::Undo);
        m_view->actions().at(1)->setShortcut(QKeySequence::Redo);
    }

    // The grid follows the editor: every change reloads it and puts the selection back.
    connect(this, &LMTableDesignView::schemaDidChange, m_model, &LMTableDesignFieldModel::reload);
    connect(this, &LMTableDesignView::selectionDidChange, m_grid, [this](int row) {
        QItemSelectionModel *selection = m_grid->selectionModel();
        if (row < 0) {
            selection->clearSelection();
            return;
        }
        if (selection->currentIndex().row() != row || !selection->isRowSelected(row))
            selection->setCurrentIndex(m_model->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    connect(m_model, &QAbstractItemModel::modelReset, m_grid, [this] {
        if (m_selectedRow >= 0)
            m_grid->selectionModel()->setCurrentIndex(m_model->index(m_selectedRow, 0),
                                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
        const int row = rows.isEmpty() ? -1 : rows.constFirst().row();
        if (row != m_selectedRow)
            tableViewSelectionDidChange(row);
    });
    connect(this, &LMTableDesignView::nameEditingRequested, m_grid, [this](int row) {
        if (m_grid->isVisible())
            m_grid->edit(m_model->index(row, LMTableDesignFieldModel::NameColumn));
    });
}
