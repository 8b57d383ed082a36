// LMTableEditView: applying LMColumnSizing's widths to the grid's header, and row navigation.
#include "LMColumnSizing.h"
#include "LMGotoRowSheet.h"
#include "LMTableDataTableView.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "QLiteCursor.h"
#include "Ui.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QLineEdit>
#include <QTimer>
#include <cmath>

double LMTableEditView::widthOfValue(const Value &value, const QString &datatype, int column) const
{
    return LMColumnSizing::widthOfValue(*m_model, value, datatype, column, QFontMetricsF(m_tableView->font()));
}

void LMTableEditView::widenColumnFor(const Value &value, int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    QHeaderView *header = m_tableView->horizontalHeader();
    const double needed = LMColumnSizing::fittedWidth(widthOfValue(value, m_model->datatypeAt(column), column),
                                                      double(header->sectionSizeHint(column)));
    if (needed > header->sectionSize(column) && header->sectionResizeMode(column) != QHeaderView::Fixed)
        header->resizeSection(column, int(std::ceil(needed)));
}

int LMTableEditView::samplesPerColumn(int columns)
{
    return LMColumnSizing::samplesPerColumn(columns);
}

void LMTableEditView::scheduleAutosize()
{
    if (!m_sizing.needsAutosize())
        return;
    // One pass as soon as the rows are there, and a second once the view has settled.
    QTimer::singleShot(0, this, [this] {
        if (m_sizing.needsAutosize())
            buildAutosizingInformation();
    });
    QTimer::singleShot(50, this, &LMTableEditView::buildAutosizingInformation);
}

void LMTableEditView::buildAutosizingInformation()
{
    // Only rows already in memory are sampled: on a large table a random row anywhere would mean reading a
    // page of rows for every sample. Before any is loaded the first page, which the first screen needs, is used.
    std::vector<std::pair<quint32, quint32>> ranges;
    if (m_rows)
        ranges = m_rows->loadedRowRanges();
    if (ranges.empty() && numberOfRows() > 0)
        ranges.emplace_back(0, quint32(qMin(numberOfRows(), m_rows->rowsPerPage())));
    const QList<double> widths = m_sizing.sampleColumnWidths(*m_model, ranges, QFontMetricsF(m_tableView->font()));
    QHeaderView *header = m_tableView->horizontalHeader();
    for (int c = 0; c < widths.size(); ++c) {
        if (header->sectionResizeMode(c) == QHeaderView::Fixed)
            continue;
        header->resizeSection(c, qMax(header->sectionSize(c), header->sectionSizeHint(c)));
        const double fitted = LMColumnSizing::fittedWidth(widths.at(c), double(header->sectionSizeHint(c)));
        if (header->sectionSize(c) < fitted)
            header->resizeSection(c, int(std::ceil(fitted)));
    }
}

// --- Rows and navigation

int LMTableEditView::selectedRow() const
{
    return m_tableView->selectedRow();
}

void LMTableEditView::selectRow(int row)
{
    if (row < 0 || row >= numberOfRows())
        return;
    m_tableView->selectRowAndFocus(row);
    updateRowNumberField();
}

void LMTableEditView::updateRowNumberField()
{
    const int row = selectedRow();
    const QString text = row < 0 ? QString() : QString::number(row + 1);
    if (m_rowNumberField && !m_rowNumberField->hasFocus() && m_rowNumberField->text() != text)
        m_rowNumberField->setText(text);
}

void LMTableEditView::gotoFirstRow()
{
    if (numberOfRows() == 0)
        return Ui::instance().beep();
    selectRow(0);
}

void LMTableEditView::gotoPreviousRow()
{
    const int row = selectedRow();
    if (numberOfRows() == 0 || row <= 0)
        return Ui::instance().beep();
    selectRow(row - 1);
}

void LMTableEditView::gotoNextRow()
{
    const int row = selectedRow();
    if (numberOfRows() == 0 || row >= numberOfRows() - 1)
        return Ui::instance().beep();
    selectRow(row + 1);
}

void LMTableEditView::gotoLastRow()
{
    if (numberOfRows() == 0)
        return Ui::instance().beep();
    selectRow(numberOfRows() - 1);
}

void LMTableEditView::gotoRowText(const QString &text, bool onReturn)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok && number >= 1 && number <= numberOfRows()) {
        selectRow(number - 1);
        return;
    }
    if (onReturn)
        Ui::instance().beep();
}

void LMTableEditView::gotoSheetButton()
{
    if (numberOfRows() == 0)
        return Ui::instance().beep();
    if (m_gotoSheet)
        m_gotoSheet->deleteLater();
    m_gotoSheet = new LMGotoRowSheet(m_window ? m_window.data() : m_widget, numberOfRows(),
                                     [this](const QString &text) { gotoSheetFinished(text); });
    m_gotoSheet->open();
}

LMGotoRowSheet *LMTableEditView::gotoSheet() const
{
    return m_gotoSheet.data();
}

void LMTableEditView::noteDisplayedText(int column, const QString &text)
{
    m_sizing.noteDisplayedText(*m_model, column, text);
}
