// LMDelimitedParser: RFC 4180 fields (a quote opens quoting only at the start of a field, "" inside it is one quote),
// line breaks outside quotes end a record unless nothing has been read for it (so CR LF and blank lines give none).
#include "LMDelimitedParser.h"

namespace {
constexpr char16_t kQuote = u'"';
constexpr char16_t kLineFeed = 10;
constexpr char16_t kReturn = 13;
} // namespace

LMDelimitedParser::LMDelimitedParser(QChar separator, RecordHandler handler)
    : m_separator(separator), m_handler(std::move(handler))
{
}

QString &LMDelimitedParser::field()
{
    while (m_fields.size() <= m_closed)
        m_fields.append(QString());
    return m_fields[m_closed];
}

void LMDelimitedParser::closeField()
{
    ++m_closed;
    m_fieldQuoted = false;
    // Keeps the entry's capacity: no allocation per field once records have been seen.
    field().resize(0);
}

bool LMDelimitedParser::endRecord()
{
    field();
    m_fields.resize(m_closed + 1);
    const bool go = m_handler(m_fields, m_record);
    ++m_record;
    m_closed = 0;
    m_fieldQuoted = false;
    field().resize(0);
    if (!go)
        m_stopped = true;
    return go;
}

bool LMDelimitedParser::feed(QStringView text)
{
    if (m_stopped)
        return false;
    const char16_t separator = m_separator.unicode();
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p < end) {
        if (m_pendingClose) {
            // A quote inside a quoted field: a second one is a literal quote, anything else closes the field.
            m_pendingClose = false;
            if (*p == kQuote) {
                field().append(QChar(kQuote));
                ++p;
                continue;
            }
            m_inQuotes = false;
        }
        if (m_inQuotes) {
            const char16_t *run = p;
            while (p < end && *p != kQuote && *p != 0)
                ++p;
            if (p != run)
                field().append(QStringView(run, p - run));
            if (p == end)
                break;
            if (*p++ == 0)
                return stopAtNul();
            m_pendingClose = true;
            continue;
        }
        // Ordinary characters outside quotes go into the field as one run.
        const char16_t *run = p;
        while (p < end && *p != kQuote && *p != separator && *p != kLineFeed && *p != kReturn && *p != 0)
            ++p;
        if (p != run) {
            field().append(QStringView(run, p - run));
            m_lastWasQuote = false;
        }
        if (p == end)
            break;
        const char16_t c = *p++;
        if (c == 0)
            return stopAtNul();
        if (c == kQuote) {
            if (field().isEmpty() && !m_fieldQuoted) {
                m_inQuotes = true;
                m_fieldQuoted = true;
            } else if (m_lastWasQuote) {
                // A doubled quote in a field that is not enclosed (files written before fields with quotes
                // were enclosed) stands for one.
                m_lastWasQuote = false;
            } else {
                field().append(QChar(kQuote));
                m_lastWasQuote = true;
            }
            continue;
        }
        m_lastWasQuote = false;
        if (c == separator) {
            closeField();
            continue;
        }
        // A line feed or carriage return outside quotes.
        if ((!field().isEmpty() || m_closed > 0 || m_fieldQuoted) && !endRecord())
            return false;
    }
    return true;
}

bool LMDelimitedParser::stopAtNul()
{
    m_sawNul = true;
    m_stopped = true;
    return false;
}

bool LMDelimitedParser::finish()
{
    if (m_stopped)
        return false;
    if (m_pendingClose) {
        m_pendingClose = false;
        m_inQuotes = false;
    }
    return endRecord();
}
