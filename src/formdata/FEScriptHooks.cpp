// FEScriptHooks: "Call" controls call named functions of their script; "Run" controls run it whole.
#include "FEScriptHooks.h"

#include "FDKeys.h"
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

bool sendMessageFromControl(MyDocument *document, const QString &formName, const Value &info, const QString &function,
                            OXFormScriptHost *host)
{
    if (!document || !info.isDict())
        return false;
    const QString type = info.value(kControlActionType).toString();
    QString name = function;
    if (name.isNull() && type == kActionCall && !info.value(kScriptBridgeName).toString().isEmpty())
        name = QStringLiteral("form_%1").arg(info.value(kScriptBridgeName).toString());
    if (type.isEmpty() || (type == kActionRun && !function.isNull()) || (type == kActionCall && name.isEmpty()))
        return false;
    if (type != kActionRun && type != kActionCall)
        return false;
    const QString scriptName = info.value(kControlActionScript).toString();
    const Value script = scriptName.isEmpty() ? Value() : document->scriptNamed(scriptName);
    if (!script.isDict())
        return false;
    std::unique_ptr<OXJavascriptRunController> runner = OXJavascriptRunController::withScriptName(scriptName, document);
    if (!runner)
        return false;
    runner->setFormName(formName);
    runner->setFormHost(host);
    if (type == kActionRun) {
        runner->run();
        return true;
    }
    if (!OXJavascriptRunController::script(runner->code(), name))
        return false;
    runner->runFunction(name, {controlArgument(info)});
    return true;
}
} // namespace FEScriptHooks
