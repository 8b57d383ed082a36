// LMLoginController: pictures and names of the users, a password field, beep and shake on a wrong password.
#include "LMLoginController.h"
#include "DesignVocabulary.h"

#include "LMLogin.h"
#include "LMLoginForgotPasswordController.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// A user without a picture gets a round badge with the initial of the name.
QIcon pictureFor(const Value &user)
{
    const QImage image = user.value(AccountKey::Image).toImage();
    if (!image.isNull())
        return QIcon(QPixmap::fromImage(image.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x5b, 0x7d, 0xb1));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 44, 44);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    const QString name = user.value(AccountKey::Name).toString();
    painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, name.left(1).toUpper());
    return QIcon(pixmap);
}
} // namespace

LMLoginController::LMLoginController(MyDocument *document, const Value &users, Callback callback, QWidget *parent)
    : QDialog(parent), m_document(document), m_users(users), m_callback(std::move(callback))
{
    const QString docName = document && !document->fileName().isEmpty()
                                ? QFileInfo(document->fileName()).completeBaseName()
                                : QStringLiteral("Untitled");
    setWindowTitle(QStringLiteral("Log In — %1").arg(docName));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Choose your user and enter your password to open “%1”.").arg(docName)));

    m_list = new QListWidget;
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(48, 48));
    m_list->setGridSize(QSize(96, 80));
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    for (int i = 0; i < m_users.size(); ++i) {
        const Value user = m_users.at(i);
        new QListWidgetItem(pictureFor(user), user.value(AccountKey::Name).toString(), m_list);
    }
    layout->addWidget(m_list);

    m_prompt = new QLabel;
    layout->addWidget(m_prompt);
    m_password = new QLineEdit;
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("Password"));
    layout->addWidget(m_password);

    auto *buttons = new QDialogButtonBox;
    m_logIn = buttons->addButton(QStringLiteral("Log In"), QDialogButtonBox::AcceptRole);
    m_forgot = buttons->addButton(QStringLiteral("Forgot Password…"), QDialogButtonBox::ResetRole);
    connect(m_forgot, &QPushButton::clicked, this, [this] { forgotPassword(); });
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        updatePrompt();
        m_password->setFocus();
    });
    connect(m_password, &QLineEdit::returnPressed, this, [this] { enterPassword(m_password->text()); });
    connect(m_logIn, &QPushButton::clicked, this, [this] { enterPassword(m_password->text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    updatePrompt();
    resize(420, 320);
}

QStringList LMLoginController::userNames() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i)
        names << m_list->item(i)->text();
    return names;
}

bool LMLoginController::chooseUser(const QString &name)
{
    const QStringList names = userNames();
    const int row = int(names.indexOf(name));
    if (row < 0)
        return false;
    m_list->setCurrentRow(row);
    return true;
}

QString LMLoginController::chosenUser() const
{
    return m_list->currentItem() ? m_list->currentItem()->text() : QString();
}

void LMLoginController::updatePrompt()
{
    const QString user = chosenUser();
    m_prompt->setText(user.isEmpty() ? QStringLiteral("Choose a user.") : QStringLiteral("Password for %1:").arg(user));
    m_logIn->setEnabled(!user.isEmpty());
    m_forgot->setVisible(canResetPassword());
}

bool LMLoginController::canResetPassword() const
{
    const Value user = MyDocument::itemNamed(m_users, chosenUser());
    return !user.value(AccountKey::Email).toString().trimmed().isEmpty();
}

void LMLoginController::forgotPassword()
{
    if (!canResetPassword())
        return;
    const Value user = MyDocument::itemNamed(m_users, chosenUser());
    hide();
    std::shared_ptr<LMLogin> login = LMLoginForgotPasswordController::run(user, m_document, parentWidget());
    if (!login) {
        show();
        return;
    }
    m_loggedIn = true;
    accept();
    if (m_callback)
        m_callback(login);
}

bool LMLoginController::enterPassword(const QString &password)
{
    const Value user = LMLogin::checkUsername(chosenUser(), password, m_users);
    if (user.isNull()) {
        Ui::instance().beep();
        shake();
        m_password->selectAll();
        return false;
    }
    auto login = LMLogin::forUser(user);
    login->setPassword(password);
    m_loggedIn = true;
    m_password->clear();
    accept();
    if (m_callback)
        m_callback(login);
    return true;
}

void LMLoginController::shake()
{
    ++m_shakes;
    // Left and right by 2 points, three times, then back where it was.
    const QPoint origin = pos();
    for (int step = 0; step < 7; ++step) {
        const int dx = step == 6 ? 0 : (step % 2 == 0 ? -2 : 2);
        QTimer::singleShot(30 * (step + 1), this, [this, origin, dx] { move(origin + QPoint(dx, 0)); });
    }
}
