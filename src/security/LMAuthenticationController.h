// LMAuthenticationController: the small sheet other views use to ask for a user's name and password.
#pragma once

#include "Value.h"

#include <functional>
#include <memory>

class LMLogin;
class MyDocument;
class QWidget;

class LMAuthenticationController {
public:
    // What the caller does with the accepted login and the object it asked about (the stored selector).
    using Action = std::function<void(std::shared_ptr<LMLogin> login, const Value &object)>;

    LMAuthenticationController(MyDocument *document, QWidget *view, Action action, const Value &object = Value());

    // OK: a login for the user when the pair is one of the document's users (the action runs); else a beep.
    std::shared_ptr<LMLogin> authenticate(const QString &name, const QString &password);
    // Shows the request over the view until a pair is accepted or "Cancel"; the accepted login or null.
    std::shared_ptr<LMLogin> run();

private:
    MyDocument *m_document;
    QWidget *m_view;
    Action m_action;
    Value m_object;
};
