// LMDelimitedParser: quotes flip quoting anywhere in a field, two quotes in a row give one, line breaks outside
// quotes end a record unless nothing has been read for it yet (so CR LF and blank lines give no record).
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
        // Ordinary characters go into the field as one run: everything but a quote inside quotes, and
        // everything but a quote, the separator and line breaks outside.
        const char16_t *run = p;
        if (m_inQuotes) {
            while (p < end && *p != kQuote && *p != 0)
                ++p;
        } else {
            while (p < end && *p != kQuote && *p != separator && *p != kLineFeed && *p != kReturn && *p != 0)
                ++p;
        }
        if (p != run) {
            field().append(QStringView(run, p - run));
            m_lastWasQuote = false;
        }
        if (p == end)
            break;
        const char16_t c = *p++;
        if (c == 0) {
            m_sawNul = true;
            m_stopped = true;
            return false;
        }
        if (c == kQuote) {
            m_inQuotes = !m_inQuotes;
            if (m_lastWasQuote) {
                field().append(QChar(kQuote));
                m_lastWasQuote = false;
            } else {
                m_lastWasQuote = true;
            }
            continue;
        }
        // Inside quotes the run above stops only at a quote, so c is the separator or a line break outside.
        m_lastWasQuote = false;
        if (c == separator) {
            closeField();
            continue;
        }
        // A line feed or carriage return outside quotes.
        if ((!field().isEmpty() || m_closed > 0) && !endRecord())
            return false;
    }
    return true;
}

bool LMDelimitedParser::finish()
{
    if (m_stopped)
        return false;
    return endRecord();
}
