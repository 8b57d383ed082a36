// LMColumnSizing: the column widths of a record grid worked out from its model: value widths, the sampling
// autosize pass and the widths remembered per field. No widget: the grid applies the widths to its header.
#pragma once

#include "Value.h"

#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>
#include <vector>

class LMTableEditModel;

class LMColumnSizing {
public:
    // Sizing to content stops here, so one long text does not push the other columns off the window; the
    // user can still widen the column by hand.
    static constexpr double kMaxFittedWidth = 320;

    // How many rows one autosize pass samples per column: 800 cells in all, at most 100 per column.
    static int samplesPerColumn(int columns);
    // The width a column fits to: the content width, but no more than the limit (or the header's own hint).
    static double fittedWidth(double contentWidth, double headerHint);
    // The width one value needs in a column of the model: fixed for Yes/No (21) and non-text values (42),
    // else its text in `metrics` plus 8.
    static double widthOfValue(const LMTableEditModel &model, const Value &value, const QString &datatype, int column,
                               const QFontMetricsF &metrics);

    // One autosize pass over the rows in `ranges` (row index ranges, end exclusive): samples random rows and
    // returns the content width of every column, remembering it per field. Clears needsAutosize.
    QList<double> sampleColumnWidths(const LMTableEditModel &model,
                                     const std::vector<std::pair<quint32, quint32>> &ranges,
                                     const QFontMetricsF &metrics);
    // A shown "Text", "Number" or "Date" value wider (system font, size 12) than the remembered width raises
    // the remembered width of its column.
    void noteDisplayedText(const LMTableEditModel &model, int column, const QString &text);

    QHash<QString, double> widths() const { return m_widths; }
    void clearWidths() { m_widths.clear(); }
    void rememberWidth(const QString &field, double width) { m_widths.insert(field, width); }
    bool needsAutosize() const { return m_needsAutosize; }
    void setNeedsAutosize() { m_needsAutosize = true; }
    int lastSamples() const { return m_lastSamples; }

private:
    QHash<QString, double> m_widths;
    bool m_needsAutosize = true;
    int m_lastSamples = 0;
};
