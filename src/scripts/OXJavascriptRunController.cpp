// OXJavascriptRunController: one engine per run, the bridge installed as window.OrvixController.
#include "OXJavascriptRunController.h"

#include "MyDocument.h"
#include "OXScriptBridge.h"
#include "OXScriptWatchdog.h"
#include "Resources.h"

#include <QRegularExpression>

namespace {
const char *builtInBridge = "var Tools = function() {}\n"
                            "Tools.ShowAlert = function(message) { window.OrvixController.xwShowMessage_(message); }\n"
                            "Tools.Log = function(message) { window.OrvixController.xwLog_(message); }\n";

// The line of the innermost frame of an engine stack trace ("function:line:column:file").
int lineFromStack(const QStringList &stack)
{
    if (stack.isEmpty())
        return 0;
    const QStringList parts = stack.first().split(QLatin1Char(':'));
    return parts.size() > 1 ? parts[1].toInt() : 0;
}
} // namespace

OXJavascriptRunController::OXJavascriptRunController(const QString &code, MyDocument *document, QObject *parent)
    : QObject(parent), m_code(code), m_document(document)
{
    QJSValue global = m_engine.globalObject();
    global.setProperty(QStringLiteral("window"), global);
    m_bridge = std::make_unique<OXScriptBridge>(*this, m_engine);
    m_bridge->install();
    m_watchdog = std::make_unique<OXScriptWatchdog>(m_engine);
}

OXJavascriptRunController::~OXJavascriptRunController()
{
    m_watchdog->finish();
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

bool OXJavascriptRunController::run()
{
    return runFunction(QString());
}

bool OXJavascriptRunController::runFunction(const QString &function, const QStringList &arguments)
{
    const QString page = header() + m_code + callText(function, arguments);
    evaluate(page, headerLines() - 1);
    const bool success = !m_interrupted;
    if (m_delegate)
        m_delegate->scriptFinished(success);
    emit finished(success);
    return success;
}

QJSValue OXJavascriptRunController::executeFunction(const QString &name, const QJSValueList &arguments)
{
    QJSValue function = m_engine.globalObject().property(name);
    if (!function.isCallable())
        return QJSValue(QJSValue::UndefinedValue);
    m_running = true;
    m_interrupted = false;
    m_watchdog->start(m_timeLimit);
    QJSValue result = function.call(arguments);
    m_watchdog->finish();
    m_running = false;
    if (m_engine.isInterrupted()) {
        m_interrupted = true;
        m_engine.setInterrupted(false);
    } else if (result.isError()) {
        reportError(result.toString(), result.property(QStringLiteral("lineNumber")).toInt(), headerLines() - 1);
    }
    return result;
}

QJSValue OXJavascriptRunController::executeCode(const QString &code)
{
    return evaluate(code, 0);
}

void OXJavascriptRunController::stop()
{
    m_stopRequested = true;
    if (m_running.load())
        m_engine.setInterrupted(true);
}

QJSValue OXJavascriptRunController::evaluate(const QString &program, int lineOffset)
{
    m_interrupted = false;
    m_stopRequested = false;
    m_running = true;
    m_watchdog->start(m_timeLimit);
    QStringList stack;
    QJSValue result = m_engine.evaluate(program, QString(), 1, &stack);
    m_watchdog->finish();
    m_running = false;
    if (m_engine.isInterrupted()) {
        // A stopped run is no script error; the engine must be usable again for later calls.
        m_interrupted = true;
        m_engine.setInterrupted(false);
        return QJSValue(QJSValue::UndefinedValue);
    }
    if (result.isError())
        reportError(result.toString(), result.property(QStringLiteral("lineNumber")).toInt(), lineOffset);
    else if (!stack.isEmpty())
        reportError(QStringLiteral("Uncaught %1").arg(result.toString()), lineFromStack(stack), lineOffset);
    return result;
}

void OXJavascriptRunController::reportError(const QString &message, int engineLine, int lineOffset)
{
    const int line = engineLine - lineOffset;
    const Value error = Value::dict({{QStringLiteral("message"), message}, {QStringLiteral("lineNumber"), line}});
    m_errors.append(error);
    if (m_delegate)
        m_delegate->scriptError(error);
    emit failed(message, line);
}
