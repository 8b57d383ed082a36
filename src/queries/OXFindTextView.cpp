// OXFindTextView: cursor positions of a QTextDocument map one to one to the characters of its plain text.
#include "OXFindTextView.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

OXFindTextView::OXFindTextView(QTextEdit *edit) : m_rich(edit) {}
OXFindTextView::OXFindTextView(QPlainTextEdit *edit) : m_plain(edit) {}
OXFindTextView::OXFindTextView(QTextDocument *document)
    : m_document(document), m_cursor(std::make_unique<QTextCursor>(document))
{
}
OXFindTextView::~OXFindTextView() = default;

QWidget *OXFindTextView::widget() const
{
    if (m_rich)
        return m_rich;
    return m_plain;
}

QTextDocument *OXFindTextView::document() const
{
    if (m_rich)
        return m_rich->document();
    if (m_plain)
        return m_plain->document();
    return m_document;
}

QTextCursor OXFindTextView::cursor() const
{
    if (m_rich)
        return m_rich->textCursor();
    if (m_plain)
        return m_plain->textCursor();
    return m_cursor ? *m_cursor : QTextCursor();
}

void OXFindTextView::setCursor(const QTextCursor &cursor)
{
    if (m_rich) {
        m_rich->setTextCursor(cursor);
        m_rich->ensureCursorVisible();
    } else if (m_plain) {
        m_plain->setTextCursor(cursor);
        m_plain->ensureCursorVisible();
    } else if (m_cursor) {
        *m_cursor = cursor;
    }
}

QString OXFindTextView::string() const
{
    QTextDocument *doc = document();
    if (!doc)
        return QString();
    // toPlainText() would turn non-breaking spaces into blanks; the raw text keeps one unit per position.
    QString text = doc->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

int OXFindTextView::selectionLocation() const
{
    return cursor().selectionStart();
}

int OXFindTextView::selectionLength() const
{
    const QTextCursor c = cursor();
    return c.selectionEnd() - c.selectionStart();
}

void OXFindTextView::setSelectedRange(int location, int length)
{
    QTextDocument *doc = document();
    if (!doc)
        return;
    QTextCursor c(doc);
    c.setPosition(location);
    c.setPosition(location + length, QTextCursor::KeepAnchor);
    setCursor(c);
}

void OXFindTextView::replaceRange(int location, int length, const QString &text)
{
    QTextDocument *doc = document();
    if (!doc)
        return;
    QTextCursor c(doc);
    c.setPosition(location);
    c.setPosition(location + length, QTextCursor::KeepAnchor);
    c.beginEditBlock();
    c.insertText(text);
    c.endEditBlock();
    setSelectedRange(location, int(text.size()));
}

void OXFindTextView::setString(const QString &text)
{
    QTextDocument *doc = document();
    if (!doc)
        return;
    QTextCursor c(doc);
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(text);
    c.endEditBlock();
}

void OXFindTextView::showFindIndicator(int location, int length)
{
    ++m_indicatorCount;
    QTextDocument *doc = document();
    if (!doc || length <= 0 || !widget())
        return;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(doc);
    mark.cursor.setPosition(location);
    mark.cursor.setPosition(location + length, QTextCursor::KeepAnchor);
    mark.format.setBackground(QColor(255, 230, 0));
    const QList<QTextEdit::ExtraSelection> marks{mark};
    if (m_rich)
        m_rich->setExtraSelections(marks);
    else if (m_plain)
        m_plain->setExtraSelections(marks);
    // The indicator fades: the view's own extra selections return after a moment.
    QPointer<QTextEdit> rich = m_rich;
    QPointer<QPlainTextEdit> plain = m_plain;
    QTimer::singleShot(700, widget(), [rich, plain] {
        if (rich)
            rich->setExtraSelections({});
        if (plain)
            plain->setExtraSelections({});
    });
}
