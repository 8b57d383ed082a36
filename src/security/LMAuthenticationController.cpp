// LMAuthenticationController: checks a name and password against the document's users and hands on the login.
#include "LMAuthenticationController.h"

#include "LMLogin.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

LMAuthenticationController::LMAuthenticationController(MyDocument *document, QWidget *view, Action action,
                                                       const Value &object)
    : m_document(document), m_view(view), m_action(std::move(action)), m_object(object)
{
}

std::shared_ptr<LMLogin> LMAuthenticationController::authenticate(const QString &name, const QString &password)
{
    const Value user = m_document ? LMLogin::checkUsername(name, password, m_document->users()) : Value();
    if (user.isNull()) {
        Ui::instance().beep();
        return nullptr;
    }
    auto login = LMLogin::forUser(user);
    login->setPassword(password);
    if (m_action)
        m_action(login, m_object);
    return login;
}

std::shared_ptr<LMLogin> LMAuthenticationController::run()
{
    QDialog dialog(m_view);
    dialog.setWindowTitle(QStringLiteral("Authentication Required"));
    auto *form = new QFormLayout(&dialog);
    auto *name = new QLineEdit;
    auto *password = new QLineEdit;
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("User name:"), name);
    form->addRow(QStringLiteral("Password:"), password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    std::shared_ptr<LMLogin> result;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        result = authenticate(name->text(), password->text());
        if (result)
            dialog.accept();
        else
            password->selectAll();
    });
    dialog.exec();
    return result;
}
