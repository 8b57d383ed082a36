// LMRichTextClipboard: a small RTF writer and a tolerant RTF-to-text reader (no formatting is kept).
#include "LMRichTextClipboard.h"

#include <cctype>
#include <vector>

QByteArray LMRichTextClipboard::rtfFromPlainText(const QString &text)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}}\\f0\\fs24 ";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\par\n";
        } else if (u == '\r') {
            continue;
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // RTF's \u takes a signed 16-bit number, followed by a one-character fallback.
            out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
        }
    }
    out += '}';
    return out;
}

namespace {
bool isSkippedDestination(const QByteArray &word)
{
    static const QByteArray skipped[] = {
        "fonttbl",   "colortbl",          "stylesheet",       "info",     "pict", "header", "footer",
        "listtable", "listoverridetable", "expandedcolortbl", "generator"};
    for (const QByteArray &s : skipped)
        if (word == s)
            return true;
    return false;
}
} // namespace

QString LMRichTextClipboard::plainTextFromRtf(const QByteArray &rtf)
{
    QString out;
    std::vector<bool> skipStack{false};
    int pendingFallback = 0; // characters to drop after a \u escape
    const int n = int(rtf.size());
    QByteArray hexBytes; // \'hh bytes in the document's code page (read as Latin-1 / Windows-1252)
    const auto flushHex = [&] {
        if (!hexBytes.isEmpty()) {
            if (!skipStack.back())
                out += QString::fromLatin1(hexBytes);
            hexBytes.clear();
        }
    };
    for (int i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            flushHex();
            skipStack.push_back(skipStack.back());
            if (i + 2 < n && rtf[i + 1] == '\\' && rtf[i + 2] == '*')
                skipStack.back() = true;
            continue;
        }
        if (c == '}') {
            flushHex();
            if (skipStack.size() > 1)
                skipStack.pop_back();
            continue;
        }
        if (c == '\\') {
            if (i + 1 >= n)
                break;
            const char next = rtf[i + 1];
            if (next == '\'' && i + 3 < n) {
                bool ok = false;
                const int byte = rtf.mid(i + 2, 2).toInt(&ok, 16);
                if (ok) {
                    if (pendingFallback > 0)
                        --pendingFallback;
                    else
                        hexBytes += char(byte);
                }
                i += 3;
                continue;
            }
            flushHex();
            if (!std::isalpha(static_cast<unsigned char>(next))) {
                if (!skipStack.back() && (next == '\\' || next == '{' || next == '}'))
                    out += QLatin1Char(next);
                else if (!skipStack.back() && next == '~')
                    out += QChar(0xA0);
                ++i;
                continue;
            }
            int j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            int k = j;
            if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])))
                    ++k;
            }
            const QByteArray parameter = rtf.mid(j, k - j);
            if (k < n && rtf[k] == ' ')
                ++k;
            i = k - 1;
            if (isSkippedDestination(word)) {
                skipStack.back() = true;
                continue;
            }
            if (skipStack.back())
                continue;
            if (word == "par" || word == "line")
                out += QLatin1Char('\n');
            else if (word == "tab")
                out += QLatin1Char('\t');
            else if (word == "u") {
                int code = parameter.toInt();
                if (code < 0)
                    code += 65536;
                out += QChar(char16_t(code));
                pendingFallback = 1;
            }
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        if (pendingFallback > 0) {
            --pendingFallback;
            continue;
        }
        flushHex();
        if (!skipStack.back())
            out += QLatin1Char(c);
    }
    flushHex();
    return out;
}
