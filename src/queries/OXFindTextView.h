// OXFindTextView: what the find panel needs from a text view, over either a QTextEdit or a QPlainTextEdit.
#pragma once

#include <QPointer>
#include <QString>
#include <memory>

class QPlainTextEdit;
class QTextCursor;
class QTextDocument;
class QTextEdit;
class QWidget;

class OXFindTextView {
public:
    explicit OXFindTextView(QTextEdit *edit);
    explicit OXFindTextView(QPlainTextEdit *edit);
    // A document without a view (scripts and the command line): the selection is kept here.
    explicit OXFindTextView(QTextDocument *document);
    ~OXFindTextView();

    QWidget *widget() const;
    bool isValid() const { return document() != nullptr; }
    // The characters, one per cursor position (paragraph breaks read as "\n").
    QString string() const;
    // (location, length) of the selection.
    int selectionLocation() const;
    int selectionLength() const;
    // Selects the range and scrolls it into view.
    void setSelectedRange(int location, int length);
    // Replaces a range as one undoable edit and selects the inserted text.
    void replaceRange(int location, int length, const QString &text);
    // Replaces every character as one undoable edit.
    void setString(const QString &text);
    // Briefly marks the range so the eye finds it (the find indicator).
    void showFindIndicator(int location, int length);
    int findIndicatorCount() const { return m_indicatorCount; }

private:
    QTextDocument *document() const;
    QTextCursor cursor() const;
    void setCursor(const QTextCursor &cursor);

    QPointer<QTextEdit> m_rich;
    QPointer<QPlainTextEdit> m_plain;
    QPointer<QTextDocument> m_document;
    std::unique_ptr<QTextCursor> m_cursor;
    int m_indicatorCount = 0;
};
