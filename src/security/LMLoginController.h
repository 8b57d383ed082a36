// LMLoginController: the login window shown before a document window when the document has users.
#pragma once

#include "Value.h"

#include <QDialog>
#include <functional>
#include <memory>

class LMLogin;
class MyDocument;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class LMLoginController : public QDialog {
    Q_OBJECT
public:
    using Callback = std::function<void(std::shared_ptr<LMLogin>)>;

    // `callback` receives the new login when a user's password matched.
    LMLoginController(MyDocument *document, const Value &users, Callback callback, QWidget *parent = nullptr);

    QStringList userNames() const;
    // Chooses the user whose password is asked for next; false when there is no such user.
    bool chooseUser(const QString &name);
    QString chosenUser() const;
    // Checks the password of the chosen user: on a match hands over the login and closes the window,
    // on a mismatch beeps and shakes. Returns whether it matched.
    bool enterPassword(const QString &password);

    // Offered when the chosen user has an "Email".
    bool canResetPassword() const;
    // The password reset for the chosen user in place of this window; a reset that ends in a login logs in,
    // one that is abandoned brings this window back.
    void forgotPassword();

    bool didLogIn() const { return m_loggedIn; }
    int shakeCount() const { return m_shakes; }

private:
    void shake();
    void updatePrompt();

    MyDocument *m_document;
    Value m_users;
    Callback m_callback;
    QListWidget *m_list = nullptr;
    QLabel *m_prompt = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_logIn = nullptr;
    QPushButton *m_forgot = nullptr;
    bool m_loggedIn = false;
    int m_shakes = 0;
};
