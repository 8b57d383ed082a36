// LMUsersGroups: editing user and group records in place, and the two lists with an editor beside them.
#include "LMUsersGroups.h"
#include "DesignVocabulary.h"
#include "ViewKind.h"

#include "Alert.h"
#include "LMIdentifiedView.h"
#include "LMLogin.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString uniqueName(const Value &items, const QString &base)
{
    QString name = base;
    for (int n = 2; MyDocument::indexOfItemNamed(items, name) >= 0; ++n)
        name = QStringLiteral("%1 %2").arg(base).arg(n);
    return name;
}

// The dictionary under `key`, made when missing so edits land in the record itself.
Value childDict(Value record, const QString &key)
{
    Value child = record.value(key);
    if (!child.isDict()) {
        child = Value::dict();
        record.set(key, child);
    }
    return child;
}
} // namespace

LMUsersGroups::LMUsersGroups(MyDocument *document, QWidget *window, const QString &name, bool isUser)
    : m_document(document), m_window(window), m_isUser(isUser), m_selected(name)
{
    if (m_selected.isEmpty() || account(m_isUser, m_selected).isNull()) {
        m_isUser = true;
        m_selected =
            document->users().isEmpty() ? QString() : document->users().at(0).value(AccountKey::Name).toString();
    }
}

LMIdentifiedView *LMUsersGroups::view()
{
    if (!m_view) {
        buildView();
        refresh();
    }
    return m_view;
}

LMUsersGroups::~LMUsersGroups() = default;

QString LMUsersGroups::identifier() const
{
    return ViewKinds::identifier(ViewKind::UsersGroups);
}

Value LMUsersGroups::defaultPermissions()
{
    return Value::dict({{ViewKinds::identifier(ViewKind::TableEdit), QStringLiteral("ABC")}});
}

QStringList LMUsersGroups::sectionNames()
{
    return ViewKinds::modes();
}

Value LMUsersGroups::account(bool isUser, const QString &name) const
{
    return MyDocument::itemNamed(isUser ? m_document->users() : m_document->groups(), name);
}

void LMUsersGroups::changed()
{
    m_document->setChanged(true);
    if (m_view && !m_loading)
        refresh();
}

Value LMUsersGroups::addUser()
{
    Value users = m_document->users();
    Value user = Value::dict({{AccountKey::Name, uniqueName(users, QStringLiteral("New User"))},
                              {AccountKey::Group, QStringLiteral("none")},
                              {AccountKey::Password, QString()},
                              {AccountKey::Permissions, defaultPermissions()}});
    users.append(user);
    m_isUser = true;
    m_selected = user.value(AccountKey::Name).toString();
    changed();
    return user;
}

Value LMUsersGroups::addGroup()
{
    Value groups = m_document->groups();
    Value group = Value::dict({{AccountKey::Name, uniqueName(groups, QStringLiteral("New Group"))}});
    groups.append(group);
    m_isUser = false;
    m_selected = group.value(AccountKey::Name).toString();
    changed();
    return group;
}

bool LMUsersGroups::removeAccount(bool isUser, const QString &name)
{
    bool removed = false;
    if (isUser) {
        removed = m_document->removeUserNamed(name);
    } else {
        Value groups = m_document->groups();
        const int index = MyDocument::indexOfItemNamed(groups, name);
        if (index >= 0) {
            groups.removeAt(index);
            // Its users stay, outside any group.
            Value users = m_document->users();
            for (int i = 0; i < users.size(); ++i)
                if (users.at(i).value(AccountKey::Group).toString() == name)
                    users.at(i).set(AccountKey::Group, QStringLiteral("none"));
            removed = true;
        }
    }
    if (removed && isUser == m_isUser && name == m_selected) {
        const Value users = m_document->users();
        m_isUser = true;
        m_selected = users.isEmpty() ? QString() : users.at(0).value(AccountKey::Name).toString();
    }
    if (removed)
        changed();
    return removed;
}

bool LMUsersGroups::setValue(bool isUser, const QString &name, const QString &key, const Value &value)
{
    Value record = account(isUser, name);
    if (record.isNull())
        return false;
    if (key == AccountKey::Name) {
        const QString newName = value.toString();
        if (newName.isEmpty() || (newName != name && !account(isUser, newName).isNull())) {
            Ui::instance().beep();
            return false;
        }
        if (!isUser) {
            Value users = m_document->users();
            for (int i = 0; i < users.size(); ++i)
                if (users.at(i).value(AccountKey::Group).toString() == name)
                    users.at(i).set(AccountKey::Group, newName);
        }
        if (isUser == m_isUser && name == m_selected)
            m_selected = newName;
    } else if (key == AccountKey::Group) {
        return setGroup(name, value.toString());
    } else if (!isUser || (key != AccountKey::Email && key != AccountKey::Image)) {
        return false;
    }
    record.set(key, value);
    changed();
    return true;
}

bool LMUsersGroups::setPassword(const QString &user, const QString &password, const QString &confirmation)
{
    Value record = account(true, user);
    if (record.isNull())
        return false;
    if (password.isEmpty() || password != confirmation) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("Passwords don't match"),
                                            QStringLiteral("The passwords you entered did not match. Please retype")),
                                m_window);
        return false;
    }
    record.set(AccountKey::Password, LMLogin::passwordHash(password));
    changed();
    return true;
}

void LMUsersGroups::copyGroupRights(const Value &group, Value user)
{
    const Value sections = group.value(AccountKey::Sections);
    if (sections.isDict())
        user.set(AccountKey::Sections, sections.deepCopy());
    const Value admin = group.value(AccountKey::Permissions).value(AccountKey::Admin);
    if (!admin.isNull())
        childDict(user, AccountKey::Permissions).set(AccountKey::Admin, admin.toBool());
}

bool LMUsersGroups::setSectionRight(bool isUser, const QString &name, const QString &section, bool allowed)
{
    Value record = account(isUser, name);
    if (record.isNull() || !sectionNames().contains(section))
        return false;
    childDict(record, AccountKey::Sections).set(section, allowed);
    if (!isUser) {
        Value users = m_document->users();
        for (int i = 0; i < users.size(); ++i)
            if (users.at(i).value(AccountKey::Group).toString() == name)
                childDict(users.at(i), AccountKey::Sections).set(section, allowed);
    }
    changed();
    return true;
}

bool LMUsersGroups::setAdmin(bool isUser, const QString &name, bool admin)
{
    Value record = account(isUser, name);
    if (record.isNull())
        return false;
    childDict(record, AccountKey::Permissions).set(AccountKey::Admin, admin);
    if (!isUser) {
        Value users = m_document->users();
        for (int i = 0; i < users.size(); ++i)
            if (users.at(i).value(AccountKey::Group).toString() == name)
                childDict(users.at(i), AccountKey::Permissions).set(AccountKey::Admin, admin);
    }
    changed();
    return true;
}

bool LMUsersGroups::setGroup(const QString &user, const QString &group)
{
    Value record = account(true, user);
    const Value groupRecord = account(false, group);
    if (record.isNull() || (group != QLatin1String("none") && groupRecord.isNull()))
        return false;
    record.set(AccountKey::Group, group);
    if (!groupRecord.isNull())
        copyGroupRights(groupRecord, record);
    changed();
    return true;
}

void LMUsersGroups::select(bool isUser, const QString &name)
{
    if (account(isUser, name).isNull())
        return;
    m_isUser = isUser;
    m_selected = name;
    if (m_view)
        loadEditor();
}

std::unique_ptr<LMViewController> makeUsersGroups(const LMViewContext &context, const LMViewRequest &request)
{
    if (!context.document)
        return nullptr;
    // Opening the window gives a document without accounts its "Administrators" group and "Admin" user.
    MyDocument *document = context.document;
    const bool seeded = document->users().isEmpty() || document->groups().isEmpty();
    document->seedDefaultUsersAndGroups();
    if (seeded)
        document->setChanged(true);
    return std::make_unique<LMUsersGroups>(context.document, context.window, request.name, request.isUser);
}

void registerSecurityViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::UsersGroups, makeUsersGroups);
}
