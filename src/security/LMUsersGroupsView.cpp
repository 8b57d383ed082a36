// LMUsersGroupsView: the widgets of the "Users Groups" view: two lists, the account editor and its buttons.
#include "DesignVocabulary.h"
#include "LMIdentifiedView.h"
#include "LMUsersGroups.h"
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
QPixmap pictureOf(const Value &user)
{
    const QImage image = user.value(AccountKey::Image).toImage();
    if (image.isNull())
        return QPixmap();
    return QPixmap::fromImage(image.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
} // namespace

void LMUsersGroups::buildView()
{
    m_view = new LMIdentifiedView(identifier());
    auto *layout = new QHBoxLayout(m_view);

    auto *lists = new QVBoxLayout;
    auto listBox = [&](const QString &title, QListWidget *&list, bool isUser) {
        auto *box = new QGroupBox(title);
        auto *boxLayout = new QVBoxLayout(box);
        list = new QListWidget;
        boxLayout->addWidget(list);
        auto *buttons = new QHBoxLayout;
        auto *add = new QPushButton(QStringLiteral("+"));
        auto *remove = new QPushButton(QStringLiteral("−"));
        add->setToolTip(isUser ? QStringLiteral("Add a user") : QStringLiteral("Add a group"));
        remove->setToolTip(isUser ? QStringLiteral("Remove the user") : QStringLiteral("Remove the group"));
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch();
        boxLayout->addLayout(buttons);
        lists->addWidget(box);
        QObject::connect(add, &QPushButton::clicked, m_view, [this, isUser] { isUser ? addUser() : addGroup(); });
        QObject::connect(remove, &QPushButton::clicked, m_view, [this, isUser, &list] {
            if (QListWidgetItem *item = list->currentItem())
                removeAccount(isUser, item->text());
        });
        QObject::connect(list, &QListWidget::itemClicked, m_view,
                         [this, isUser](QListWidgetItem *item) { select(isUser, item->text()); });
    };
    listBox(QStringLiteral("Users"), m_users, true);
    listBox(QStringLiteral("Groups"), m_groups, false);
    layout->addLayout(lists, 1);

    auto *editor = new QGroupBox(QStringLiteral("Account"));
    auto *form = new QFormLayout(editor);
    m_picture = new QLabel;
    m_picture->setFixedSize(64, 64);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setAlignment(Qt::AlignCenter);
    m_choosePicture = new QPushButton(QStringLiteral("Choose Picture…"));
    auto *pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture);
    pictureRow->addWidget(m_choosePicture);
    pictureRow->addStretch();
    form->addRow(QStringLiteral("Picture:"), pictureRow);
    m_name = new QLineEdit;
    form->addRow(QStringLiteral("Name:"), m_name);
    m_group = new QComboBox;
    form->addRow(QStringLiteral("Group:"), m_group);
    m_email = new QLineEdit;
    m_email->setPlaceholderText(QStringLiteral("For resetting a forgotten password"));
    form->addRow(QStringLiteral("Email:"), m_email);
    m_password = new QLineEdit;
    m_password->setEchoMode(QLineEdit::Password);
    m_confirm = new QLineEdit;
    m_confirm->setEchoMode(QLineEdit::Password);
    m_setPassword = new QPushButton(QStringLiteral("Set Password"));
    form->addRow(QStringLiteral("New password:"), m_password);
    form->addRow(QStringLiteral("Retype it:"), m_confirm);
    form->addRow(QString(), m_setPassword);
    m_admin = new QCheckBox(QStringLiteral("Administrator"));
    form->addRow(QStringLiteral("Rights:"), m_admin);
    auto *sections = new QGroupBox(QStringLiteral("May see"));
    auto *sectionsLayout = new QVBoxLayout(sections);
    for (const QString &section : sectionNames()) {
        auto *box = new QCheckBox(section);
        m_sections << box;
        sectionsLayout->addWidget(box);
        QObject::connect(box, &QCheckBox::toggled, m_view, [this, section](bool on) {
            if (!m_loading)
                setSectionRight(m_isUser, m_selected, section, on);
        });
    }
    form->addRow(QString(), sections);
    layout->addWidget(editor, 2);

    QObject::connect(m_name, &QLineEdit::editingFinished, m_view, [this] {
        if (!m_loading && m_name->text() != m_selected &&
            !setValue(m_isUser, m_selected, AccountKey::Name, m_name->text()))
            m_name->setText(m_selected);
    });
    QObject::connect(m_email, &QLineEdit::editingFinished, m_view, [this] {
        if (!m_loading && m_isUser)
            setValue(true, m_selected, AccountKey::Email, m_email->text().trimmed());
    });
    QObject::connect(m_group, &QComboBox::activated, m_view, [this] {
        if (!m_loading && m_isUser)
            setGroup(m_selected, m_group->currentText());
    });
    QObject::connect(m_admin, &QCheckBox::toggled, m_view, [this](bool on) {
        if (!m_loading)
            setAdmin(m_isUser, m_selected, on);
    });
    QObject::connect(m_setPassword, &QPushButton::clicked, m_view, [this] {
        if (setPassword(m_selected, m_password->text(), m_confirm->text())) {
            m_password->clear();
            m_confirm->clear();
        }
    });
    QObject::connect(m_choosePicture, &QPushButton::clicked, m_view, [this] {
        FilePanelOptions options;
        options.title = QStringLiteral("Choose a Picture");
        options.nameFilters = {QStringLiteral("Images (*.png *.jpg *.jpeg *.gif *.bmp)")};
        const QStringList files = Ui::instance().runOpenPanel(options, m_window);
        if (files.isEmpty())
            return;
        const QImage image(files.first());
        if (image.isNull()) {
            Ui::instance().beep();
            return;
        }
        setValue(true, m_selected, AccountKey::Image, Value(image));
    });
}

void LMUsersGroups::refresh()
{
    if (!m_view)
        return;
    m_loading = true;
    auto fill = [](QListWidget *list, const Value &items) {
        list->clear();
        for (int i = 0; i < items.size(); ++i)
            list->addItem(items.at(i).value(AccountKey::Name).toString());
    };
    fill(m_users, m_document->users());
    fill(m_groups, m_document->groups());
    m_loading = false;
    loadEditor();
}

void LMUsersGroups::loadEditor()
{
    m_loading = true;
    const Value record = account(m_isUser, m_selected);
    QListWidget *list = m_isUser ? m_users : m_groups;
    QListWidget *other = m_isUser ? m_groups : m_users;
    other->clearSelection();
    other->setCurrentRow(-1);
    const QList<QListWidgetItem *> found = list->findItems(m_selected, Qt::MatchExactly);
    if (!found.isEmpty())
        list->setCurrentItem(found.first());
    m_name->setText(m_selected);
    m_group->clear();
    m_group->addItem(QStringLiteral("none"));
    const Value groups = m_document->groups();
    for (int i = 0; i < groups.size(); ++i)
        m_group->addItem(groups.at(i).value(AccountKey::Name).toString());
    m_group->setCurrentText(record.value(AccountKey::Group).toString());
    m_email->setText(record.value(AccountKey::Email).toString());
    m_picture->setPixmap(pictureOf(record));
    for (QWidget *userOnly : {static_cast<QWidget *>(m_group), static_cast<QWidget *>(m_email),
                              static_cast<QWidget *>(m_password), static_cast<QWidget *>(m_confirm),
                              static_cast<QWidget *>(m_setPassword), static_cast<QWidget *>(m_choosePicture)})
        userOnly->setEnabled(m_isUser && !record.isNull());
    m_admin->setChecked(record.value(AccountKey::Permissions).value(AccountKey::Admin).toBool());
    const Value sections = record.value(AccountKey::Sections);
    const QStringList names = sectionNames();
    for (int i = 0; i < m_sections.size(); ++i)
        m_sections.at(i)->setChecked(sections.value(names.at(i)).toBool());
    m_loading = false;
}
