// LMSearchMenuWindow: a frameless tool window that never takes the focus, so typing stays in the field.
#include "LMSearchMenuWindow.h"

#include "LMSearchMenuModel.h"
#include "LMSearchOpening.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

LMSearchMenuWindow *LMSearchMenuWindow::attach(QLineEdit *field, MyDocument *document, LMDocumentNavigator *navigator)
{
    auto *window = new LMSearchMenuWindow(field, document, navigator);
    QObject::connect(field, &QObject::destroyed, window, &QObject::deleteLater);
    return window;
}

LMSearchMenuWindow::LMSearchMenuWindow(QLineEdit *field, MyDocument *document, LMDocumentNavigator *navigator)
    : QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_navigator(navigator)
{
    setObjectName(QStringLiteral("LMSearchMenuWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    m_model = new LMSearchMenuModel(document, this);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("LMSearchMenuView"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_list);
    connect(m_model, &LMSearchMenuModel::listChanged, this, &LMSearchMenuWindow::updateList);
    connect(m_model, &LMSearchMenuModel::itemChosen, this, [this](const QString &kind, const QString &name) {
        dismiss();
        if (m_navigator)
            LMSearchOpening::switchToObject(*m_navigator, name, kind);
        emit itemChosen(kind, name);
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { choose(m_list->row(item)); });
    setSearchField(field);
}

LMSearchMenuWindow::~LMSearchMenuWindow() = default;

void LMSearchMenuWindow::setSearchField(QLineEdit *field)
{
    if (m_field == field)
        return;
    if (m_field) {
        m_field->removeEventFilter(this);
        disconnect(m_field, nullptr, this, nullptr);
    }
    m_field = field;
    if (!field)
        return;
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_model->setSearchString(text);
        if (text.isEmpty()) {
            hide();
            return;
        }
        reposition();
        show();
        raise();
    });
}

bool LMSearchMenuWindow::event(QEvent *event)
{
    // Some window managers activate the window anyway: typing must stay in the field.
    if (event->type() == QEvent::WindowActivate && m_field) {
        m_field->window()->activateWindow();
        m_field->setFocus();
    }
    return QFrame::event(event);
}

void LMSearchMenuWindow::dismiss()
{
    hide();
    m_model->setSearchString(QString());
    if (m_field) {
        m_field->clear();
        m_field->clearFocus();
    }
}

void LMSearchMenuWindow::choose(int row)
{
    m_model->choose(row);
}

void LMSearchMenuWindow::updateList()
{
    m_list->clear();
    for (const LMSearchMenuModel::Row &row : m_model->rows()) {
        auto *item = new QListWidgetItem(m_list);
        item->setText(row.label.isEmpty() ? QStringLiteral("      %1").arg(row.name)
                                          : QStringLiteral("%1:  %2").arg(row.label, row.name));
        if (!row.label.isEmpty()) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    if (m_model->selectedRow() >= 0)
        m_list->setCurrentRow(m_model->selectedRow());
    if (isVisible())
        reposition();
}

void LMSearchMenuWindow::reposition()
{
    if (!m_field)
        return;
    // Grows with the results and collapses to a thin strip without any.
    const int rows = qMin(m_model->resCount(), 14);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : fontMetrics().height() + 4;
    const int height = rows == 0 ? 6 : rows * rowHeight + 8;
    const int width = qMax(260, m_field->width());
    QPoint at = m_field->mapToGlobal(QPoint(m_field->width() - width, m_field->height() + 2));
    if (QScreen *screen = m_field->screen())
        at.setX(qMax(screen->availableGeometry().left(), at.x()));
    setGeometry(QRect(at, QSize(width, height)));
}

bool LMSearchMenuWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut && isVisible()) {
        // Losing the focus closes the window, unless the focus went to the window itself (it hands it back).
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && m_field && !m_field->hasFocus() && !geometry().contains(QCursor::pos()))
                dismiss();
        });
    } else if (event->type() == QEvent::KeyPress && isVisible()) {
        auto *key = static_cast<QKeyEvent *>(event);
        using Command = LMSearchMenuModel::Command;
        std::optional<Command> command;
        switch (key->key()) {
        case Qt::Key_Up: command = Command::Up; break;
        case Qt::Key_Down: command = Command::Down; break;
        case Qt::Key_Home:
        case Qt::Key_PageUp: command = Command::Beginning; break;
        case Qt::Key_End:
        case Qt::Key_PageDown: command = Command::End; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: command = Command::Return; break;
        case Qt::Key_Escape: dismiss(); return true;
        default: break;
        }
        if (command && m_model->doCommandBySelector(*command))
            return true;
    }
    return QFrame::eventFilter(watched, event);
}
