// LMTableEditView: column widths (value widths, the sampling autosize pass) and row navigation.
#include "DesignVocabulary.h"
#include "LMGotoRowSheet.h"
#include "LMTableDataTableView.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "QLiteCursor.h"
#include "ReferenceDate.h"
#include "Ui.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
const QString kListJoin = QStringLiteral("____________");
// Sizing to content stops here, so one long text does not push the other columns off the window; the user
// can still widen the column by hand.
constexpr double kMaxFittedWidth = 320;

QString optionsWidthText(const Value &value, const QStringList &titles)
{
    const int index = int(value.toInt());
    if (value.isNumber() && index >= 0 && index < titles.size())
        return titles[index] + QStringLiteral(">>");
    return QStringLiteral(">>");
}
} // namespace

double LMTableEditView::widthOfValue(const Value &value, const QString &datatype, int column) const
{
    if (datatype == QLatin1String("Yes/No"))
        return 21;
    QString text;
    bool isText = true;
    if (datatype == QLatin1String("List") && value.isArray())
        text = value.toStringList().join(kListJoin);
    else if ((datatype == QLatin1String("Number") && value.isNumber()) ||
             (datatype == QLatin1String("Date") && value.isDate()))
        text = m_model->formatterAt(column).format(value);
    else if (datatype == QLatin1String("Options"))
        text = optionsWidthText(value, m_model->optionTitlesAt(column));
    else if (value.isString())
        text = value.toString();
    else
        isText = false;
    if (!isText)
        return 42;
    return QFontMetricsF(m_tableView->font()).horizontalAdvance(text) + 8;
}

void LMTableEditView::widenColumnFor(const Value &value, int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    QHeaderView *header = m_tableView->horizontalHeader();
    const double needed = qMin(widthOfValue(value, m_model->datatypeAt(column), column),
                               qMax(kMaxFittedWidth, double(header->sectionSizeHint(column))));
    if (needed > header->sectionSize(column) && header->sectionResizeMode(column) != QHeaderView::Fixed)
        header->resizeSection(column, int(std::ceil(needed)));
}

int LMTableEditView::samplesPerColumn(int columns)
{
    if (columns <= 0)
        return 0;
    return qMin(100, int(std::ceil(800.0 / columns)));
}

void LMTableEditView::scheduleAutosize()
{
    if (!m_needsAutosize)
        return;
    // One pass as soon as the rows are there, and a second once the view has settled.
    QTimer::singleShot(0, this, [this] {
        if (m_needsAutosize)
            buildAutosizingInformation();
    });
    QTimer::singleShot(50, this, [this] {
        // Another draw from the same rows would only measure the same texts again.
        if (m_rows && m_rows == m_autosizedRows.lock() && m_rows->loadedRowRanges() == m_autosizedRanges)
            return;
        buildAutosizingInformation();
    });
}

void LMTableEditView::buildAutosizingInformation()
{
    m_needsAutosize = false;
    std::srand(unsigned(qint64(ReferenceDate::now())));
    const int columns = m_model->columnCount();
    // Only rows already in memory are sampled: on a large table a random row anywhere would mean reading a
    // page of rows for every sample. Before any is loaded the first page, which the first screen needs, is used.
    std::vector<std::pair<quint32, quint32>> ranges;
    if (m_rows)
        ranges = m_rows->loadedRowRanges();
    m_autosizedRows = m_rows;
    m_autosizedRanges = ranges;
    // The model's rows: the whole list may still be being read.
    if (ranges.empty() && m_model->rowCount() > 0)
        ranges.emplace_back(0, quint32(qMin(m_model->rowCount(), m_rows->rowsPerPage())));
    int rows = 0;
    for (const auto &range : ranges)
        rows += int(range.second - range.first);
    const auto sampledRow = [&ranges](int position) {
        for (const auto &range : ranges) {
            if (position < int(range.second - range.first))
                return int(range.first) + position;
            position -= int(range.second - range.first);
        }
        return 0;
    };
    const int samples = qMin(rows, samplesPerColumn(columns));
    m_lastSamples = samples;
    QHeaderView *header = m_tableView->horizontalHeader();
    const QFontMetricsF metrics(m_tableView->font());
    const double widestCharacter = metrics.maxWidth();
    QStringList texts;
    for (int c = 0; c < columns; ++c) {
        const QString type = m_model->datatypeAt(c);
        if (header->sectionResizeMode(c) != QHeaderView::Fixed)
            header->resizeSection(c, qMax(header->sectionSize(c), header->sectionSizeHint(c)));
        double width = 10;
        if (type == QLatin1String("Yes/No"))
            width = 21;
        else if (Datatypes::isMedia(type))
            width = 30;
        else {
            texts.clear();
            for (int i = 0; i < samples; ++i) {
                const int row = sampledRow(std::rand() % rows);
                const Value value = m_model->displayValue(c, row);
                QString text;
                if (type == QLatin1String("List") && value.isArray())
                    text = value.toStringList().join(kListJoin);
                else if (type == QLatin1String("Options"))
                    text = optionsWidthText(value, m_model->optionTitlesAt(c));
                else if (!m_model->formatterAt(c).isNull() && !value.isNull())
                    text = m_model->formatterAt(c).format(value);
                else if (value.isString())
                    text = value.toString();
                else {
                    width = qMax(width, 42.0);
                    continue;
                }
                texts << text;
            }
            // Measuring lays a text out: the longest go first, and a text too short to be wider than the widest
            // so far is not measured.
            std::sort(texts.begin(), texts.end(),
                      [](const QString &a, const QString &b) { return a.size() > b.size(); });
            for (const QString &text : std::as_const(texts)) {
                if (double(text.size()) * widestCharacter + 8 <= width)
                    break;
                width = qMax(width, metrics.horizontalAdvance(text) + 8);
            }
        }
        const double fitted = qMin(width, qMax(kMaxFittedWidth, double(header->sectionSizeHint(c))));
        if (header->sectionSize(c) < fitted && header->sectionResizeMode(c) != QHeaderView::Fixed)
            header->resizeSection(c, int(std::ceil(fitted)));
        if (m_model->hasFields())
            m_widths.insert(m_model->fieldAt(c), width);
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
    const QString type = m_model->datatypeAt(column);
    if (!m_model->hasFields() || text.isEmpty() ||
        (type != QLatin1String("Text") && type != QLatin1String("Number") && type != QLatin1String("Date")))
        return;
    static const QFont font = [] {
        QFont f = QApplication::font();
        f.setPointSizeF(12);
        return f;
    }();
    static const double widestCharacter = QFontMetricsF(font).maxWidth();
    const QString field = m_model->fieldAt(column);
    const double remembered = m_widths.value(field);
    // Measuring lays the text out; a text too short to be wider than what is remembered is not measured.
    if (double(text.size()) * widestCharacter <= remembered)
        return;
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > remembered)
        m_widths.insert(field, width);
}
