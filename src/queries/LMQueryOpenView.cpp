// LMQueryOpenView: a list of query names with Open and Cancel.
#include "LMQueryOpenView.h"

#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "Ui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

LMQueryOpenView::LMQueryOpenView(LMQueryFilterView *filterView, const Value &queries, QWidget *parent)
    : QDialog(parent), m_filter(filterView), m_queries(queries)
{
    setWindowTitle(QStringLiteral("Open Query"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose a query to open:")));
    m_list = new QListWidget;
    for (int i = 0; i < m_queries.size(); ++i) {
        const Value query = m_queries.at(i);
        auto *item = new QListWidgetItem(query.value(LMQueryDefinition::kName).toString());
        const QString table = query.value(LMQueryDefinition::kTableName).toString();
        item->setToolTip(table);
        item->setData(Qt::UserRole, i);
        m_list->addItem(item);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    auto *open = new QPushButton(QStringLiteral("Open"));
    open->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(open);
    layout->addLayout(buttons);
    connect(open, &QPushButton::clicked, this, &LMQueryOpenView::openButton);
    connect(cancel, &QPushButton::clicked, this, &LMQueryOpenView::cancelButton);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &LMQueryOpenView::openButton);
}

QStringList LMQueryOpenView::queryNames() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i)
        names.append(m_list->item(i)->text());
    return names;
}

bool LMQueryOpenView::selectQuery(const QString &name)
{
    const QList<QListWidgetItem *> found = m_list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    m_list->setCurrentItem(found.first());
    return true;
}

void LMQueryOpenView::openButton()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !m_filter) {
        Ui::instance().beep();
        return;
    }
    const Value chosen = m_queries.at(item->data(Qt::UserRole).toInt());
    accept();
    // The filter lets go of this chooser as part of opening; nothing of it is used afterwards.
    m_filter->chooserDidChoose(chosen);
}

void LMQueryOpenView::cancelButton()
{
    reject();
}
