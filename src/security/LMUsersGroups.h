// LMUsersGroups: the "Users Groups" view: the document's users and groups, their passwords, pictures and rights.
#pragma once

#include "LMViewController.h"
#include "Value.h"

#include <QPointer>
#include <QStringList>

class LMViewRegistry;
class MyDocument;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct LMViewContext;
struct LMViewRequest;

class LMUsersGroups : public LMViewController {
public:
    LMUsersGroups(MyDocument *document, QWidget *window, const QString &name = QString(), bool isUser = true);
    ~LMUsersGroups() override;

    QString identifier() const override;
    // Made on first use, so the editing operations also work without a window (orvix-cli, tests).
    LMIdentifiedView *view() override;
    void refresh() override;

    static Value defaultPermissions();
    static QStringList sectionNames();

    Value addUser();
    Value addGroup();
    bool removeAccount(bool isUser, const QString &name);
    // "Name", "Group", "Email" or "Image" of a user ("Name" of a group), stored as given; false for an unknown
    // account or a name another account of that kind already has.
    bool setValue(bool isUser, const QString &name, const QString &key, const Value &value);
    // Stores the digest when both entries are equal and not empty; otherwise an alert and false.
    bool setPassword(const QString &user, const QString &password, const QString &confirmation);
    // Section rights ("ClassDefaultPermissions") and "Admin"; a group's rights are copied to its users.
    bool setSectionRight(bool isUser, const QString &name, const QString &section, bool allowed);
    bool setAdmin(bool isUser, const QString &name, bool admin);
    // Puts a user in a group (or "none"); the user takes the group's rights.
    bool setGroup(const QString &user, const QString &group);

    // The account the editor shows.
    void select(bool isUser, const QString &name);
    bool selectedIsUser() const { return m_isUser; }
    QString selectedName() const { return m_selected; }

private:
    Value account(bool isUser, const QString &name) const;
    void copyGroupRights(const Value &group, Value user);
    void buildView();
    void loadEditor();
    void changed();

    MyDocument *m_document;
    QWidget *m_window;
    bool m_isUser = true;
    QString m_selected;
    bool m_loading = false;
    QPointer<LMIdentifiedView> m_view;
    QListWidget *m_users = nullptr;
    QListWidget *m_groups = nullptr;
    QLabel *m_picture = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_group = nullptr;
    QLineEdit *m_email = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_confirm = nullptr;
    QPushButton *m_setPassword = nullptr;
    QPushButton *m_choosePicture = nullptr;
    QCheckBox *m_admin = nullptr;
    QList<QCheckBox *> m_sections;
};

std::unique_ptr<LMViewController> makeUsersGroups(const LMViewContext &context, const LMViewRequest &request);
// "Users Groups" and the security menu commands' sheets.
void registerSecurityViews(LMViewRegistry &registry);
