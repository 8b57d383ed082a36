// OXScriptConsole: loads the page's script into an engine of its own and renders the page from console_body().
#include "OXScriptConsole.h"

#include "LMUUID.h"
#include "Resources.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {
QString now(const QString &format)
{
    return QDateTime::currentDateTime().toString(format);
}
} // namespace

OXScriptConsole::OXScriptConsole()
{
    const std::optional<QByteArray> page = Resources::read(QStringLiteral("ScriptConsole.html"));
    if (!page)
        return;
    const QString text = QString::fromUtf8(*page);
    static const QRegularExpression script(QStringLiteral("<script[^>]*>(.*)</script>"),
                                           QRegularExpression::DotMatchesEverythingOption |
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = script.match(text);
    if (!match.hasMatch())
        return;
    const QJSValue loaded = m_engine.evaluate(match.captured(1), QStringLiteral("ScriptConsole.html"));
    if (loaded.isError())
        return;
    // The rich-text view runs no scripts: the page is shown without its own.
    QString head = text;
    head.remove(match.capturedStart(0), match.capturedLength(0));
    const qsizetype body = head.indexOf(QStringLiteral("<body"), 0, Qt::CaseInsensitive);
    m_head = body < 0 ? head : head.left(body);
    m_loaded = true;
}

QString OXScriptConsole::quoted(const QString &text, QChar quote)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == quote)
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QChar(0x2028) || c == QChar(0x2029))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16);
        else
            out += c;
    }
    return out;
}

void OXScriptConsole::call(const QString &code)
{
    m_calls.append(code);
    if (m_loaded)
        m_engine.evaluate(code);
}

QString OXScriptConsole::openSession(const QString &title)
{
    m_sessionId = LMUUID::generate();
    call(QStringLiteral("session_add('%1', '%2', '%3');")
             .arg(quoted(m_sessionId), quoted(title.toHtmlEscaped()),
                  quoted(now(QStringLiteral("yyyy-MM-dd HH:mm:ss")))));
    return m_sessionId;
}

void OXScriptConsole::ensureSession()
{
    if (m_sessionId.isEmpty())
        openSession(QString());
}

void OXScriptConsole::log(const QString &text)
{
    ensureSession();
    call(QStringLiteral("log_add('%1', '%2', '%3');")
             .arg(quoted(m_sessionId), quoted(text.toHtmlEscaped()), quoted(now(QStringLiteral("HH:mm:ss")))));
}

void OXScriptConsole::print(const QString &text)
{
    ensureSession();
    call(QStringLiteral("print_addChar('%1', '%2');").arg(quoted(m_sessionId), quoted(text.toHtmlEscaped())));
}

void OXScriptConsole::error(const QString &message, int line)
{
    ensureSession();
    call(QStringLiteral("error_add('%1', \"%2\", '%3');")
             .arg(quoted(m_sessionId), quoted(message.toHtmlEscaped(), QLatin1Char('"')), QString::number(line)));
}

void OXScriptConsole::note(const QString &text)
{
    ensureSession();
    call(QStringLiteral("note_add('%1', '%2');").arg(quoted(m_sessionId), quoted(text.toHtmlEscaped())));
}

void OXScriptConsole::clear()
{
    m_sessionId.clear();
    call(QStringLiteral("console_clear();"));
}

QString OXScriptConsole::html()
{
    if (!m_loaded)
        return QString();
    return m_head + QStringLiteral("<body>") + m_engine.evaluate(QStringLiteral("console_body()")).toString() +
           QStringLiteral("</body></html>");
}
