// LMColumnSizing: value widths, the sampling autosize pass and the remembered widths of a record grid.
#include "LMColumnSizing.h"

#include "DesignVocabulary.h"
#include "LMTableEditModel.h"
#include "ReferenceDate.h"

#include <QApplication>
#include <cmath>
#include <cstdlib>

namespace {
// Lists are measured with a wide joint so a list column leaves room between its items.
const QString kListJoin = QStringLiteral("____________");

QString optionsWidthText(const Value &value, const QStringList &titles)
{
    const int index = int(value.toInt());
    if (value.isNumber() && index >= 0 && index < titles.size())
        return titles[index] + QStringLiteral(">>");
    return QStringLiteral(">>");
}
} // namespace

int LMColumnSizing::samplesPerColumn(int columns)
{
    if (columns <= 0)
        return 0;
    return qMin(100, int(std::ceil(800.0 / columns)));
}

double LMColumnSizing::fittedWidth(double contentWidth, double headerHint)
{
    return qMin(contentWidth, qMax(kMaxFittedWidth, headerHint));
}

double LMColumnSizing::widthOfValue(const LMTableEditModel &model, const Value &value, const QString &datatype,
                                    int column, const QFontMetricsF &metrics)
{
    const Datatype type = Datatypes::fromName(datatype);
    if (type == Datatype::YesNo)
        return 21;
    QString text;
    bool isText = true;
    if (type == Datatype::List && value.isArray())
        text = value.toStringList().join(kListJoin);
    else if ((type == Datatype::Number && value.isNumber()) || (type == Datatype::Date && value.isDate()))
        text = model.formatterAt(column).format(value);
    else if (type == Datatype::Options)
        text = optionsWidthText(value, model.optionTitlesAt(column));
    else if (value.isString())
        text = value.toString();
    else
        isText = false;
    if (!isText)
        return 42;
    return metrics.horizontalAdvance(text) + 8;
}

QList<double> LMColumnSizing::sampleColumnWidths(const LMTableEditModel &model,
                                                 const std::vector<std::pair<quint32, quint32>> &ranges,
                                                 const QFontMetricsF &metrics)
{
    m_needsAutosize = false;
    std::srand(unsigned(qint64(ReferenceDate::now())));
    const int columns = model.columnCount();
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
    QList<double> out;
    for (int c = 0; c < columns; ++c) {
        const Datatype type = Datatypes::fromName(model.datatypeAt(c));
        double width = 10;
        if (type == Datatype::YesNo)
            width = 21;
        else if (Datatypes::isMedia(type))
            width = 30;
        else
            for (int i = 0; i < samples; ++i) {
                const int row = sampledRow(std::rand() % rows);
                const Value value = model.displayValue(c, row);
                QString text;
                if (type == Datatype::List && value.isArray())
                    text = value.toStringList().join(kListJoin);
                else if (type == Datatype::Options)
                    text = optionsWidthText(value, model.optionTitlesAt(c));
                else if (!model.formatterAt(c).isNull() && !value.isNull())
                    text = model.formatterAt(c).format(value);
                else if (value.isString())
                    text = value.toString();
                else {
                    width = qMax(width, 42.0);
                    continue;
                }
                width = qMax(width, metrics.horizontalAdvance(text) + 8);
            }
        out << width;
        if (model.hasFields())
            m_widths.insert(model.fieldAt(c), width);
    }
    return out;
}

void LMColumnSizing::noteDisplayedText(const LMTableEditModel &model, int column, const QString &text)
{
    const Datatype type = Datatypes::fromName(model.datatypeAt(column));
    if (!model.hasFields() || text.isEmpty() ||
        (type != Datatype::Text && type != Datatype::Number && type != Datatype::Date))
        return;
    static const QFont font = [] {
        QFont f = QApplication::font();
        f.setPointSizeF(12);
        return f;
    }();
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    const QString field = model.fieldAt(column);
    if (width > m_widths.value(field))
        m_widths.insert(field, width);
}
