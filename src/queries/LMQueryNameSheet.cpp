// LMQueryNameSheet: name field with Save (or Rename) and Cancel.
#include "LMQueryNameSheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LMQueryNameSheet::LMQueryNameSheet(const QString &name, bool renaming, std::function<bool(const QString &)> accept,
                                   std::function<void()> cancel, QWidget *parent)
    : QDialog(parent), m_accept(std::move(accept)), m_cancel(std::move(cancel))
{
    setWindowTitle(renaming ? QStringLiteral("Rename Query") : QStringLiteral("Save Query"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Query Name:")));
    m_field = new QLineEdit(name);
    m_field->selectAll();
    layout->addWidget(m_field);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancelButton = new QPushButton(QStringLiteral("Cancel"));
    m_save = new QPushButton(renaming ? QStringLiteral("Rename") : QStringLiteral("Save"));
    m_save->setDefault(true);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_save);
    layout->addLayout(buttons);
    connect(m_save, &QPushButton::clicked, this, &LMQueryNameSheet::pressSave);
    connect(cancelButton, &QPushButton::clicked, this, &LMQueryNameSheet::pressCancel);
    // Escape and the window's close button cancel too.
    connect(this, &QDialog::rejected, this, [this] {
        if (!m_done) {
            m_done = true;
            if (m_cancel)
                m_cancel();
        }
    });
}

QString LMQueryNameSheet::buttonTitle() const
{
    return m_save->text();
}

void LMQueryNameSheet::pressSave()
{
    // A refused name leaves the sheet up so the user can correct it.
    if (m_accept && m_accept(m_field->text())) {
        m_done = true;
        accept();
    }
}

void LMQueryNameSheet::pressCancel()
{
    reject();
}
