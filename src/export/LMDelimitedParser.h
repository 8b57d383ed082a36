// LMDelimitedParser: delimited text (RFC 4180) as an incremental parser, fed text in pieces, one record out at a time.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

class LMDelimitedParser {
public:
    // Called with each finished record and its number (from 0); return false to stop parsing.
    using RecordHandler = std::function<bool(QStringList &fields, qint64 record)>;

    LMDelimitedParser(QChar separator, RecordHandler handler);

    // Parses the next piece of text; false once the handler stopped it (later pieces are ignored).
    bool feed(QStringView text);
    // Handles the last record, whatever its content (an empty text gives one record of one empty field).
    bool finish();

    bool stopped() const { return m_stopped; }
    // A quote was opened and never closed by the end of the text.
    bool inQuotes() const { return m_inQuotes && !m_pendingClose; }
    // The record the open quote belongs to.
    qint64 recordNumber() const { return m_record; }
    // Set when a NUL character was met: the text is binary data; parsing stops there.
    bool sawNul() const { return m_sawNul; }

private:
    bool endRecord();
    // The field being read: an entry of m_fields, whose storage is reused from record to record.
    QString &field();
    void closeField();
    bool stopAtNul();

    QChar m_separator;
    RecordHandler m_handler;
    QStringList m_fields;
    bool m_inQuotes = false;
    bool m_lastWasQuote = false; // outside quotes: the last character was a quote
    bool m_pendingClose = false; // inside quotes: a quote was read; the next character decides what it was
    bool m_fieldQuoted = false;  // the current field began with a quote
    qint64 m_record = 0;
    int m_closed = 0;
    bool m_stopped = false;
    bool m_sawNul = false;
};
