// LMRtfWriter: one pass over the document's frames, blocks and fragments; fonts and colours are collected into
// the header's tables as they are met, so the body is written first and the header put in front.
#include "LMRtfWriter.h"

#include "LMReportPageLayout.h"

#include <QHash>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <cmath>

namespace {
int twips(double points)
{
    return int(std::lround(points * 20));
}

class Writer {
public:
    explicit Writer(const QTextDocument &document) : m_document(document)
    {
        m_fonts << document.defaultFont().family();
        m_colours << QColor(Qt::black);
    }

    QByteArray run(const QPageLayout &layout)
    {
        const QSizeF paper = LMReportPageLayout(layout).paperSize();
        const QMarginsF m = layout.margins(QPageLayout::Point);
        m_textWidth = std::max(72.0, paper.width() - m.left() - m.right());
        writeFrame(m_document.rootFrame(), false);
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil " + escape(m_fonts.at(i)) + ";}";
        out += "}\n{\\colortbl;";
        for (const QColor &c : std::as_const(m_colours))
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
                   QByteArray::number(c.blue()) + ";";
        out += "}\n";
        out += "\\paperw" + QByteArray::number(twips(paper.width())) + "\\paperh" +
               QByteArray::number(twips(paper.height())) + "\\margl" + QByteArray::number(twips(m.left())) + "\\margr" +
               QByteArray::number(twips(m.right())) + "\\margt" + QByteArray::number(twips(m.top())) + "\\margb" +
               QByteArray::number(twips(m.bottom()));
        if (layout.orientation() == QPageLayout::Landscape)
            out += "\\landscape";
        out += "\n" + m_body + "}\n";
        return out;
    }

private:
    static QByteArray escape(const QString &text)
    {
        QByteArray out;
        for (const QChar c : text) {
            const ushort u = c.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += '\\';
                out += char(u);
            } else if (u == '\t') {
                out += "\\tab ";
            } else if (u == QChar::LineSeparator || u == '\n') {
                out += "\\line ";
            } else if (u == QChar::Nbsp) {
                out += "\\~";
            } else if (u >= 0x20 && u < 0x80) {
                out += char(u);
            } else if (u < 0x20) {
                // Other control characters have no meaning in running text.
            } else {
                // Signed 16-bit as RTF wants it, with "?" for readers without Unicode.
                out += "\\u" + QByteArray::number(qint16(u)) + "?";
            }
        }
        return out;
    }

    int fontIndex(const QString &family)
    {
        int i = int(m_fonts.indexOf(family));
        if (i < 0) {
            m_fonts << family;
            i = int(m_fonts.size()) - 1;
        }
        return i;
    }

    // 1-based, as the colour table's first entry is "auto".
    int colourIndex(const QColor &colour)
    {
        const QColor opaque = QColor(colour.red(), colour.green(), colour.blue());
        int i = int(m_colours.indexOf(opaque));
        if (i < 0) {
            m_colours << opaque;
            i = int(m_colours.size()) - 1;
        }
        return i + 1;
    }

    QByteArray paragraphFormat(const QTextBlockFormat &format, bool inTable)
    {
        QByteArray out = "\\pard\\plain";
        if (inTable)
            out += "\\intbl";
        const Qt::Alignment a = format.alignment();
        if (a & Qt::AlignHCenter)
            out += "\\qc";
        else if (a & Qt::AlignRight)
            out += "\\qr";
        else if (a & Qt::AlignJustify)
            out += "\\qj";
        if (format.leftMargin() != 0 || format.indent() != 0)
            out += "\\li" + QByteArray::number(twips(format.leftMargin() + format.indent() * 36));
        if (format.rightMargin() != 0)
            out += "\\ri" + QByteArray::number(twips(format.rightMargin()));
        if (format.textIndent() != 0)
            out += "\\fi" + QByteArray::number(twips(format.textIndent()));
        if (format.topMargin() != 0)
            out += "\\sb" + QByteArray::number(twips(format.topMargin()));
        if (format.bottomMargin() != 0)
            out += "\\sa" + QByteArray::number(twips(format.bottomMargin()));
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            out += "\\pagebb";
        if (format.background().style() != Qt::NoBrush)
            out += "\\cbpat" + QByteArray::number(colourIndex(format.background().color()));
        return out + " ";
    }

    QByteArray characterFormat(const QTextCharFormat &format)
    {
        const QFont font = format.font();
        QByteArray out = "\\f" + QByteArray::number(fontIndex(font.family()));
        const double size = font.pointSizeF() > 0 ? font.pointSizeF() : m_document.defaultFont().pointSizeF();
        if (size > 0)
            out += "\\fs" + QByteArray::number(int(std::lround(size * 2)));
        if (font.bold())
            out += "\\b";
        if (font.italic())
            out += "\\i";
        if (font.underline())
            out += "\\ul";
        if (font.strikeOut())
            out += "\\strike";
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            out += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            out += "\\sub";
        if (format.foreground().style() != Qt::NoBrush)
            out += "\\cf" + QByteArray::number(colourIndex(format.foreground().color()));
        if (format.background().style() != Qt::NoBrush)
            out += "\\highlight" + QByteArray::number(colourIndex(format.background().color()));
        return out + " ";
    }

    void writeBlock(const QTextBlock &block, bool inTable, bool endsCell)
    {
        m_body += paragraphFormat(block.blockFormat(), inTable);
        if (const QTextList *list = block.textList()) {
            const int index = list->itemNumber(block);
            m_body += "{" + escape(list->itemText(block)) + "\\tab}";
            Q_UNUSED(index)
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            m_body += "{" + characterFormat(fragment.charFormat()) + escape(fragment.text()) + "}";
        }
        m_body += endsCell ? "\\cell\n" : "\\par\n";
    }

    void writeFrame(const QTextFrame *frame, bool inTable)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(child))
                    writeTable(table);
                else
                    writeFrame(child, inTable);
            } else if (it.currentBlock().isValid()) {
                writeBlock(it.currentBlock(), inTable, false);
            }
        }
    }

    // Cells hold their paragraphs; the last paragraph of a cell ends it. A table inside a cell is flattened
    // into paragraphs, which every RTF reader understands.
    void writeTable(const QTextTable *table)
    {
        const int rows = table->rows();
        const int columns = table->columns();
        const double width = m_textWidth; // the columns share the width of the page's text
        for (int r = 0; r < rows; ++r) {
            QByteArray row = "\\trowd\\trgaph108";
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.format().background().style() != Qt::NoBrush)
                    row += "\\clcbpat" + QByteArray::number(colourIndex(cell.format().background().color()));
                row += "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs";
                row += "\\cellx" + QByteArray::number(twips(width * (c + 1) / columns));
            }
            m_body += row + "\n";
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c) {
                    // Covered by a merged cell: an empty cell keeps the row's columns.
                    m_body += "\\pard\\plain\\intbl\\cell\n";
                    continue;
                }
                QList<QTextBlock> blocks;
                for (auto it = cell.begin(); !it.atEnd(); ++it)
                    if (it.currentBlock().isValid())
                        blocks << it.currentBlock();
                if (blocks.isEmpty()) {
                    m_body += "\\pard\\plain\\intbl\\cell\n";
                    continue;
                }
                for (int b = 0; b < blocks.size(); ++b)
                    writeBlock(blocks.at(b), true, b == blocks.size() - 1);
            }
            m_body += "\\row\n";
        }
        m_body += "\\pard\n";
    }

    const QTextDocument &m_document;
    QStringList m_fonts;
    QList<QColor> m_colours;
    QByteArray m_body;
    double m_textWidth = 468;
};
} // namespace

QByteArray LMRtfWriter::write(const QTextDocument &document, const QPageLayout &layout)
{
    return Writer(document).run(layout);
}
