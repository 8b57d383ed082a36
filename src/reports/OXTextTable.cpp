// OXTextTable: display options and the rendering of records as a QTextTable.
#include "OXTextTable.h"

#include "OXDatabase.h"
#include "OXRecordReader.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

const QString OXTextTable::kShowOnly = QStringLiteral("Show Only");
const QString OXTextTable::kLimitStart = QStringLiteral("Limit Start");
const QString OXTextTable::kLimitAmount = QStringLiteral("Limit Amount");
const QString OXTextTable::kHeaderColor = QStringLiteral("Header Color");
const QString OXTextTable::kSideColor = QStringLiteral("Side Color");
const QString OXTextTable::kDataColor = QStringLiteral("Data Color");
const QString OXTextTable::kAlternatingColor = QStringLiteral("Alternating Color");

OXObjectPtr OXTextTable::parseFormulaComponent(const QString &component)
{
    if (component.startsWith(QLatin1Char(':')))
        return evaluateFormulaFunctionComponent(component);
    return nullptr;
}

OXObjectPtr OXTextTable::callFunction(const QString &name, const OXArguments &args)
{
    static const QList<std::pair<QString, std::pair<QString, QString>>> colours = {
        {QStringLiteral("header"), {kHeaderColor, QStringLiteral("E8E8E8")}},
        {QStringLiteral("side"), {kSideColor, QStringLiteral("F3F3F3")}},
        {QStringLiteral("data"), {kDataColor, QStringLiteral("42D132")}},
        {QStringLiteral("alternating"), {kAlternatingColor, QStringLiteral("E6EFFF")}},
    };
    for (const auto &colour : colours) {
        if (name == colour.first) {
            m_description.set(colour.second.first, args.none() ? colour.second.second : args.first());
            return shared_from_this();
        }
    }
    if (name == QLatin1String("limit") && !args.none()) {
        // A start or amount that reads as 0 counts as 1.
        const auto atLeastOne = [](const QString &text) {
            const qint64 n = Value(text).toInt();
            return n == 0 ? qint64(1) : n;
        };
        const qint64 start = args.one() ? 1 : atLeastOne(args.list.at(0));
        const qint64 amount = atLeastOne(args.one() ? args.first() : args.list.at(1));
        m_description.set(kLimitStart, Value(start));
        m_description.set(kLimitAmount, Value(amount));
        return shared_from_this();
    }
    if (name == QLatin1String("showOnly") && !args.none()) {
        m_description.set(kShowOnly, Value(args.list));
        return shared_from_this();
    }
    return nullptr;
}

QStringList OXTextTable::shownFields() const
{
    const QStringList fields = database().namesForTable(tableName());
    if (!m_description.contains(kShowOnly))
        return fields;
    QStringList shown;
    for (const QString &name : m_description.value(kShowOnly).toStringList())
        if (fields.contains(name))
            shown << name;
    return shown;
}

QStringList OXTextTable::shownRowids() const
{
    const QStringList ids = rowids();
    if (!m_description.contains(kLimitStart) || !m_description.contains(kLimitAmount))
        return ids;
    if (ids.isEmpty())
        return {};
    qint64 start = m_description.value(kLimitStart).toInt() - 1;
    qint64 amount = m_description.value(kLimitAmount).toInt();
    if (start < 0)
        start = 0;
    if (amount < 0)
        amount = 1;
    if (start + amount > ids.size()) {
        start = 0;
        amount = 1;
    }
    return ids.mid(int(start), int(amount));
}

std::optional<QColor> OXTextTable::colorOption(const QString &key) const
{
    if (!m_description.contains(key))
        return std::nullopt;
    const QColor colour(QLatin1Char('#') + m_description.value(key).toString().trimmed());
    return colour.isValid() ? colour : QColor(Qt::white);
}

namespace {
constexpr double kBorderWidth = 0.5;
constexpr double kPadding = 4.5;

// The display texts of the fields of one record; empty texts when the record cannot be read.
QStringList recordTexts(OXDatabase &database, const QString &table, const QStringList &fields, const QString &id)
{
    QStringList texts;
    QStringList quotedFields;
    for (const QString &f : fields)
        quotedFields << QLatin1Char('`') + f + QLatin1Char('`');
    const std::shared_ptr<QLiteCursor> cursor =
        fields.isEmpty() ? nullptr
                         : database.executeQuery(QStringLiteral("SELECT %1 FROM `%2` WHERE id='%3'")
                                                     .arg(quotedFields.join(QStringLiteral(", ")), table,
                                                          QLiteDatabase::prepareStringForQuery(id)));
    const bool found = cursor && cursor->rowCount() > 0;
    for (const QString &f : fields) {
        QString text;
        if (found) {
            const QLiteRow row = *cursor->rowAtIndex(0);
            const QString key = table + QLatin1Char('.') + f;
            const QString stored = row.valueForColumn(key).isNull() ? QString() : row.stringForColumn(key);
            const Value native = database.dbToNativeForTable(stored, table, f);
            text = database.addFormattingToObject(native, table, f).text;
        }
        texts << text;
    }
    return texts;
}
} // namespace

void OXTextTable::insertInto(QTextCursor &cursor) const
{
    OXRecordReader::Transaction transaction(database());
    const QStringList fields = shownFields();
    const QStringList ids = shownRowids();
    const std::optional<QColor> header = colorOption(kHeaderColor);
    const std::optional<QColor> side = colorOption(kSideColor);
    const std::optional<QColor> data = colorOption(kDataColor);
    const std::optional<QColor> alternating = colorOption(kAlternatingColor);
    const int headerRows = header ? 1 : 0;
    const int sideColumns = side ? 1 : 0;
    const int rows = int(ids.size()) + headerRows;
    const int columns = int(fields.size()) + sideColumns;

    cursor.insertBlock();
    if (rows == 0 || columns == 0)
        return;
    const QColor borderColour = QColor::fromRgbF(0.3f, 0.3f, 0.3f);
    QTextTableFormat format;
    format.setBorderCollapse(true);
    format.setBorder(kBorderWidth);
    format.setBorderBrush(borderColour);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(kPadding);
    format.setCellSpacing(0);
    QTextTable *table = cursor.insertTable(rows, columns, format);

    for (int r = 0; r < rows; ++r) {
        const bool headerRow = r < headerRows;
        const int record = r - headerRows;
        const QStringList texts =
            headerRow ? QStringList() : recordTexts(database(), tableName(), fields, ids.at(record));
        for (int c = 0; c < columns; ++c) {
            const bool sideCell = c < sideColumns;
            const int field = c - sideColumns;
            QString text;
            if (headerRow && !sideCell)
                text = fields.at(field);
            else if (!headerRow && sideCell)
                text = QString::number(record + 1);
            else if (!headerRow)
                text = texts.at(field);
            std::optional<QColor> background;
            if (headerRow)
                background = header;
            else if (sideCell)
                background = side;
            else if (alternating && record % 2 == 1)
                background = alternating;
            else
                background = data;
            QTextTableCell cell = table->cellAt(r, c);
            // With collapsed borders every cell draws its own edges.
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            cellFormat.setBorder(kBorderWidth);
            cellFormat.setBorderBrush(borderColour);
            cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            cellFormat.setPadding(kPadding);
            if (background)
                cellFormat.setBackground(*background);
            cell.setFormat(cellFormat);
            QTextCursor cellCursor = cell.firstCursorPosition();
            cellCursor.insertText(text);
        }
    }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

std::unique_ptr<QTextDocument> OXTextTable::attributedString() const
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    insertInto(cursor);
    return document;
}
