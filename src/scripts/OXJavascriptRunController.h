// OXJavascriptRunController: runs one script (bridge library header, code, optional call) in its own engine.
#pragma once

#include "Value.h"

#include <QJSEngine>
#include <QJSValue>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class MyDocument;
class OXFormScriptHost;
class OXScriptBridge;
class OXScriptHostQueue;
class OXScriptWatchdog;
class QThread;

// Receives the end of a run and each uncaught error ({"message", "lineNumber"} counted from the script's line 1).
class OXScriptRunDelegate {
public:
    virtual ~OXScriptRunDelegate() = default;
    virtual void scriptFinished(bool success) = 0;
    virtual void scriptError(const Value &error) = 0;
};

// Receives console output (xwLog_, xwPrint_).
class OXScriptLogView {
public:
    virtual ~OXScriptLogView() = default;
    virtual void logToConsole(const QString &text) = 0;
    virtual void printToConsole(const QString &text) = 0;
};

// The engine runs on a thread of its own, so the window stays responsive and stop() ends even a loop that never
// calls the host. Host calls that touch the document, its windows or dialogs run on the thread that made the
// controller (OXScriptHostQueue). A controller made on a script's thread (xwRunScript_) runs there, inline.
// Delegate and log-view messages arrive on the thread that made the controller.
class OXJavascriptRunController : public QObject {
    Q_OBJECT
public:
    // `document` is not owned and may be null (a script that reaches no data). The document must outlive the
    // controller; destroying the controller stops its run and waits for it.
    OXJavascriptRunController(const QString &code, MyDocument *document, QObject *parent = nullptr);
    ~OXJavascriptRunController() override;
    // The code of the script with that name ("" when there is none).
    static std::unique_ptr<OXJavascriptRunController> withScriptName(const QString &name, MyDocument *document);
    // Runs the named script of the document in a new controller; false when there is no such script.
    static bool runScriptNamed(const QString &name, MyDocument *document, OXScriptLogView *logView = nullptr);

    // A declaration "function NAME (...)" in the code (an assignment of a function does not count).
    static bool script(const QString &code, const QString &respondsToFunction);
    // The bridge library that precedes every script: "JavascriptBridge.js", or the built-in text without it.
    static QString bridgeLibrary();

    QString code() const { return m_code; }
    MyDocument *document() const { return m_document; }
    void setFormName(const QString &name) { m_formName = name; }
    QString formName() const { return m_formName; }
    // The form the script runs for (not owned; null when it runs for none).
    void setFormHost(OXFormScriptHost *host) { m_formHost = host; }
    OXFormScriptHost *formHost() const { return m_formHost; }
    void setDelegate(OXScriptRunDelegate *delegate) { m_delegate = delegate; }
    OXScriptRunDelegate *delegate() const { return m_delegate; }
    void setLogView(OXScriptLogView *logView) { m_logView = logView; }
    OXScriptLogView *logView() const { return m_logView; }
    // Milliseconds after which a run is interrupted as runaway; 0 (the default) for no limit.
    void setTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }

    // The text that precedes the script, and the number of its lines plus one.
    QString header() const;
    int headerLines() const;
    // "\n\nNAME(ARG, ARG);" for a non-empty name, else "".
    static QString callText(const QString &function, const QStringList &arguments);

    // Runs the whole script, then calls `function` with the arguments (each a script expression), and waits
    // for the end (serving the script's host calls meanwhile). Answers whether the run finished (not
    // interrupted); errors go to the delegate and errors().
    bool run();
    bool runFunction(const QString &function, const QStringList &arguments = {});
    // The same without waiting: the caller's event loop serves the host calls, and the delegate and
    // finished() tell the end. False (and nothing starts) while a run is under way.
    bool start();
    bool startFunction(const QString &function, const QStringList &arguments = {});
    // Calls a global function of the loaded script / evaluates text in its context, and waits for it. The
    // result is the interpreter's, detached from the engine: primitives as they are, objects as their text.
    QJSValue executeFunction(const QString &name, const QJSValueList &arguments = {});
    QJSValue executeCode(const QString &code);

    // Ends a running script; callable from any thread (the engine checks the flag while it runs), and from a
    // script that has not started yet.
    void stop();
    void stopScript() { stop(); }
    // From start (or run) until the end has been told; read on the thread that made the controller.
    bool isRunning() const { return m_busy.load(); }

    // Every error reported in this controller's runs, in order.
    const QList<Value> &errors() const { return m_errors; }
    bool wasInterrupted() const { return m_interrupted; }
    // How deeply xwRunScript_ calls are nested (a script that runs itself would never end).
    int nesting() const { return m_nesting; }
    void setNesting(int nesting) { m_nesting = nesting; }
    // The script run by xwRunScript_ while it runs (engine thread), so that stop() reaches it.
    void setInnerRun(OXJavascriptRunController *inner);

    // Runs `work` on the thread that owns the document (from the script's thread: waits for it there).
    void onHost(const std::function<void()> &work);

signals:
    void finished(bool success);
    void failed(const QString &message, int lineNumber);

private:
    // Runs `job` on the engine's thread and waits for it, serving host calls meanwhile.
    void onEngine(const std::function<void()> &job);
    // Engine thread: makes the engine and installs the bridge; tears them down.
    void createEngine();
    void destroyEngine();
    // Starts a run; `wait` when the caller waits for it and tells the end itself.
    bool begin(const QString &function, const QStringList &arguments, bool wait);
    // Engine thread: the whole run, then the end is told on the owner thread.
    void runJob(const QString &page, int lineOffset, bool wait);
    void finishRun(bool success);
    // Evaluates text and reports an uncaught error with its line shifted by `lineOffset` (engine thread).
    QJSValue evaluate(const QString &program, int lineOffset);
    void reportError(const QString &message, int engineLine, int lineOffset);

    QString m_code;
    MyDocument *m_document = nullptr;
    QString m_formName;
    OXFormScriptHost *m_formHost = nullptr;
    OXScriptRunDelegate *m_delegate = nullptr;
    OXScriptLogView *m_logView = nullptr;
    int m_timeLimit = 0;
    int m_nesting = 0;
    std::shared_ptr<OXScriptHostQueue> m_host;
    // Null when the controller runs inline on the script thread that made it.
    std::unique_ptr<QThread> m_thread;
    QObject *m_threadContext = nullptr;
    std::atomic<QJSEngine *> m_engine{nullptr};
    OXScriptBridge *m_bridge = nullptr;
    std::unique_ptr<OXScriptWatchdog> m_watchdog;
    // Set while the engine evaluates (engine thread), and from start until the end is told (owner thread).
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_jobDone{true};
    std::atomic<bool> m_stopRequested{false};
    // A script run by xwRunScript_ from this one, so that stop() reaches it too.
    OXJavascriptRunController *m_inner = nullptr;
    std::mutex m_innerMutex;
    std::atomic<bool> m_interrupted{false};
    QList<Value> m_errors;
};
