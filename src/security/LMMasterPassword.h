// LMMasterPassword: the sheet that checks the current master password and the administrator, then stores a new one.
#pragma once

#include <QString>
#include <memory>

class LMLogin;
class MyDocument;
class QWidget;

class LMMasterPassword {
public:
    enum class Outcome { StaysOpen, ClosedUnchanged, Stored };

    // Takes the document's current login when it is made.
    LMMasterPassword(MyDocument *document, QWidget *window);

    QString adminPassword;
    QString oldPassword;
    QString newPassword;
    QString confirmPassword;

    // OK: the checks in order (old master password, administrator, administrator's password), then stores.
    Outcome set();
    bool isOpen() const { return m_open; }
    void cancel() { m_open = false; }

    // Shows the sheet as a dialog on the document window.
    static void run(MyDocument *document, QWidget *window);

private:
    MyDocument *m_document;
    QWidget *m_window;
    LMLogin *m_login;
    bool m_open = true;
};
