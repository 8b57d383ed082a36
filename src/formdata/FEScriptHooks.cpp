// FEScriptHooks: "Call" controls call named functions of their script; "Run" controls run it whole.
#include "FEScriptHooks.h"

#include "FDKeys.h"
#include "LMScriptViews.h"
#include "MyDocument.h"
#include "OXJavascriptRunController.h"

using namespace FDKeys;

namespace FEScriptHooks {
QString controlArgument(const Value &info)
{
    QString name = info.value(kScriptBridgeName).toString();
    if (name.isEmpty())
        return QStringLiteral("null");
    // The name becomes part of script code: a quote or backslash in it must not end the string.
    name.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    name.replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return QStringLiteral("Form.ControlNamed(\"%1\")").arg(name);
}

namespace {
// The runner for the control's script and the function it calls ("" for the whole script); no runner when the
// control calls nothing.
struct Prepared {
    std::unique_ptr<OXJavascriptRunController> runner;
    QString function;
};

Prepared prepare(MyDocument *document, const QString &formName, const Value &info, const QString &function,
                 OXFormScriptHost *host)
{
    if (!document || !info.isDict())
        return {};
    const QString type = info.value(kControlActionType).toString();
    QString name = function;
    if (name.isNull() && type == kActionCall && !info.value(kScriptBridgeName).toString().isEmpty())
        name = QStringLiteral("form_%1").arg(info.value(kScriptBridgeName).toString());
    if (type.isEmpty() || (type == kActionRun && !function.isNull()) || (type == kActionCall && name.isEmpty()))
        return {};
    if (type != kActionRun && type != kActionCall)
        return {};
    const QString scriptName = info.value(kControlActionScript).toString();
    const Value script = scriptName.isEmpty() ? Value() : document->scriptNamed(scriptName);
    if (!script.isDict())
        return {};
    std::unique_ptr<OXJavascriptRunController> runner = OXJavascriptRunController::withScriptName(scriptName, document);
    if (!runner)
        return {};
    runner->setFormName(formName);
    runner->setFormHost(host);
    if (type == kActionRun)
        return {std::move(runner), QString()};
    if (!OXJavascriptRunController::script(runner->code(), name))
        return {};
    return {std::move(runner), name};
}
} // namespace

bool sendMessageFromControl(MyDocument *document, const QString &formName, const Value &info, const QString &function,
                            OXFormScriptHost *host)
{
    Prepared prepared = prepare(document, formName, info, function, host);
    if (!prepared.runner)
        return false;
    if (prepared.function.isEmpty())
        prepared.runner->run();
    else
        prepared.runner->runFunction(prepared.function, {controlArgument(info)});
    return true;
}

OXJavascriptRunController *startActionFromControl(MyDocument *document, const QString &formName, const Value &info,
                                                  OXFormScriptHost *host)
{
    Prepared prepared = prepare(document, formName, info, QString(), host);
    if (!prepared.runner)
        return nullptr;
    const QStringList arguments = prepared.function.isEmpty() ? QStringList() : QStringList{controlArgument(info)};
    return startScriptRun(document, std::move(prepared.runner), prepared.function, arguments);
}
} // namespace FEScriptHooks
