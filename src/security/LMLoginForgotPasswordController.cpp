// LMLoginForgotPasswordController: sends a temporary password, checks it, stores the new password, logs in.
#include "LMLoginForgotPasswordController.h"
#include "DesignVocabulary.h"

#include "Alert.h"
#include "LMLogin.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QVBoxLayout>

LMLoginForgotPasswordController::LMLoginForgotPasswordController(const Value &user, MyDocument *document,
                                                                 QWidget *window)
    : m_user(user), m_document(document), m_window(window), m_mail(MailSettings::fromPreferences())
{
}

QString LMLoginForgotPasswordController::senderAddress()
{
    return QStringLiteral("passwords@tandrel.com");
}

QString LMLoginForgotPasswordController::makeTemporaryPassword()
{
    const auto n = qint32(QRandomGenerator::system()->generate());
    const qint64 reduced = qint64(n) % 9999999;
    return QString::number(reduced < 0 ? -reduced : reduced);
}

QString LMLoginForgotPasswordController::buttonTitle() const
{
    switch (m_step) {
    case 1: return QStringLiteral("Send");
    case 4: return QStringLiteral("Next");
    case 5: return QStringLiteral("Finish");
    default: return QStringLiteral("Next");
    }
}

QString LMLoginForgotPasswordController::email() const
{
    return m_user.value(AccountKey::Email).toString();
}

void LMLoginForgotPasswordController::alert(const QString &message, const QString &informative)
{
    Ui::instance().runAlert(Alert::make(message, informative, {QStringLiteral("OK")}), m_window);
}

bool LMLoginForgotPasswordController::send()
{
    if (!m_mail.isConfigured()) {
        alert(QStringLiteral("Mail app not configured"),
              QStringLiteral("Mail.app is not configured to send mail. Please configure it or contact an admin to "
                             "reset your password"));
        m_step = 0;
        return false;
    }
    const QString temporary = makeTemporaryPassword();
    const QString name = m_user.value(AccountKey::Name).toString();
    const QString database = m_document && !m_document->fileName().isEmpty()
                                 ? QFileInfo(m_document->fileName()).completeBaseName()
                                 : QStringLiteral("Untitled");
    const QString body =
        QStringLiteral("%1,\n\nYou are recieving this message because you requested a new password for your user "
                       "account of an Orvix database. Your new details are as follows:\n\nDatabase name:%2\n"
                       "Username:%3\nNew Temporary Password:%4\n")
            .arg(name, database, name, temporary);
    const QByteArray message =
        LMMailer::composeMessage(senderAddress(), email(), QStringLiteral("Orvix Password Request"), body);
    QString error;
    if (!LMMailer::send(m_mail, senderAddress(), email(), message, &error)) {
        alert(QStringLiteral("Send error occurred"),
              QStringLiteral("An error occurred while trying to send the email"));
        return false;
    }
    m_temporary = temporary;
    m_step = 3;
    return true;
}

bool LMLoginForgotPasswordController::enterTemporaryPassword(const QString &typed)
{
    if (m_step != 3 || m_temporary.isEmpty() || typed != m_temporary) {
        alert(QStringLiteral("Incorrect password"),
              QStringLiteral("The temporary password you entered was incorrect. Please check it for any spelling "
                             "mistakes"));
        return false;
    }
    m_step = 4;
    return true;
}

bool LMLoginForgotPasswordController::setNewPassword(const QString &password, const QString &confirmation)
{
    if (m_step != 4)
        return false;
    // An empty password could never be typed back at the login.
    if (password != confirmation || password.isEmpty()) {
        alert(QStringLiteral("Passwords don't match"),
              QStringLiteral("The passwords you entered did not match. Please retype"));
        return false;
    }
    m_user.set(AccountKey::Password, LMLogin::passwordHash(password));
    m_newPassword = password;
    if (m_document) {
        m_document->setChanged(true);
        if (!m_document->fileName().isEmpty()) {
            QString error;
            if (!m_document->save(m_document->fileName(), QStringLiteral("Orvix"), &error))
                alert(QStringLiteral("The document could not be saved"), error);
        }
    }
    m_step = 5;
    return true;
}

std::shared_ptr<LMLogin> LMLoginForgotPasswordController::finish()
{
    if (m_step != 5)
        return nullptr;
    m_step = 6;
    auto login = LMLogin::forUser(m_user);
    login->setPassword(m_newPassword);
    if (m_document)
        m_document->setLogin(login);
    return login;
}

std::shared_ptr<LMLogin> LMLoginForgotPasswordController::run(const Value &user, MyDocument *document, QWidget *window)
{
    LMLoginForgotPasswordController reset(user, document, window);
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Reset Password"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *pages = new QStackedWidget;
    layout->addWidget(pages);
    auto page = [&](const QString &text, std::initializer_list<QLineEdit *> fields) {
        auto *widget = new QWidget;
        auto *box = new QVBoxLayout(widget);
        auto *label = new QLabel(text);
        label->setWordWrap(true);
        box->addWidget(label);
        for (QLineEdit *field : fields) {
            field->setEchoMode(QLineEdit::Password);
            box->addWidget(field);
        }
        box->addStretch();
        pages->addWidget(widget);
    };
    auto *temporary = new QLineEdit;
    auto *fresh = new QLineEdit;
    auto *confirm = new QLineEdit;
    fresh->setPlaceholderText(QStringLiteral("New password"));
    confirm->setPlaceholderText(QStringLiteral("Confirm"));
    page(QStringLiteral("A temporary password will be sent to %1.").arg(reset.email()), {});
    page(QStringLiteral("Enter the temporary password from the message:"), {temporary});
    page(QStringLiteral("Choose your new password:"), {fresh, confirm});
    page(QStringLiteral("Your password has been changed."), {});
    auto *button = new QPushButton(reset.buttonTitle());
    layout->addWidget(button, 0, Qt::AlignRight);
    QObject::connect(button, &QPushButton::clicked, &dialog, [&] {
        switch (reset.step()) {
        case 1:
            if (!reset.send() && reset.step() == 0)
                dialog.reject();
            break;
        case 3: reset.enterTemporaryPassword(temporary->text()); break;
        case 4: reset.setNewPassword(fresh->text(), confirm->text()); break;
        case 5: dialog.accept(); return;
        }
        pages->setCurrentIndex(reset.step() <= 1 ? 0 : reset.step() - 2);
        button->setText(reset.buttonTitle());
    });
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return reset.finish();
}
