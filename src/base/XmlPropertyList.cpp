// XmlPropertyList: the XML property-list writer and a small, depth-bounded reader of exactly that vocabulary.
#include "PropertyList.h"
#include "PropertyListInternal.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>

namespace {

constexpr qint64 referenceEpoch = 978307200; // 2001-01-01 00:00:00 UTC in Unix seconds

// Characters XML text cannot carry literally (controls, CR, lone surrogates, U+FFFE/U+FFFF) are written as
// character references so they survive; this reader accepts them, stricter XML readers may not.
QString escapeText(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s.at(i + 1).unicode())) {
            out.append(s.at(i));
            out.append(s.at(++i));
            continue;
        }
        if (c == u'&')
            out.append(QLatin1String("&amp;"));
        else if (c == u'<')
            out.append(QLatin1String("&lt;"));
        else if (c == u'>')
            out.append(QLatin1String("&gt;"));
        else if ((c < 0x20 && c != u'\t' && c != u'\n') || QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            out.append(QLatin1String("&#x") + QString::number(uint(c), 16).toUpper() + QLatin1Char(';'));
        else
            out.append(QChar(c));
    }
    return out;
}

std::optional<QString> formatDate(double seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    const double whole = std::floor(seconds);
    if (std::fabs(whole) > 3.2e11) // beyond the four-digit years the format has
        return std::nullopt;
    const QDateTime dt = QDateTime::fromSecsSinceEpoch(referenceEpoch + qint64(whole), Qt::UTC);
    if (dt.date().year() < 1 || dt.date().year() > 9999)
        return std::nullopt;
    QString text = dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    const double fraction = seconds - whole;
    if (fraction > 0) {
        // Fractions are kept (the usual form has whole seconds only) so a date reads back unchanged.
        QString digits = QString::number(fraction, 'f', 17);
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += digits.mid(1);
    }
    return text + u'Z';
}

class XmlWriter {
public:
    QString error;
    QString out;

    bool value(const Value &v, int depth)
    {
        if (depth > PropertyList::maxDepth) {
            error = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth);
            return false;
        }
        const QString indent(depth, u'\t');
        switch (v.type()) {
        case Value::Type::Null: return true;
        case Value::Type::Bool:
            out += indent + (v.toBool() ? QStringLiteral("<true/>\n") : QStringLiteral("<false/>\n"));
            return true;
        case Value::Type::Int:
            out += indent + QStringLiteral("<integer>") + QString::number(v.toInt()) + QStringLiteral("</integer>\n");
            return true;
        case Value::Type::Real: {
            const double d = v.toDouble();
            const QString text = std::isnan(d)   ? QStringLiteral("nan")
                                 : std::isinf(d) ? (d > 0 ? QStringLiteral("+infinity") : QStringLiteral("-infinity"))
                                 : (d == 0 && std::signbit(d))
                                     ? QStringLiteral("-0") // number() drops the sign of zero
                                     : QString::number(d, 'g', QLocale::FloatingPointShortest);
            out += indent + QStringLiteral("<real>") + text + QStringLiteral("</real>\n");
            return true;
        }
        case Value::Type::String:
            out += indent + QStringLiteral("<string>") + escapeText(v.toString()) + QStringLiteral("</string>\n");
            return true;
        case Value::Type::Data:
            out += indent + QStringLiteral("<data>") + QString::fromLatin1(v.toData().toBase64()) +
                   QStringLiteral("</data>\n");
            return true;
        case Value::Type::Date: {
            const auto text = formatDate(v.toDate());
            if (!text) {
                error = QStringLiteral("date out of range");
                return false;
            }
            out += indent + QStringLiteral("<date>") + *text + QStringLiteral("</date>\n");
            return true;
        }
        case Value::Type::Uid:
            out += indent + QStringLiteral("<dict>\n") + indent + QStringLiteral("\t<key>CF$UID</key>\n") + indent +
                   QStringLiteral("\t<integer>") + QString::number(v.toUid()) + QStringLiteral("</integer>\n") +
                   indent + QStringLiteral("</dict>\n");
            return true;
        case Value::Type::Object: return value(v.attributes(), depth);
        case Value::Type::Image: return value(PropertyListInternal::imageAttributes(v.toImage()), depth);
        case Value::Type::Array:
        case Value::Type::Dict: return container(v, depth, indent);
        }
        return true;
    }

private:
    QList<Value> m_open;

    bool container(const Value &v, int depth, const QString &indent)
    {
        for (const Value &open : m_open)
            if (open.isSameContainer(v)) {
                error = QStringLiteral("a container contains itself");
                return false;
            }
        m_open.append(v);
        const bool isArray = v.isArray();
        const QString tag = isArray ? QStringLiteral("array") : QStringLiteral("dict");
        if (v.isEmpty()) {
            out += indent + u'<' + tag + QStringLiteral("/>\n");
        } else {
            out += indent + u'<' + tag + QStringLiteral(">\n");
            if (isArray) {
                for (const Value &item : v.toList())
                    if (!value(item, depth + 1))
                        return false;
            } else {
                for (const QString &key : v.keys()) {
                    const Value item = v.value(key);
                    if (item.isNull()) // no plist form: the entry is left out
                        continue;
                    out += indent + QStringLiteral("\t<key>") + escapeText(key) + QStringLiteral("</key>\n");
                    if (!value(item, depth + 1))
                        return false;
                }
            }
            out += indent + QStringLiteral("</") + tag + QStringLiteral(">\n");
        }
        m_open.removeLast();
        return true;
    }
};

class XmlReader {
public:
    QString error;

    explicit XmlReader(const QByteArray &bytes) : m_s(bytes) {}

    std::optional<Value> document()
    {
        if (m_s.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        if (!skipMisc())
            return std::nullopt;
        if (atEnd())
            return fail(QStringLiteral("empty document"));
        QByteArray name;
        bool empty = false;
        if (!startTag(name, empty))
            return std::nullopt;
        std::optional<Value> root;
        if (name == "plist") {
            root = Value();
            if (!empty) {
                if (!skipMisc())
                    return std::nullopt;
                if (!lookingAt("</")) {
                    QByteArray child;
                    bool childEmpty = false;
                    if (!startTag(child, childEmpty) || !(root = value(child, childEmpty, 0)))
                        return std::nullopt;
                    if (!skipMisc())
                        return std::nullopt;
                }
                if (!endTag("plist"))
                    return std::nullopt;
            }
        } else if (!(root = value(name, empty, 0))) {
            return std::nullopt;
        }
        if (!skipMisc())
            return std::nullopt;
        if (!atEnd())
            return fail(QStringLiteral("content after the root element"));
        return root;
    }

private:
    QByteArray m_s;
    qsizetype m_pos = 0;

    std::nullopt_t fail(const QString &message)
    {
        if (error.isEmpty())
            error = message + QStringLiteral(" (at byte %1)").arg(m_pos);
        return std::nullopt;
    }
    bool failed(const QString &message)
    {
        fail(message);
        return false;
    }

    bool atEnd() const { return m_pos >= m_s.size(); }
    bool lookingAt(const char *text) const { return m_s.mid(m_pos, qsizetype(qstrlen(text))) == text; }
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isNameChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == ':' || c == '.' || (uchar(c) >= 0x80);
    }

    bool skipPast(const char *terminator)
    {
        const qsizetype end = m_s.indexOf(terminator, m_pos);
        if (end < 0)
            return failed(QStringLiteral("unterminated markup"));
        m_pos = end + qsizetype(qstrlen(terminator));
        return true;
    }

    bool skipDoctype()
    {
        // Skipped whole, internal subset included: no entity it declares is ever expanded.
        int brackets = 0;
        for (; m_pos < m_s.size(); ++m_pos) {
            const char c = m_s.at(m_pos);
            if (c == '[')
                ++brackets;
            else if (c == ']')
                --brackets;
            else if (c == '>' && brackets <= 0) {
                ++m_pos;
                return true;
            }
        }
        return failed(QStringLiteral("unterminated DOCTYPE"));
    }

    // Whitespace, comments, processing instructions and DOCTYPE between elements.
    bool skipMisc()
    {
        for (;;) {
            while (!atEnd() && isSpace(m_s.at(m_pos)))
                ++m_pos;
            if (lookingAt("<!--")) {
                if (!skipPast("-->"))
                    return false;
            } else if (lookingAt("<?")) {
                if (!skipPast("?>"))
                    return false;
            } else if (lookingAt("<!DOCTYPE")) {
                if (!skipDoctype())
                    return false;
            } else {
                return true;
            }
        }
    }

    bool readName(QByteArray &name)
    {
        const qsizetype start = m_pos;
        while (!atEnd() && isNameChar(m_s.at(m_pos)))
            ++m_pos;
        if (m_pos == start)
            return failed(QStringLiteral("expected a name"));
        name = m_s.mid(start, m_pos - start);
        return true;
    }

    bool startTag(QByteArray &name, bool &empty)
    {
        if (!lookingAt("<") || lookingAt("</"))
            return failed(QStringLiteral("expected an element"));
        ++m_pos;
        if (!readName(name))
            return false;
        for (;;) {
            while (!atEnd() && isSpace(m_s.at(m_pos)))
                ++m_pos;
            if (atEnd())
                return failed(QStringLiteral("unterminated tag"));
            if (lookingAt("/>")) {
                m_pos += 2;
                empty = true;
                return true;
            }
            if (m_s.at(m_pos) == '>') {
                ++m_pos;
                empty = false;
                return true;
            }
            QByteArray attribute;
            if (!readName(attribute))
                return false;
            while (!atEnd() && isSpace(m_s.at(m_pos)))
                ++m_pos;
            if (atEnd() || m_s.at(m_pos) != '=')
                return failed(QStringLiteral("malformed attribute"));
            ++m_pos;
            while (!atEnd() && isSpace(m_s.at(m_pos)))
                ++m_pos;
            if (atEnd() || (m_s.at(m_pos) != '"' && m_s.at(m_pos) != '\''))
                return failed(QStringLiteral("malformed attribute"));
            const char quote = m_s.at(m_pos++);
            const qsizetype close = m_s.indexOf(quote, m_pos);
            if (close < 0)
                return failed(QStringLiteral("unterminated attribute"));
            m_pos = close + 1;
        }
    }

    bool endTag(const QByteArray &name)
    {
        if (!lookingAt("</"))
            return failed(QStringLiteral("expected </%1>").arg(QString::fromLatin1(name)));
        m_pos += 2;
        QByteArray found;
        if (!readName(found))
            return false;
        while (!atEnd() && isSpace(m_s.at(m_pos)))
            ++m_pos;
        if (found != name || atEnd() || m_s.at(m_pos) != '>')
            return failed(QStringLiteral("expected </%1>").arg(QString::fromLatin1(name)));
        ++m_pos;
        return true;
    }

    bool entity(QString &out)
    {
        const qsizetype end = m_s.indexOf(';', m_pos);
        if (end < 0 || end - m_pos > 12)
            return failed(QStringLiteral("malformed entity"));
        const QByteArray name = m_s.mid(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
        if (name == "lt")
            out += u'<';
        else if (name == "gt")
            out += u'>';
        else if (name == "amp")
            out += u'&';
        else if (name == "quot")
            out += u'"';
        else if (name == "apos")
            out += u'\'';
        else if (name.startsWith('#')) {
            bool ok = false;
            const uint code = name.startsWith("#x") ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (!ok || code > 0x10FFFF)
                return failed(QStringLiteral("invalid character reference"));
            if (code > 0xFFFF) {
                const char32_t c = code;
                out += QString::fromUcs4(&c, 1);
            } else {
                out += QChar(char16_t(code));
            }
        } else {
            return failed(QStringLiteral("unknown entity &%1;").arg(QString::fromUtf8(name)));
        }
        return true;
    }

    // Character data up to the next tag, with entities, comments and CDATA sections resolved.
    bool text(QString &out)
    {
        for (;;) {
            const qsizetype start = m_pos;
            while (!atEnd() && m_s.at(m_pos) != '<' && m_s.at(m_pos) != '&')
                ++m_pos;
            out += QString::fromUtf8(m_s.constData() + start, m_pos - start);
            if (atEnd())
                return failed(QStringLiteral("unexpected end of document"));
            if (m_s.at(m_pos) == '&') {
                if (!entity(out))
                    return false;
            } else if (lookingAt("<!--")) {
                if (!skipPast("-->"))
                    return false;
            } else if (lookingAt("<![CDATA[")) {
                m_pos += 9;
                const qsizetype end = m_s.indexOf("]]>", m_pos);
                if (end < 0)
                    return failed(QStringLiteral("unterminated CDATA"));
                out += QString::fromUtf8(m_s.constData() + m_pos, end - m_pos);
                m_pos = end + 3;
            } else {
                return true;
            }
        }
    }

    std::optional<QString> elementText(const QByteArray &name, bool empty)
    {
        QString s;
        if (empty)
            return s;
        if (!text(s) || !endTag(name))
            return std::nullopt;
        return s;
    }

    std::optional<Value> value(const QByteArray &name, bool empty, int depth)
    {
        if (depth > PropertyList::maxDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::maxDepth));
        if (name == "dict")
            return dict(empty, depth);
        if (name == "array")
            return array(empty, depth);
        if (name == "true" || name == "false") {
            const auto t = elementText(name, empty);
            if (!t)
                return std::nullopt;
            if (!t->trimmed().isEmpty())
                return fail(QStringLiteral("text inside <%1>").arg(QString::fromLatin1(name)));
            return Value(name == "true");
        }
        const auto t = elementText(name, empty);
        if (!t)
            return std::nullopt;
        if (name == "string" || name == "key")
            return Value(*t);
        if (name == "integer")
            return integer(t->trimmed());
        if (name == "real")
            return real(t->trimmed());
        if (name == "date")
            return date(t->trimmed());
        if (name == "data") {
            QByteArray base64 = t->toLatin1();
            base64.replace(' ', "").replace('\t', "").replace('\n', "").replace('\r', "");
            auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return fail(QStringLiteral("invalid base64 in <data>"));
            return Value(*decoded);
        }
        return fail(QStringLiteral("unknown element <%1>").arg(QString::fromUtf8(name)));
    }

    std::optional<Value> integer(const QString &t)
    {
        bool ok = false;
        qint64 i = 0;
        const bool negative = t.startsWith(u'-');
        const QString digits = (negative || t.startsWith(u'+')) ? t.mid(1) : t;
        if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
            const quint64 u = digits.mid(2).toULongLong(&ok, 16);
            if (ok && (negative ? u <= quint64(1) << 63 : u <= quint64(std::numeric_limits<qint64>::max())))
                i = negative ? qint64(0 - u) : qint64(u);
            else
                ok = false;
        } else if (!digits.isEmpty() && digits.at(0).isDigit()) {
            i = t.toLongLong(&ok, 10);
        }
        if (!ok)
            return fail(QStringLiteral("invalid integer \"%1\"").arg(t.left(40)));
        return Value(i);
    }

    std::optional<Value> real(const QString &t)
    {
        const QString lower = t.toLower();
        if (lower == QStringLiteral("nan"))
            return Value(std::nan(""));
        if (lower == QStringLiteral("inf") || lower == QStringLiteral("+inf") || lower == QStringLiteral("infinity") ||
            lower == QStringLiteral("+infinity"))
            return Value(std::numeric_limits<double>::infinity());
        if (lower == QStringLiteral("-inf") || lower == QStringLiteral("-infinity"))
            return Value(-std::numeric_limits<double>::infinity());
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("invalid real \"%1\"").arg(t.left(40)));
        return Value(d);
    }

    std::optional<Value> date(const QString &t)
    {
        static const QRegularExpression pattern(
            QStringLiteral("^(\\d{4})-(\\d\\d)-(\\d\\d)T(\\d\\d):(\\d\\d):(\\d\\d)(\\.\\d+)?Z$"));
        const auto m = pattern.match(t);
        const QDate day =
            m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
        if (!day.isValid() || m.captured(4).toInt() > 23 || m.captured(5).toInt() > 59 || m.captured(6).toInt() > 60)
            return fail(QStringLiteral("invalid date \"%1\"").arg(t.left(40)));
        const qint64 whole = (day.toJulianDay() - QDate(2001, 1, 1).toJulianDay()) * 86400 +
                             m.captured(4).toInt() * 3600 + m.captured(5).toInt() * 60 + m.captured(6).toInt();
        const double fraction = m.captured(7).isEmpty() ? 0.0 : (QLatin1Char('0') + m.captured(7)).toDouble();
        return Value::date(double(whole) + fraction);
    }

    bool nextChild(bool &done, QByteArray &name, bool &empty, const QByteArray &parent)
    {
        if (!skipMisc())
            return false;
        if (atEnd())
            return failed(QStringLiteral("unexpected end of document"));
        if (lookingAt("</")) {
            done = true;
            return endTag(parent);
        }
        done = false;
        return startTag(name, empty);
    }

    std::optional<Value> array(bool empty, int depth)
    {
        Value array = Value::array();
        for (bool done = empty; !done;) {
            QByteArray name;
            bool childEmpty = false;
            if (!nextChild(done, name, childEmpty, "array"))
                return std::nullopt;
            if (done)
                break;
            const auto item = value(name, childEmpty, depth + 1);
            if (!item)
                return std::nullopt;
            array.append(*item);
        }
        return array;
    }

    std::optional<Value> dict(bool empty, int depth)
    {
        Value dict = Value::dict();
        for (bool done = empty; !done;) {
            QByteArray name;
            bool childEmpty = false;
            if (!nextChild(done, name, childEmpty, "dict"))
                return std::nullopt;
            if (done)
                break;
            if (name != "key")
                return fail(QStringLiteral("expected <key> in <dict>"));
            const auto key = elementText(name, childEmpty);
            if (!key || !skipMisc())
                return std::nullopt;
            if (lookingAt("</"))
                return fail(QStringLiteral("key \"%1\" has no value").arg(key->left(40)));
            if (!startTag(name, childEmpty))
                return std::nullopt;
            const auto item = value(name, childEmpty, depth + 1);
            if (!item)
                return std::nullopt;
            dict.set(*key, *item);
        }
        // The one-entry dictionary {CF$UID: n} is how XML spells a UID.
        if (dict.size() == 1 && dict.contains(QStringLiteral("CF$UID"))) {
            const Value n = dict.value(QStringLiteral("CF$UID"));
            if (n.isInt() && n.toInt() >= 0)
                return Value::uid(quint64(n.toInt()));
        }
        return dict;
    }
};

} // namespace

namespace PropertyListInternal {

QByteArray writeXml(const Value &root, QString *error)
{
    XmlWriter writer;
    writer.out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n");
    if (!writer.value(root, 0)) {
        if (error)
            *error = QStringLiteral("XML property list: ") + writer.error;
        return {};
    }
    writer.out += QStringLiteral("</plist>\n");
    return writer.out.toUtf8();
}

} // namespace PropertyListInternal

namespace PropertyList {

std::optional<Value> readXml(const QByteArray &bytes, QString *error)
{
    QByteArray utf8 = bytes;
    // A UTF-16 document (with its byte-order mark) is read as its UTF-8 equivalent.
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16);
        utf8 = QString(decoder(bytes)).toUtf8();
    }
    XmlReader reader(utf8);
    std::optional<Value> v = reader.document();
    if (!v && error)
        *error = QStringLiteral("XML property list: ") + reader.error;
    QString sizeError;
    if (v && !PropertyListInternal::checkDecodedSize(*v, &sizeError)) {
        if (error)
            *error = QStringLiteral("XML property list: ") + sizeError;
        return std::nullopt;
    }
    return v;
}

} // namespace PropertyList
