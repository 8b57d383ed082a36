// LMLoginForgotPasswordController: the five steps of a password reset by e-mail.
#pragma once

#include "LMMailer.h"
#include "Value.h"

#include <QString>
#include <memory>

class LMLogin;
class MyDocument;
class QWidget;

class LMLoginForgotPasswordController {
public:
    LMLoginForgotPasswordController(const Value &user, MyDocument *document, QWidget *window = nullptr);

    static QString senderAddress();
    // A decimal number from the system's strong random source, 0 ≤ n < 9999999.
    static QString makeTemporaryPassword();

    // 1 show the address, 3 enter the temporary password, 4 the new password, 5 finished; 0 cancelled.
    int step() const { return m_step; }
    QString buttonTitle() const;
    QString email() const;
    void setMailSettings(const MailSettings &settings) { m_mail = settings; }

    // Step 2: sends the temporary password; false (with the alert shown) when it could not be sent.
    bool send();
    // Step 3: false (alert) when the text is not the password that was sent.
    bool enterTemporaryPassword(const QString &typed);
    // Step 4: stores the new password's digest and saves the document; false (alert) when the two differ.
    bool setNewPassword(const QString &password, const QString &confirmation);
    // Step 5: the login for the user.
    std::shared_ptr<LMLogin> finish();

    // The window that walks through the steps; returns the login when the reset ended with one.
    static std::shared_ptr<LMLogin> run(const Value &user, MyDocument *document, QWidget *window);

private:
    void alert(const QString &message, const QString &informative);

    Value m_user;
    MyDocument *m_document;
    QWidget *m_window;
    MailSettings m_mail;
    QString m_temporary;
    QString m_newPassword;
    int m_step = 1;
};
