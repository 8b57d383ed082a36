// FEScriptHooks: the script functions a form control calls before and after its action.
#pragma once

#include "Value.h"

#include <QString>

class MyDocument;
class OXFormScriptHost;
class OXJavascriptRunController;

namespace FEScriptHooks {
inline const QString kWillAction = QStringLiteral("controlWillAction");
inline const QString kDidAction = QStringLiteral("controlDidAction");

// sendMessageFromControl:functionName: with the control's info; a null `function` is the control's own function
// ("form_<name>" for a "Call" control, the whole script for a "Run" control). The script reaches the form
// through `host` (may be null). Answers whether a script ran.
bool sendMessageFromControl(MyDocument *document, const QString &formName, const Value &info, const QString &function,
                            OXFormScriptHost *host = nullptr);
// The control's own function started without waiting, as one of the document's runs the window's stop command
// reaches (deleted when it ends): the window stays responsive while it runs. Null when no script started.
OXJavascriptRunController *startActionFromControl(MyDocument *document, const QString &formName, const Value &info,
                                                  OXFormScriptHost *host);
// The script expression handed to a called function: the control by its name, or null.
QString controlArgument(const Value &info);
} // namespace FEScriptHooks
