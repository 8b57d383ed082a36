// LMBackup: the list of definitions with kind icons, and one control per key of the selected definition.
#include "LMBackup.h"

#include "LMBackupDefinition.h"
#include "ReferenceDate.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTimeZone>
#include <QToolBar>
#include <QVBoxLayout>

using namespace LMBackupDefinition;

namespace {
// The kind icons are drawn: a badge per kind with its short name, so the list reads at a glance.
QIcon kindIcon(const QString &kind)
{
    static const QHash<QString, QPair<QString, QColor>> looks = {
        {QStringLiteral("Backup_FTP"), {QStringLiteral("FTP"), QColor(70, 120, 200)}},
        {QStringLiteral("Backup_SFTP"), {QStringLiteral("SFTP"), QColor(40, 150, 90)}},
        {QStringLiteral("Backup_Dav"), {QStringLiteral("DAV"), QColor(200, 120, 40)}},
        {QStringLiteral("Backup_SDav"), {QStringLiteral("SDAV"), QColor(170, 70, 40)}},
        {QStringLiteral("Backup_DotMac"), {QStringLiteral(".M"), QColor(120, 120, 120)}},
        {QStringLiteral("Backup_File"), {QStringLiteral("FILE"), QColor(110, 80, 160)}},
    };
    const auto look = looks.value(iconName(kind));
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(look.second);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 4, 30, 24), 5, 5);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(look.first.size() > 3 ? 8 : 10);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(1, 4, 30, 24), Qt::AlignCenter, look.first);
    return QIcon(pixmap);
}
} // namespace

LMBackup::LMBackup(MyDocument *document, Value backups, QWidget *parent)
    : QWidget(parent, Qt::Window), m_controller(document, backups, this)
{
    setWindowTitle(QStringLiteral("Backup"));
    setObjectName(QStringLiteral("Backup"));
    auto *outer = new QVBoxLayout(this);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("backupToolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction *add = m_toolbar->addAction(style()->standardIcon(QStyle::SP_FileDialogNewFolder), QStringLiteral("Add"));
    QAction *remove = m_toolbar->addAction(style()->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Remove"));
    QAction *now =
        m_toolbar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Back Up Now"));
    outer->addWidget(m_toolbar);

    auto *body = new QHBoxLayout;
    outer->addLayout(body);
    m_list = new QListWidget(this);
    m_list->setIconSize(QSize(32, 32));
    m_list->setFixedWidth(200);
    body->addWidget(m_list);

    auto *right = new QVBoxLayout;
    body->addLayout(right, 1);
    auto *destination = new QGroupBox(QStringLiteral("Destination"), this);
    auto *form = new QFormLayout(destination);
    m_name = new QLineEdit(this);
    m_description = new QLabel(this);
    m_description->setStyleSheet(QStringLiteral("color: gray"));
    m_type = new QComboBox(this);
    for (const QString &kind : kinds())
        m_type->addItem(kindIcon(kind), kind);
    m_server = new QLineEdit(this);
    m_username = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_directory = new QLineEdit(this);
    form->addRow(QStringLiteral("Name:"), m_name);
    form->addRow(QString(), m_description);
    form->addRow(QStringLiteral("Type:"), m_type);
    form->addRow(QStringLiteral("Server:"), m_server);
    form->addRow(QStringLiteral("User name:"), m_username);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QStringLiteral("Directory:"), m_directory);
    right->addWidget(destination);

    auto *rules = new QGroupBox(QStringLiteral("Old backups"), this);
    auto *rulesLayout = new QHBoxLayout(rules);
    m_maintainAll = new QRadioButton(DeleteRule::MaintainAll, this);
    m_keepLatest = new QRadioButton(DeleteRule::JustKeepLatest, this);
    m_deleteAfter = new QRadioButton(DeleteRule::DeleteAfter, this);
    m_deleteAfterDays = new QSpinBox(this);
    m_deleteAfterDays->setRange(1, 3650);
    m_deleteAfterDays->setSuffix(QStringLiteral(" days"));
    auto *group = new QButtonGroup(this); // the three choices are exclusive
    for (QRadioButton *b : {m_maintainAll, m_keepLatest, m_deleteAfter}) {
        group->addButton(b);
        rulesLayout->addWidget(b);
    }
    rulesLayout->addWidget(m_deleteAfterDays);
    right->addWidget(rules);

    auto *when = new QGroupBox(QStringLiteral("Back up when"), this);
    auto *whenLayout = new QGridLayout(when);
    whenLayout->addWidget(flag(QStringLiteral("The server goes online"), Key::ServerGoesOnline), 0, 0);
    whenLayout->addWidget(flag(QStringLiteral("The file is opened"), Key::FileIsOpened), 1, 0);
    whenLayout->addWidget(flag(QStringLiteral("The file is saved"), Key::FileIsSaved), 2, 0);
    whenLayout->addWidget(flag(QStringLiteral("The file is closed"), Key::FileIsClosed), 0, 1);
    whenLayout->addWidget(flag(QStringLiteral("Orvix is launched"), Key::AppIsLaunched), 1, 1);
    whenLayout->addWidget(flag(QStringLiteral("Orvix is quit"), Key::AppIsQuit), 2, 1);
    auto *every = new QHBoxLayout;
    every->addWidget(flag(QStringLiteral("Every"), Key::BackupAtEvery));
    m_everyNumber = new QSpinBox(this);
    m_everyNumber->setRange(1, 999);
    m_everyUnits = new QComboBox(this);
    m_everyUnits->addItems(periodUnits());
    m_everyTime = new QDateTimeEdit(this);
    m_everyTime->setDisplayFormat(QStringLiteral("HH:mm"));
    m_everyTime->setTimeSpec(Qt::UTC);
    every->addWidget(m_everyNumber);
    every->addWidget(m_everyUnits);
    every->addWidget(new QLabel(QStringLiteral("from"), this));
    every->addWidget(m_everyTime);
    every->addStretch();
    whenLayout->addLayout(every, 3, 0, 1, 2);
    right->addWidget(when);

    auto *failure = new QGroupBox(QStringLiteral("When a backup fails"), this);
    auto *failureLayout = new QGridLayout(failure);
    failureLayout->addWidget(flag(QStringLiteral("Alert me with a dialog"), Key::AlertUserWithDialog), 0, 0);
    failureLayout->addWidget(flag(QStringLiteral("E-mail this address:"), Key::EmailThisAddress), 1, 0);
    m_emailText = new QLineEdit(this);
    failureLayout->addWidget(m_emailText, 1, 1);
    failureLayout->addWidget(flag(QStringLiteral("Retry when the media next goes online"), Key::RetryWhenOnline), 2, 0);
    auto *retry = new QHBoxLayout;
    retry->addWidget(flag(QStringLiteral("Retry after"), Key::RetryAfter));
    m_retryNumber = new QSpinBox(this);
    m_retryNumber->setRange(1, 999);
    m_retryUnits = new QComboBox(this);
    m_retryUnits->addItems(retryUnits());
    retry->addWidget(m_retryNumber);
    retry->addWidget(m_retryUnits);
    retry->addStretch();
    failureLayout->addLayout(retry, 3, 0, 1, 2);
    right->addWidget(failure);
    right->addStretch();

    LMBackupController *c = &m_controller;
    connect(add, &QAction::triggered, c, &LMBackupController::addButton);
    connect(remove, &QAction::triggered, c, &LMBackupController::removeButton);
    connect(now, &QAction::triggered, c, &LMBackupController::manuallyDoBackup);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_loading)
            m_controller.select(row);
    });
    connect(m_name, &QLineEdit::editingFinished, this, [this] { m_controller.backupName(m_name->text()); });
    connect(m_type, &QComboBox::currentTextChanged, this, [this](const QString &kind) {
        if (!m_loading) {
            m_controller.type(kind);
            showSelected();
        }
    });
    connect(m_server, &QLineEdit::editingFinished, this, [this] {
        if (!m_loading && m_server->isModified())
            m_controller.server(m_server->text());
    });
    connect(m_username, &QLineEdit::editingFinished, this, [this] { m_controller.username(m_username->text()); });
    connect(m_password, &QLineEdit::editingFinished, this, [this] { m_controller.password(m_password->text()); });
    connect(m_directory, &QLineEdit::editingFinished, this, [this] { m_controller.directory(m_directory->text()); });
    connect(m_emailText, &QLineEdit::editingFinished, this,
            [this] { m_controller.emailThisAddress_Text(m_emailText->text()); });
    connect(m_maintainAll, &QRadioButton::clicked, c, &LMBackupController::deleteRuleMaintainAll);
    connect(m_keepLatest, &QRadioButton::clicked, c, &LMBackupController::deleteRuleJustKeepLatest);
    auto deleteAfter = [this] {
        if (!m_loading && m_deleteAfter->isChecked())
            m_controller.deleteRuleDeleteAfter(m_deleteAfterDays->value());
    };
    connect(m_deleteAfter, &QRadioButton::clicked, this, deleteAfter);
    connect(m_deleteAfterDays, &QSpinBox::valueChanged, this, deleteAfter);
    auto number = [this](QSpinBox *box, const QString &key) {
        connect(box, &QSpinBox::valueChanged, this, [this, key](int v) {
            if (!m_loading)
                m_controller.setNumber(key, v);
        });
    };
    number(m_everyNumber, Key::BackupAtEveryNumber);
    number(m_retryNumber, Key::RetryAfterNumber);
    auto units = [this](QComboBox *box, const QString &key) {
        connect(box, &QComboBox::currentTextChanged, this, [this, key](const QString &v) {
            if (!m_loading)
                m_controller.setUnits(key, v);
        });
    };
    units(m_everyUnits, Key::BackupAtEveryUnits);
    units(m_retryUnits, Key::RetryAfterUnits);
    connect(m_everyTime, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &t) {
        if (!m_loading)
            m_controller.backupAtEveryTime(ReferenceDate::fromDateTime(t));
    });
    connect(c, &LMBackupController::listChanged, this, &LMBackup::reloadList);
    connect(c, &LMBackupController::selectionChanged, this, &LMBackup::showSelected);
    connect(c, &LMBackupController::descriptionChanged, m_description, &QLabel::setText);

    reloadList();
    showSelected();
    resize(720, 620);
}

QCheckBox *LMBackup::flag(const QString &title, const QString &key)
{
    auto *box = new QCheckBox(title, this);
    m_flags.append({box, key});
    connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
        if (!m_loading)
            m_controller.setFlag(key, on);
    });
    return box;
}

void LMBackup::reloadList()
{
    m_loading = true;
    m_list->clear();
    const Value backups = m_controller.backups();
    for (int i = 0; i < backups.size(); ++i) {
        const Value d = backups.at(i);
        m_list->addItem(new QListWidgetItem(kindIcon(d.value(Key::Type).toString()), d.value(Key::Name).toString()));
    }
    m_list->setCurrentRow(m_controller.selectedIndex());
    m_loading = false;
}

void LMBackup::showSelected()
{
    m_loading = true;
    const Value d = m_controller.selected();
    const bool any = d.isDict();
    for (QWidget *w : findChildren<QGroupBox *>())
        w->setEnabled(any);
    m_list->setCurrentRow(m_controller.selectedIndex());
    m_name->setText(d.value(Key::Name).toString());
    m_type->setCurrentText(d.value(Key::Type).toString());
    m_server->setText(d.value(Key::Server).toString());
    m_server->setModified(false);
    m_username->setText(d.value(Key::Username).toString());
    m_password->setText(d.value(Key::Password).toString());
    m_directory->setText(d.value(Key::Directory).toString());
    m_emailText->setText(d.value(Key::EmailThisAddressText).toString());
    const FieldState state = m_controller.fieldState();
    m_username->setEnabled(state.username);
    m_password->setEnabled(state.password);
    m_server->setEnabled(state.server);
    const QString rule = d.value(Key::DeleteRule).toString();
    m_maintainAll->setChecked(rule == DeleteRule::MaintainAll);
    m_keepLatest->setChecked(rule == DeleteRule::JustKeepLatest);
    m_deleteAfter->setChecked(rule == DeleteRule::DeleteAfter);
    m_deleteAfterDays->setValue(int(qMax<qint64>(1, d.value(Key::DeleteAfterDays).toInt())));
    for (const auto &[box, key] : m_flags)
        box->setChecked(d.value(key).toBool());
    m_everyNumber->setValue(int(qMax<qint64>(1, d.value(Key::BackupAtEveryNumber).toInt())));
    m_everyUnits->setCurrentText(d.value(Key::BackupAtEveryUnits).toString());
    m_retryNumber->setValue(int(qMax<qint64>(1, d.value(Key::RetryAfterNumber).toInt())));
    m_retryUnits->setCurrentText(d.value(Key::RetryAfterUnits).toString());
    m_everyTime->setDateTime(ReferenceDate::toDateTime(d.value(Key::BackupAtEveryTime).toDate()));
    m_description->setText(m_controller.descriptionLine());
    m_loading = false;
}
