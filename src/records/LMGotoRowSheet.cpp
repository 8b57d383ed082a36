// LMGotoRowSheet: a number field with Go and Cancel.
#include "LMGotoRowSheet.h"

#include <QDialogButtonBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LMGotoRowSheet::LMGotoRowSheet(QWidget *window, int rowCount, std::function<void(const QString &)> finished)
    : QDialog(window), m_finished(std::move(finished))
{
    setObjectName(QStringLiteral("LMGotoRowSheet"));
    setWindowTitle(QStringLiteral("Go to Row"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Go to row number (1 to %1):").arg(rowCount), this));
    m_field = new QLineEdit(this);
    m_field->setValidator(new QIntValidator(1, qMax(1, rowCount), m_field));
    layout->addWidget(m_field);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("Go"), QDialogButtonBox::AcceptRole)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LMGotoRowSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LMGotoRowSheet::reject);
}

void LMGotoRowSheet::accept()
{
    const QString text = m_field->text();
    QDialog::accept();
    if (m_finished)
        m_finished(text);
}
