// LMQueryFilterHeader: the "Main", "Parameters" and "Displays" headings of the query filter.
#include "LMQueryFilterHeader.h"

#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "OXDatabase.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

LMQueryFilterHeader::LMQueryFilterHeader(const QString &type, LMQueryFilterView *filter, QWidget *parent)
    : QWidget(parent), m_type(type), m_filter(filter)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    if (type == QLatin1String("Main")) {
        m_title = new QLabel;
        QFont bold = m_title->font();
        bold.setBold(true);
        m_title->setFont(bold);
        layout->addWidget(m_title);
        layout->addStretch();
        const std::pair<QString, void (LMQueryFilterHeader::*)()> buttons[] = {
            {QStringLiteral("Save"), &LMQueryFilterHeader::saveButton},
            {QStringLiteral("Open"), &LMQueryFilterHeader::openButton},
            {QStringLiteral("Rename"), &LMQueryFilterHeader::renameButton}};
        for (const auto &[title, action] : buttons) {
            auto *button = new QPushButton(title);
            connect(button, &QPushButton::clicked, this, action);
            layout->addWidget(button);
            m_buttons.append(button);
        }
        setQueryNameTitle(QString());
    } else if (type == QLatin1String("Displays")) {
        layout->addWidget(new QLabel(QStringLiteral("Show")));
        m_fieldsButton = new QToolButton;
        m_fieldsButton->setPopupMode(QToolButton::InstantPopup);
        m_fieldsMenu = new QMenu(m_fieldsButton);
        m_fieldsButton->setMenu(m_fieldsMenu);
        connect(m_fieldsMenu, &QMenu::aboutToShow, this, &LMQueryFilterHeader::showDisplayedFields);
        layout->addWidget(m_fieldsButton);
        layout->addStretch();
    } else {
        layout->addWidget(new QLabel(QStringLiteral("Match")));
        m_boolean = new QComboBox;
        m_boolean->addItems({QStringLiteral("all"), QStringLiteral("any")});
        connect(m_boolean, &QComboBox::activated, this,
                [this](int index) { paramBoolean(m_boolean->itemText(index)); });
        layout->addWidget(m_boolean);
        layout->addWidget(new QLabel(QStringLiteral("of the following conditions:")));
        layout->addStretch();
    }
}

void LMQueryFilterHeader::paramBoolean(const QString &title)
{
    if (!m_filter)
        return;
    m_filter->dictionary().set(LMQueryDefinition::kParameterBoolean, Value(title));
    if (m_boolean && m_boolean->currentText() != title)
        m_boolean->setCurrentText(title);
    m_filter->alertDelegate();
}

void LMQueryFilterHeader::showParameterBoolean(const Value &definition)
{
    if (!m_boolean)
        return;
    const bool any = definition.value(LMQueryDefinition::kParameterBoolean).toString() == QLatin1String("any");
    m_boolean->setCurrentIndex(any ? 1 : 0);
}

void LMQueryFilterHeader::saveButton()
{
    if (m_filter)
        m_filter->save();
}

void LMQueryFilterHeader::openButton()
{
    if (m_filter)
        m_filter->openQuery();
}

void LMQueryFilterHeader::renameButton()
{
    if (m_filter)
        m_filter->renameQuery();
}

void LMQueryFilterHeader::setQueryNameTitle(const QString &name)
{
    m_name = name;
    if (m_title)
        m_title->setText(name.isEmpty() ? QStringLiteral("Unsaved Query") : name);
}

void LMQueryFilterHeader::showDisplayedFields()
{
    if (!m_fieldsMenu || !m_filter)
        return;
    OXDatabase *db = m_filter->database();
    const QStringList design = db ? db->allNamesForTable(m_filter->tableName()) : QStringList();
    const QStringList shown = m_filter->displayedFields();
    m_fieldsMenu->clear();
    for (const QString &field : design) {
        QAction *action = m_fieldsMenu->addAction(field);
        action->setCheckable(true);
        action->setChecked(shown.isEmpty() || shown.contains(field));
        connect(action, &QAction::toggled, this, [this, field](bool checked) {
            // The filter rebuilds this menu, so it is changed after the action has finished.
            QMetaObject::invokeMethod(
                this,
                [this, field, checked] {
                    if (m_filter)
                        m_filter->setFieldDisplayed(field, checked);
                },
                Qt::QueuedConnection);
        });
    }
    const qsizetype count = shown.isEmpty() ? design.size() : shown.size();
    m_fieldsButton->setText(count == design.size() ? QStringLiteral("All Fields")
                                                   : QStringLiteral("%1 of %2 Fields").arg(count).arg(design.size()));
}

QPushButton *LMQueryFilterHeader::button(const QString &title) const
{
    for (QPushButton *b : m_buttons)
        if (b->text() == title)
            return b;
    return nullptr;
}
