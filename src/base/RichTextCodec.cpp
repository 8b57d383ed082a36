// RichTextCodec: walks a QTextDocument into the stored dictionary and rebuilds it with a cursor.
#include "RichTextCodec.h"

#include "RichTextFormats.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <vector>

namespace {

constexpr int version = 1;
// Limits of one decoding. Shared references in a property list can repeat a subtree any number of times, so the
// input's size alone does not bound the work.
constexpr qint64 maxNodes = 1'000'000; // paragraphs, runs and table cells
constexpr qint64 maxChars = 1 << 24;   // UTF-16 units of text
constexpr qint64 maxPixels = 1 << 26;  // of all images together
constexpr int maxTableDepth = 16;      // tables inside table cells
constexpr qsizetype maxImageBytes = 1 << 26;

const QString kVersion = QStringLiteral("Rich Text Version");
const QString kFormats = QStringLiteral("Formats");
const QString kLists = QStringLiteral("Lists");
const QString kBlocks = QStringLiteral("Blocks");
const QString kImages = QStringLiteral("Images");
const QString kFormat = QStringLiteral("Format");
const QString kCharFormat = QStringLiteral("Character Format");
const QString kList = QStringLiteral("List");
const QString kRuns = QStringLiteral("Runs");
const QString kText = QStringLiteral("Text");
const QString kTable = QStringLiteral("Table");
const QString kRows = QStringLiteral("Rows");
const QString kColumns = QStringLiteral("Columns");
const QString kCells = QStringLiteral("Cells");
const QString kRowSpan = QStringLiteral("Row Span");
const QString kColumnSpan = QStringLiteral("Column Span");

class Encoder {
public:
    explicit Encoder(const QTextDocument &document) : m_document(document) {}

    Value run()
    {
        const Value blocks = frameContents(m_document.rootFrame()->begin(), false);
        Value stored = Value::dict({{kVersion, version}, {kFormats, m_formats}, {kLists, m_lists}, {kBlocks, blocks}});
        Value images = Value::dict();
        for (const QString &name : std::as_const(m_imageNames)) {
            const QByteArray png = pngOf(name);
            if (!png.isEmpty())
                images.set(name, png);
        }
        if (!images.isEmpty())
            stored.set(kImages, images);
        return stored;
    }

private:
    // Formats are numbered once per format of the document's own collection, and formats that store the same
    // share a number: a copied document may hold equal formats twice, and its stored form must not change.
    int formatNumber(int documentIndex, const QTextFormat &format)
    {
        auto it = m_formatNumbers.constFind(documentIndex);
        if (it != m_formatNumbers.constEnd())
            return *it;
        const Value encoded = RichTextFormats::encode(format);
        int number = -1;
        for (int i = 0; i < m_formats.size() && number < 0; ++i)
            if (m_formats.at(i) == encoded)
                number = i;
        if (number < 0) {
            number = m_formats.size();
            m_formats.append(encoded);
        }
        m_formatNumbers.insert(documentIndex, number);
        return number;
    }

    int listNumber(QTextList *list)
    {
        auto it = m_listNumbers.constFind(list);
        if (it != m_listNumbers.constEnd())
            return *it;
        const int number = m_lists.size();
        m_lists.append(formatNumber(list->formatIndex(), list->format()));
        m_listNumbers.insert(list, number);
        return number;
    }

    Value frameContents(QTextFrame::iterator it, bool inCell)
    {
        Value elements = Value::array();
        for (bool first = true; !it.atEnd(); ++it, first = false) {
            if (QTextFrame *frame = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(frame))
                    elements.append(tableElement(table));
                else
                    for (const Value &inner : frameContents(frame->begin(), false).toList())
                        elements.append(inner);
            } else {
                elements.append(paragraph(it.currentBlock(), inCell && first));
            }
        }
        return elements;
    }

    Value paragraph(const QTextBlock &block, bool firstInCell)
    {
        Value element = Value::dict({{kFormat, formatNumber(block.blockFormatIndex(), block.blockFormat())}});
        if (!firstInCell)
            element.set(kCharFormat, formatNumber(block.charFormatIndex(), block.charFormat()));
        if (QTextList *list = block.textList())
            element.set(kList, listNumber(list));
        Value runs = Value::array();
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat())
                m_imageNames.append(format.toImageFormat().name());
            runs.append(
                Value::dict({{kText, fragment.text()}, {kFormat, formatNumber(fragment.charFormatIndex(), format)}}));
        }
        element.set(kRuns, runs);
        return element;
    }

    Value tableElement(QTextTable *table)
    {
        Value cells = Value::array();
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column) {
                    cells.append(Value::dict());
                    continue;
                }
                Value entry = Value::dict({{kFormat, formatNumber(cell.tableCellFormatIndex(), cell.format())}});
                if (cell.rowSpan() > 1)
                    entry.set(kRowSpan, cell.rowSpan());
                if (cell.columnSpan() > 1)
                    entry.set(kColumnSpan, cell.columnSpan());
                entry.set(kBlocks, frameContents(cell.begin(), true));
                cells.append(entry);
            }
        }
        return Value::dict({{kTable, formatNumber(table->formatIndex(), table->format())},
                            {kRows, table->rows()},
                            {kColumns, table->columns()},
                            {kCells, cells}});
    }

    QByteArray pngOf(const QString &name) const
    {
        const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(name));
        QImage image = resource.value<QImage>();
        if (image.isNull() && resource.typeId() == QMetaType::QByteArray)
            image.loadFromData(resource.toByteArray());
        if (image.isNull())
            return QByteArray();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return buffer.data();
    }

    const QTextDocument &m_document;
    Value m_formats = Value::array();
    Value m_lists = Value::array();
    QHash<int, int> m_formatNumbers;
    QHash<QTextList *, int> m_listNumbers;
    QStringList m_imageNames;
};

// Counts the work of one reading against the limits above.
struct Budget {
    qint64 nodes = 0;
    qint64 chars = 0;
    bool exceeded = false;
    bool spend(qint64 n, qint64 c = 0)
    {
        nodes += n;
        chars += c;
        exceeded = exceeded || nodes > maxNodes || chars > maxChars;
        return !exceeded;
    }
};

// Walks a body as the decoder will, counting its work and, when asked, collecting one line of text per paragraph.
// False once the value is malformed or over budget; it never builds anything, so it is cheap to run first.
bool measureBody(const Value &elements, QStringList *lines, Budget &budget, int depth)
{
    if (depth > maxTableDepth)
        budget.exceeded = true;
    if (!elements.isArray() || budget.exceeded)
        return false;
    for (const Value &element : elements.toList()) {
        if (element.contains(kTable)) {
            const Value cells = element.value(kCells);
            if (!cells.isArray() || !budget.spend(cells.size()))
                return false;
            for (const Value &cell : cells.toList())
                if (!cell.isEmpty() && !measureBody(cell.value(kBlocks), lines, budget, depth + 1))
                    return false;
            continue;
        }
        const Value runs = element.value(kRuns);
        if (!runs.isArray() || !budget.spend(1 + runs.size()))
            return false;
        QString line;
        for (const Value &run : runs.toList()) {
            const QString text = run.value(kText).toString();
            if (!budget.spend(0, text.size()))
                return false;
            if (lines)
                line += text;
        }
        if (lines)
            lines->append(line);
    }
    return true;
}

class Decoder {
public:
    Decoder(const Value &stored, QTextDocument &document) : m_stored(stored), m_document(document) {}

    bool run()
    {
        if (!m_stored.isDict() && !m_stored.isObject())
            return fail(QStringLiteral("the rich text is not a dictionary"));
        const Value v = m_stored.value(kVersion);
        if (!v.isInt() || v.toInt() != version)
            return fail(QStringLiteral("unknown rich text version"));
        m_formats = m_stored.value(kFormats);
        const Value lists = m_stored.value(kLists, Value::array());
        if (!m_formats.isArray() || !lists.isArray())
            return fail(QStringLiteral("the formats or lists are not arrays"));
        m_decodedFormats.resize(m_formats.size());
        m_listFormats = lists;
        m_lists.assign(lists.size(), nullptr);
        Budget budget;
        if (!measureBody(m_stored.value(kBlocks), nullptr, budget, 0))
            return fail(budget.exceeded ? QStringLiteral("the rich text is too large or nested too deeply")
                                        : QStringLiteral("the rich text is malformed"));
        if (!addImages())
            return false;
        QTextCursor cursor(&m_document);
        return elements(m_stored.value(kBlocks), cursor, false, 0);
    }

    QString error() const { return m_error; }

private:
    bool fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return false;
    }

    template <typename Format> std::optional<Format> format(const Value &number)
    {
        if (!number.isInt() || number.toInt() < 0 || number.toInt() >= m_formats.size()) {
            fail(QStringLiteral("a format number is out of range"));
            return std::nullopt;
        }
        std::optional<QTextFormat> &cached = m_decodedFormats[size_t(number.toInt())];
        if (!cached) {
            QTextFormat decoded;
            if (!RichTextFormats::apply(m_formats.at(int(number.toInt())), decoded, &m_error))
                return std::nullopt;
            cached = decoded;
        }
        Format typed;
        const QMap<int, QVariant> properties = cached->properties();
        for (auto it = properties.cbegin(); it != properties.cend(); ++it)
            typed.setProperty(it.key(), it.value());
        return typed;
    }

    bool elements(const Value &list, QTextCursor &cursor, bool inCell, int depth)
    {
        if (!list.isArray() || list.isEmpty())
            return fail(QStringLiteral("a body without paragraphs"));
        // The cursor starts in an empty paragraph of the frame, and each table leaves one after it.
        bool inEmptyParagraph = true;
        for (int i = 0; i < list.size(); ++i) {
            const Value element = list.at(i);
            if (!element.isDict())
                return fail(QStringLiteral("an element is not a dictionary"));
            const bool ok = element.contains(kTable) ? table(element, cursor, depth)
                                                     : paragraph(element, cursor, inEmptyParagraph, inCell && i == 0);
            if (!ok)
                return false;
            inEmptyParagraph = element.contains(kTable);
        }
        return true;
    }

    bool paragraph(const Value &element, QTextCursor &cursor, bool reuse, bool firstInCell)
    {
        const Value runs = element.value(kRuns);
        if (!runs.isArray())
            return fail(QStringLiteral("a paragraph without runs"));
        const std::optional<QTextBlockFormat> blockFormat = format<QTextBlockFormat>(element.value(kFormat));
        std::optional<QTextCharFormat> charFormat = QTextCharFormat();
        if (!firstInCell && element.contains(kCharFormat))
            charFormat = format<QTextCharFormat>(element.value(kCharFormat));
        if (!blockFormat || !charFormat)
            return false;
        if (reuse) {
            cursor.setBlockFormat(*blockFormat);
            // An empty format would only strip what the document itself put on a frame's end.
            if (!charFormat->properties().isEmpty())
                cursor.setBlockCharFormat(*charFormat);
        } else {
            cursor.insertBlock(*blockFormat, *charFormat);
        }
        if (element.contains(kList) && !addToList(element.value(kList), cursor))
            return false;
        for (const Value &run : runs.toList()) {
            const QString text = run.value(kText).toString();
            const std::optional<QTextCharFormat> runFormat = format<QTextCharFormat>(run.value(kFormat));
            if (!runFormat)
                return false;
            cursor.insertText(text, *runFormat);
        }
        return true;
    }

    bool addToList(const Value &number, QTextCursor &cursor)
    {
        if (!number.isInt() || number.toInt() < 0 || number.toInt() >= qint64(m_lists.size()))
            return fail(QStringLiteral("a list number is out of range"));
        QTextList *&list = m_lists[size_t(number.toInt())];
        if (list) {
            list->add(cursor.block());
            return true;
        }
        const std::optional<QTextListFormat> listFormat =
            format<QTextListFormat>(m_listFormats.at(int(number.toInt())));
        if (!listFormat)
            return false;
        list = cursor.createList(*listFormat);
        return true;
    }

    bool table(const Value &element, QTextCursor &cursor, int depth)
    {
        const qint64 rows = element.value(kRows).toInt();
        const qint64 columns = element.value(kColumns).toInt();
        const Value cells = element.value(kCells);
        if (depth >= maxTableDepth)
            return fail(QStringLiteral("tables nested too deeply"));
        if (!element.value(kRows).isInt() || !element.value(kColumns).isInt() || rows < 1 || columns < 1 ||
            !cells.isArray() || rows * columns != cells.size())
            return fail(QStringLiteral("a table whose size does not match its cells"));
        const std::optional<QTextTableFormat> tableFormat = format<QTextTableFormat>(element.value(kTable));
        if (!tableFormat)
            return false;
        QTextTable *table = cursor.insertTable(int(rows), int(columns), *tableFormat);
        if (!mergeCells(table, cells))
            return false;
        for (int i = 0; i < cells.size(); ++i) {
            const Value entry = cells.at(i);
            if (entry.isEmpty())
                continue;
            QTextTableCell cell = table->cellAt(i / int(columns), i % int(columns));
            const std::optional<QTextCharFormat> cellFormat = format<QTextCharFormat>(entry.value(kFormat));
            if (!cellFormat)
                return false;
            cell.setFormat(*cellFormat);
            QTextCursor inCell = cell.firstCursorPosition();
            if (!elements(entry.value(kBlocks), inCell, true, depth + 1))
                return false;
        }
        cursor.setPosition(table->lastPosition() + 1);
        return true;
    }

    // Spans first, then every position must be either the start of a cell with an entry or covered by a span.
    bool mergeCells(QTextTable *table, const Value &cells)
    {
        const int rows = table->rows();
        const int columns = table->columns();
        for (int i = 0; i < cells.size(); ++i) {
            const Value entry = cells.at(i);
            if (!entry.isDict())
                return fail(QStringLiteral("a table cell is not a dictionary"));
            const qint64 rowSpan = entry.value(kRowSpan, 1).toInt();
            const qint64 columnSpan = entry.value(kColumnSpan, 1).toInt();
            const int row = i / columns;
            const int column = i % columns;
            if (rowSpan < 1 || columnSpan < 1 || rowSpan > rows - row || columnSpan > columns - column)
                return fail(QStringLiteral("a cell spans beyond its table"));
            if (rowSpan > 1 || columnSpan > 1)
                table->mergeCells(row, column, int(rowSpan), int(columnSpan));
        }
        for (int i = 0; i < cells.size(); ++i) {
            const Value entry = cells.at(i);
            const QTextTableCell cell = table->cellAt(i / columns, i % columns);
            const bool starts = cell.row() == i / columns && cell.column() == i % columns;
            if (starts != !entry.isEmpty() || (starts && (cell.rowSpan() != entry.value(kRowSpan, 1).toInt() ||
                                                          cell.columnSpan() != entry.value(kColumnSpan, 1).toInt())))
                return fail(QStringLiteral("the merged cells of a table overlap or leave gaps"));
        }
        return true;
    }

    bool addImages()
    {
        const Value images = m_stored.value(kImages, Value::dict());
        if (!images.isDict())
            return fail(QStringLiteral("the images are not a dictionary"));
        for (const QString &name : images.keys()) {
            QByteArray png = images.value(name).toData();
            if (png.size() > maxImageBytes)
                return fail(QStringLiteral("an image is too large"));
            QBuffer buffer(&png);
            QImageReader reader(&buffer, "png");
            const QSize size = reader.size();
            m_pixels += qint64(qMax(0, size.width())) * qMax(0, size.height());
            if (!size.isValid())
                return fail(QStringLiteral("an image is unreadable"));
            if (m_pixels > maxPixels)
                return fail(QStringLiteral("the images are too large"));
            const QImage image = reader.read();
            if (image.isNull())
                return fail(QStringLiteral("an image is unreadable"));
            m_document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
        return true;
    }

    const Value &m_stored;
    QTextDocument &m_document;
    Value m_formats;
    Value m_listFormats;
    std::vector<std::optional<QTextFormat>> m_decodedFormats;
    std::vector<QTextList *> m_lists;
    qint64 m_pixels = 0;
    QString m_error;
};

} // namespace

Value RichTextCodec::encode(const QTextDocument &document)
{
    return Encoder(document).run();
}

bool RichTextCodec::decode(const Value &stored, QTextDocument &document, QString *error)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Decoder decoder(stored, document);
    const bool ok = decoder.run();
    if (!ok)
        document.clear();
    document.setUndoRedoEnabled(undo);
    if (error)
        *error = ok ? QString() : decoder.error();
    return ok;
}

QString RichTextCodec::plainText(const Value &stored)
{
    if (stored.value(kVersion).toInt() != version)
        return QString();
    QStringList lines;
    Budget budget;
    return measureBody(stored.value(kBlocks), &lines, budget, 0) ? lines.join(u'\n') : QString();
}

bool RichTextCodec::containsText(const Value &stored, const QString &text)
{
    return plainText(stored).contains(text, Qt::CaseInsensitive);
}
