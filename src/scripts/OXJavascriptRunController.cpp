// OXJavascriptRunController: one engine per run on its own thread, the bridge installed as window.OrvixController.
#include "OXJavascriptRunController.h"

#include "MyDocument.h"
#include "OXScriptBridge.h"
#include "OXScriptHostQueue.h"
#include "OXScriptWatchdog.h"
#include "Resources.h"

#include <QRegularExpression>
#include <QThread>

namespace {
const char *builtInBridge = "var Tools = function() {}\n"
                            "Tools.ShowAlert = function(message) { window.OrvixController.xwShowMessage_(message); }\n"
                            "Tools.Log = function(message) { window.OrvixController.xwLog_(message); }\n";

// Deep recursion in a script needs more than the smallest stacks some systems give new threads.
constexpr uint scriptStackSize = 8 * 1024 * 1024;

// Set on a script's thread: controllers made there (xwRunScript_) run inline and send host calls the same way.
thread_local std::shared_ptr<OXScriptHostQueue> t_hostQueue;

// The line of the innermost frame of an engine stack trace ("function:line:column:file").
int lineFromStack(const QStringList &stack)
{
    if (stack.isEmpty())
        return 0;
    const QStringList parts = stack.first().split(QLatin1Char(':'));
    return parts.size() > 1 ? parts[1].toInt() : 0;
}

// The first frame of an error's "stack" text ("name@file:line" lines) that lies in the script; `lineOffset`
// when none does (so that the line reported is 0, unknown).
int lineInScript(const QString &stack, int lineOffset)
{
    for (const QString &frame : stack.split(QLatin1Char('\n'))) {
        const int line = frame.section(QLatin1Char(':'), -1).toInt();
        if (line > lineOffset)
            return line;
    }
    return lineOffset;
}

// A result the caller may keep after the engine's thread has moved on: objects become their text.
QJSValue detached(const QJSValue &value)
{
    if (value.isUndefined())
        return QJSValue(QJSValue::UndefinedValue);
    if (value.isNull())
        return QJSValue(QJSValue::NullValue);
    if (value.isBool())
        return QJSValue(value.toBool());
    if (value.isNumber())
        return QJSValue(value.toNumber());
    return QJSValue(value.toString());
}
} // namespace

OXJavascriptRunController::OXJavascriptRunController(const QString &code, MyDocument *document, QObject *parent)
    : QObject(parent), m_code(code), m_document(document)
{
    if (t_hostQueue) {
        m_host = t_hostQueue;
        createEngine();
        return;
    }
    m_host = std::make_shared<OXScriptHostQueue>();
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("Script"));
    m_thread->setStackSize(scriptStackSize);
    m_threadContext = new QObject;
    m_threadContext->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_threadContext, &QObject::deleteLater);
    m_thread->start();
    const std::shared_ptr<OXScriptHostQueue> host = m_host;
    onEngine([this, host] {
        t_hostQueue = host;
        createEngine();
    });
}

OXJavascriptRunController::~OXJavascriptRunController()
{
    stop();
    if (!m_thread) {
        destroyEngine();
        return;
    }
    m_host->waitUntil([this] { return m_jobDone.load(); });
    onEngine([this] {
        destroyEngine();
        t_hostQueue.reset();
    });
    m_thread->quit();
    m_thread->wait();
}

void OXJavascriptRunController::createEngine()
{
    auto *engine = new QJSEngine;
    QJSValue global = engine->globalObject();
    global.setProperty(QStringLiteral("window"), global);
    m_bridge = new OXScriptBridge(*this, *engine);
    m_bridge->install();
    m_watchdog = std::make_unique<OXScriptWatchdog>(*engine);
    m_engine = engine;
}

void OXJavascriptRunController::destroyEngine()
{
    m_watchdog.reset();
    delete m_engine.exchange(nullptr);
    delete m_bridge;
    m_bridge = nullptr;
}

std::unique_ptr<OXJavascriptRunController> OXJavascriptRunController::withScriptName(const QString &name,
                                                                                     MyDocument *document)
{
    QString code;
    if (document) {
        const Value script = document->scriptNamed(name);
        if (script.isDict())
            code = script.value(QStringLiteral("Code String")).toString();
    }
    return std::make_unique<OXJavascriptRunController>(code, document);
}

bool OXJavascriptRunController::runScriptNamed(const QString &name, MyDocument *document, OXScriptLogView *logView)
{
    if (name.isEmpty() || !document || !document->scriptNamed(name).isDict())
        return false;
    auto controller = withScriptName(name, document);
    controller->setLogView(logView);
    controller->run();
    return true;
}

bool OXJavascriptRunController::script(const QString &code, const QString &respondsToFunction)
{
    const QRegularExpression declaration(
        QStringLiteral("function %1\\s*\\([^\\)]*\\)").arg(QRegularExpression::escape(respondsToFunction)));
    return declaration.match(code).hasMatch();
}

QString OXJavascriptRunController::bridgeLibrary()
{
    const std::optional<QByteArray> resource = Resources::read(QStringLiteral("JavascriptBridge.js"));
    if (resource && !resource->trimmed().isEmpty())
        return QString::fromUtf8(*resource);
    return QString::fromLatin1(builtInBridge);
}

QString OXJavascriptRunController::header() const
{
    return bridgeLibrary() + QStringLiteral("\n\n");
}

int OXJavascriptRunController::headerLines() const
{
    return 1 + int(header().count(QLatin1Char('\n')));
}

QString OXJavascriptRunController::callText(const QString &function, const QStringList &arguments)
{
    if (function.isEmpty())
        return QString();
    return QStringLiteral("\n\n%1(%2);").arg(function, arguments.join(QStringLiteral(", ")));
}

void OXJavascriptRunController::onEngine(const std::function<void()> &job)
{
    if (!m_thread) {
        job();
        return;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<OXScriptHostQueue> host = m_host;
    QMetaObject::invokeMethod(
        m_threadContext,
        [job, done, host] {
            job();
            *done = true;
            host->wake();
        },
        Qt::QueuedConnection);
    m_host->waitUntil([done] { return done->load(); });
}

void OXJavascriptRunController::onHost(const std::function<void()> &work)
{
    m_host->call(work);
}

bool OXJavascriptRunController::run()
{
    return runFunction(QString());
}

bool OXJavascriptRunController::runFunction(const QString &function, const QStringList &arguments)
{
    if (!begin(function, arguments, true))
        return false;
    if (m_thread) {
        m_host->waitUntil([this] { return m_jobDone.load(); });
        finishRun(!m_interrupted);
    }
    return !m_interrupted;
}

bool OXJavascriptRunController::start()
{
    return startFunction(QString());
}

bool OXJavascriptRunController::startFunction(const QString &function, const QStringList &arguments)
{
    return begin(function, arguments, false);
}

bool OXJavascriptRunController::begin(const QString &function, const QStringList &arguments, bool wait)
{
    if (m_busy.exchange(true))
        return false;
    m_interrupted = false;
    m_stopRequested = false;
    m_jobDone = false;
    const QString page = header() + m_code + callText(function, arguments);
    const int offset = headerLines() - 1;
    if (!m_thread) {
        // Inline on a script's thread: the run is part of the host call that made it.
        runJob(page, offset, true);
        const bool success = !m_interrupted;
        onHost([this, success] { finishRun(success); });
        return true;
    }
    // run() waits and tells the end itself; a started run tells it through the owner's event loop.
    QMetaObject::invokeMethod(
        m_threadContext, [this, page, offset, wait] { runJob(page, offset, wait); }, Qt::QueuedConnection);
    return true;
}

void OXJavascriptRunController::runJob(const QString &page, int lineOffset, bool wait)
{
    evaluate(page, lineOffset);
    const bool success = !m_interrupted;
    m_jobDone = true;
    m_host->wake();
    if (!wait)
        QMetaObject::invokeMethod(
            this, [this, success] { finishRun(success); }, Qt::QueuedConnection);
}

void OXJavascriptRunController::finishRun(bool success)
{
    m_busy = false;
    if (m_delegate)
        m_delegate->scriptFinished(success);
    emit finished(success);
}

QJSValue OXJavascriptRunController::executeFunction(const QString &name, const QJSValueList &arguments)
{
    QJSValue out(QJSValue::UndefinedValue);
    m_stopRequested = false;
    const int lineOffset = headerLines() - 1;
    onEngine([&] {
        QJSEngine &engine = *m_engine;
        QJSValue function = engine.globalObject().property(name);
        if (!function.isCallable())
            return;
        m_running = true;
        m_interrupted = false;
        engine.setInterrupted(m_stopRequested.load());
        m_watchdog->start(m_timeLimit);
        QJSValue result = function.call(arguments);
        m_watchdog->finish();
        m_running = false;
        if (engine.isInterrupted()) {
            m_interrupted = true;
            engine.setInterrupted(false);
            return;
        }
        if (result.isError())
            reportError(result.toString(), result.property(QStringLiteral("lineNumber")).toInt(), lineOffset);
        out = detached(result);
    });
    return out;
}

QJSValue OXJavascriptRunController::executeCode(const QString &code)
{
    QJSValue out(QJSValue::UndefinedValue);
    m_stopRequested = false;
    onEngine([&] { out = detached(evaluate(code, 0)); });
    return out;
}

void OXJavascriptRunController::setInnerRun(OXJavascriptRunController *inner)
{
    std::lock_guard lock(m_innerMutex);
    m_inner = inner;
}

void OXJavascriptRunController::stop()
{
    m_stopRequested = true;
    {
        std::lock_guard lock(m_innerMutex);
        if (m_inner)
            m_inner->stop();
    }
    if (m_running.load())
        if (QJSEngine *engine = m_engine.load())
            engine->setInterrupted(true);
}

QJSValue OXJavascriptRunController::evaluate(const QString &program, int lineOffset)
{
    QJSEngine &engine = *m_engine;
    m_interrupted = false;
    m_running = true;
    // A stop that came before the engine started counts; one left over from an earlier run does not.
    engine.setInterrupted(m_stopRequested.load());
    m_watchdog->start(m_timeLimit);
    QStringList stack;
    QJSValue result = engine.evaluate(program, QString(), 1, &stack);
    m_watchdog->finish();
    m_running = false;
    if (engine.isInterrupted()) {
        // A stopped run is no script error; the engine must be usable again for later calls.
        m_interrupted = true;
        engine.setInterrupted(false);
        return QJSValue(QJSValue::UndefinedValue);
    }
    if (result.isError()) {
        // An overflowing stack leaves no line on the error; the innermost frame still has one.
        int line = result.property(QStringLiteral("lineNumber")).toInt();
        if (line <= lineOffset)
            line = lineInScript(result.property(QStringLiteral("stack")).toString(), lineOffset);
        reportError(result.toString(), line, lineOffset);
    } else if (!stack.isEmpty())
        reportError(QStringLiteral("Uncaught %1").arg(result.toString()), lineFromStack(stack), lineOffset);
    return result;
}

void OXJavascriptRunController::reportError(const QString &message, int engineLine, int lineOffset)
{
    const int line = engineLine - lineOffset;
    const Value error = Value::dict({{QStringLiteral("message"), message}, {QStringLiteral("lineNumber"), line}});
    onHost([this, error, message, line] {
        m_errors.append(error);
        if (m_delegate)
            m_delegate->scriptError(error);
        emit failed(message, line);
    });
}
