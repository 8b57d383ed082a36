// OXScriptConsole: the script editor's console page: the resource "ScriptConsole.html" driven by its functions.
#pragma once

#include <QJSEngine>
#include <QString>
#include <QStringList>

// Each run opens a session with a fresh identifier; log lines, printed text and errors go to the open session
// (an untitled one is opened first when none is). Texts are made safe for HTML and quoted for the page's
// script before the page's functions are called; html() is the page to show.
class OXScriptConsole {
public:
    OXScriptConsole();

    // False when the page resource is missing or its script does not load; the calls then do nothing.
    bool isLoaded() const { return m_loaded; }
    QString openSession(const QString &title);
    void log(const QString &text);
    void print(const QString &text);
    void error(const QString &message, int line);
    // A line of the console's own ("Stopped").
    void note(const QString &text);
    void clear();
    // The page with its body filled and its script left out.
    QString html();
    // The calls made to the page, in order, as script texts.
    const QStringList &calls() const { return m_calls; }

    // Text as a single-quoted (or double-quoted) script string's content.
    static QString quoted(const QString &text, QChar quote = QLatin1Char('\''));

private:
    void ensureSession();
    void call(const QString &code);

    QJSEngine m_engine;
    QString m_head;
    QString m_sessionId;
    QStringList m_calls;
    bool m_loaded = false;
};
