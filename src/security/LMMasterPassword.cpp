// LMMasterPassword: the master password checks and the small dialog that collects the four passwords.
#include "LMMasterPassword.h"

#include "LMLogin.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

LMMasterPassword::LMMasterPassword(MyDocument *document, QWidget *window)
    : m_document(document), m_window(window), m_login(document ? document->login() : nullptr)
{
}

LMMasterPassword::Outcome LMMasterPassword::set()
{
    if (!m_document->masterPasswordMatches(oldPassword)) {
        Ui::instance().beep();
        return Outcome::StaysOpen;
    }
    // A document nobody logged into has full access, which counts as an administrator.
    const bool admin = !m_login || m_login->isAdmin();
    if (!admin) {
        Ui::instance().beep();
        m_open = false;
        return Outcome::ClosedUnchanged;
    }
    // The full-access login typed no password, so its administrator password is the empty text.
    if ((m_login ? m_login->typedPassword() : QString()) != adminPassword) {
        Ui::instance().beep();
        return Outcome::StaysOpen;
    }
    // A mistyped new password would lock the document's protection behind a secret nobody knows.
    if (newPassword != confirmPassword) {
        Ui::instance().beep();
        return Outcome::StaysOpen;
    }
    m_document->setMasterPassword(newPassword);
    m_open = false;
    return Outcome::Stored;
}

void LMMasterPassword::run(MyDocument *document, QWidget *window)
{
    LMMasterPassword sheet(document, window);
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Master Password"));
    auto *form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QStringLiteral("The master password guards the document's protection.")));
    auto field = [&](const QString &label) {
        auto *edit = new QLineEdit;
        edit->setEchoMode(QLineEdit::Password);
        form->addRow(label, edit);
        return edit;
    };
    QLineEdit *admin = field(QStringLiteral("Your password:"));
    QLineEdit *old = field(QStringLiteral("Current master password:"));
    QLineEdit *fresh = field(QStringLiteral("New master password:"));
    QLineEdit *confirm = field(QStringLiteral("Confirm:"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        sheet.adminPassword = admin->text();
        sheet.oldPassword = old->text();
        sheet.newPassword = fresh->text();
        sheet.confirmPassword = confirm->text();
        if (sheet.set() != Outcome::StaysOpen)
            dialog.accept();
    });
    dialog.exec();
}
