// LMTableOptionsPane: controls bound to the keys of the field dictionary; the rules beyond plain binding
// (option list and its default menu, date default, number format patterns, human key) live here too.
#include "LMTableDesignOptionsPane.h"

#include "LMTableDesignRules.h"
#include "LMTableDesignView.h"
#include "OXDatabase.h"
#include "ReferenceDate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const QStringList kStyleChoices{"", "None", "Short", "Medium", "Long", "Full", "Default"};
const QList<Datatype> kTextDefaults{Datatype::Text, Datatype::Number, Datatype::YesNo, Datatype::List,
                                    Datatype::FilePath};

// A date text is the stored form: a number of seconds since the reference date.
bool isDateText(const Value &value)
{
    if (!value.isString() || value.toString().trimmed().isEmpty())
        return false;
    bool ok = false;
    value.toString().trimmed().toDouble(&ok);
    return ok;
}
} // namespace

LMTableOptionsPane::LMTableOptionsPane(LMTableDesignView *editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_stack = new QStackedWidget;
    layout->addWidget(m_stack);
    setMinimumWidth(320);

    m_message = new QLabel;
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setStyleSheet(QStringLiteral("color: palette(mid);"));
    m_stack->addWidget(m_message);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *page = new QWidget;
    buildInspector(page);
    scroll->setWidget(page);
    m_stack->addWidget(scroll);
    setDictionary(Value(), -1);
}

// ---- Building

QLineEdit *LMTableOptionsPane::textControl(const QString &key)
{
    auto *edit = new QLineEdit;
    m_texts.insert(key, edit);
    connect(edit, &QLineEdit::textEdited, this, [this, key](const QString &text) { setText(key, text); });
    return edit;
}

QCheckBox *LMTableOptionsPane::flagControl(const QString &key, const QString &title)
{
    auto *box = new QCheckBox(title);
    m_flags.insert(key, box);
    connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
        if (!m_loading)
            key == DesignKey::HumanKey ? humanKey(on) : setFlag(key, on);
    });
    return box;
}

void LMTableOptionsPane::addRow(const QString &key, const QString &label, QWidget *widget, const QList<Datatype> &types)
{
    m_form->addRow(label, widget);
    m_rows.append({key, widget, types});
}

void LMTableOptionsPane::buildInspector(QWidget *page)
{
    m_form = new QFormLayout(page);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    QList<Datatype> every;
    for (const QString &name : Datatypes::names())
        every.append(Datatypes::fromName(name));

    addRow(DesignKey::Unique, QString(), flagControl(DesignKey::Unique, "Unique"));
    addRow(DesignKey::NotNull, QString(), flagControl(DesignKey::NotNull, "Not Null"));
    addRow(DesignKey::HumanKey, QString(), flagControl(DesignKey::HumanKey, "Names the record (human key)"), every);

    addRow(DesignKey::Default, "Default:", textControl(DesignKey::Default), kTextDefaults);

    // Options: the list of choices with its buttons, then the default chosen among them.
    auto *optionsBox = new QWidget;
    auto *optionsLayout = new QVBoxLayout(optionsBox);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    m_options = new QListWidget;
    m_options->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);
    connect(m_options, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_loading)
            setOptionTitle(m_options->row(item), item->text());
    });
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("+"));
    auto *remove = new QPushButton(QStringLiteral("\u2212"));
    connect(add, &QPushButton::clicked, this, &LMTableOptionsPane::optionsAddButton);
    connect(remove, &QPushButton::clicked, this, &LMTableOptionsPane::optionsRemoveButton);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    optionsLayout->addWidget(m_options);
    optionsLayout->addLayout(buttons);
    addRow(DesignKey::Options, "Options:", optionsBox, {Datatype::Options});
    m_defaultMenu = new QComboBox;
    m_defaultMenu->setToolTip(QStringLiteral("Default Value"));
    connect(m_defaultMenu, &QComboBox::activated, this, &LMTableOptionsPane::optionsDefaultMenu);
    addRow("Default Value", "Default Value:", m_defaultMenu, {Datatype::Options});

    m_dateDefault = new QDateTimeEdit;
    m_dateDefault->setCalendarPopup(true);
    m_dateDefault->setTimeSpec(Qt::UTC);
    connect(m_dateDefault, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &dt) {
        if (!m_loading)
            dateDefaultField(ReferenceDate::fromDateTime(dt));
    });
    addRow("Default Date", "Default:", m_dateDefault, {Datatype::Date});
    m_dateFormat = new QComboBox;
    m_timeFormat = new QComboBox;
    for (auto [box, key] :
         {std::pair{m_dateFormat, &DesignKey::DateFormat}, std::pair{m_timeFormat, &DesignKey::TimeFormat}}) {
        box->setEditable(true); // a date pattern may be typed instead of a style
        box->addItems(kStyleChoices);
        const QString k = *key;
        connect(box, &QComboBox::currentTextChanged, this, [this, k](const QString &text) { setText(k, text); });
        addRow(k, k + QLatin1Char(':'), box, {Datatype::Date});
    }

    addRow(DesignKey::Regex, "Regular Expression:", textControl(DesignKey::Regex), {Datatype::Text});

    // Number: the format menu fills the pattern field; the pattern is what is stored.
    auto *formatBox = new QWidget;
    auto *formatLayout = new QHBoxLayout(formatBox);
    formatLayout->setContentsMargins(0, 0, 0, 0);
    m_formatMenu = new QComboBox;
    m_formatMenu->addItems(LMTableDesignRules::formatMenuTitles());
    connect(m_formatMenu, &QComboBox::activated, this,
            [this](int index) { formatterMenu(m_formatMenu->itemText(index)); });
    m_formatField = new QLineEdit;
    connect(m_formatField, &QLineEdit::textEdited, this, &LMTableOptionsPane::formatterField);
    formatLayout->addWidget(m_formatMenu);
    formatLayout->addWidget(m_formatField, 1);
    addRow(DesignKey::Format, "Format:", formatBox, {Datatype::Number});
    addRow(DesignKey::IsInteger, QString(), flagControl(DesignKey::IsInteger, "Whole numbers only"),
           {Datatype::Number});
    addRow(DesignKey::IsPositive, QString(), flagControl(DesignKey::IsPositive, "Positive numbers only"),
           {Datatype::Number});
    for (bool upper : {false, true}) {
        auto *boundBox = new QWidget;
        auto *boundLayout = new QHBoxLayout(boundBox);
        boundLayout->setContentsMargins(0, 0, 0, 0);
        auto *op = new QComboBox;
        // "x" (no bound) is stored but shown as nothing.
        for (const QString &stored : LMTableDesignRules::boundOperators())
            op->addItem(stored == QLatin1String("x") ? QString() : stored, stored);
        const QString key = upper ? DesignKey::CheckUpperBound : DesignKey::CheckLowerBound;
        QLineEdit *value = textControl(key);
        connect(op, &QComboBox::activated, this,
                [this, op, upper, value] { setBound(upper, op->currentData().toString(), value->text()); });
        (upper ? m_upperOperator : m_lowerOperator) = op;
        boundLayout->addWidget(op);
        boundLayout->addWidget(value, 1);
        addRow(key, upper ? "Upper Bound:" : "Lower Bound:", boundBox, {Datatype::Number});
    }

    addRow(DesignKey::YesValue, "Yes Text:", textControl(DesignKey::YesValue), {Datatype::YesNo});
    addRow(DesignKey::NoValue, "No Text:", textControl(DesignKey::NoValue), {Datatype::YesNo});
    addRow(DesignKey::ListSeparator, "List Separator:", textControl(DesignKey::ListSeparator), {Datatype::List});
    addRow(DesignKey::Check, "Check:", textControl(DesignKey::Check));
}

// ---- Showing a field

bool LMTableOptionsPane::rowApplies(const Row &row, Datatype type) const
{
    if (row.types.isEmpty())
        return type != Datatype::Relationship;
    return row.types.contains(type);
}

QStringList LMTableOptionsPane::visibleKeys() const
{
    QStringList keys;
    if (m_stack->currentIndex() != 1)
        return keys;
    for (const Row &row : m_rows)
        if (m_form->isRowVisible(row.widget))
            keys.append(row.key);
    return keys;
}

void LMTableOptionsPane::setDictionary(const Value &field, int mapIndex)
{
    m_field = field.isDict() ? field : Value();
    m_mapIndex = m_field.isNull() ? -1 : mapIndex;
    if (m_field.isNull()) {
        m_shown = QStringLiteral("No Selection");
    } else if (m_mapIndex == 0 || Datatypes::is(m_field.value(DesignKey::Type).toString(), Datatype::PrimaryKey)) {
        m_shown = QStringLiteral("Cannot edit ID");
    } else {
        m_shown = m_field.value(DesignKey::Type).toString();
    }
    if (m_field.isNull() || m_shown == QLatin1String("Cannot edit ID")) {
        m_message->setText(m_shown);
        m_stack->setCurrentIndex(0);
        return;
    }
    m_stack->setCurrentIndex(1);
    for (const Row &row : m_rows)
        m_form->setRowVisible(row.widget, rowApplies(row, Datatypes::fromName(m_shown)));
    loadField();
}

void LMTableOptionsPane::loadField()
{
    m_loading = true;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setText(m_field.value(it.key()).stringValue());
    for (auto it = m_flags.cbegin(); it != m_flags.cend(); ++it)
        it.value()->setChecked(m_field.value(it.key()).toBool());
    m_dateFormat->setCurrentText(m_field.value(DesignKey::DateFormat).toString());
    m_timeFormat->setCurrentText(m_field.value(DesignKey::TimeFormat).toString());
    m_loading = false;
    switch (Datatypes::fromName(m_shown)) {
    case Datatype::Options: loadOptions(); break;
    case Datatype::Date: loadDate(); break;
    case Datatype::Number: loadNumber(); break;
    default: break;
    }
}

void LMTableOptionsPane::loadOptions()
{
    m_loading = true;
    m_options->clear();
    const QStringList titles = optionTitles();
    for (const QString &title : titles) {
        auto *item = new QListWidgetItem(title);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        m_options->addItem(item);
    }
    m_defaultMenu->clear();
    m_defaultMenu->addItems(titles);
    m_defaultMenu->setCurrentIndex(int(titles.indexOf(m_field.value(DesignKey::Default).toString())));
    m_loading = false;
}

void LMTableOptionsPane::loadDate()
{
    const Value stored = m_field.value(DesignKey::Default);
    double seconds;
    if (isDateText(stored)) {
        seconds = OXDatabase::dateFromString(stored.toString()).toDate();
    } else {
        // A date field always has a default date: the moment it is first shown.
        const QString now = OXDatabase::stringFromDate(Value::date(ReferenceDate::now()));
        m_field.set(DesignKey::Default, Value(now));
        seconds = OXDatabase::dateFromString(now).toDate();
    }
    m_loading = true;
    m_dateDefault->setDateTime(ReferenceDate::toDateTime(seconds));
    m_loading = false;
}

void LMTableOptionsPane::loadNumber()
{
    m_loading = true;
    const QString format = m_field.value(DesignKey::Format).stringValue();
    m_formatField->setText(format);
    int menuIndex = format.isEmpty() ? 0 : -1;
    for (int i = 1; i < m_formatMenu->count() && menuIndex < 0; ++i)
        if (LMTableDesignRules::formatPatternForMenuTitle(m_formatMenu->itemText(i)) == format)
            menuIndex = i;
    m_formatMenu->setCurrentIndex(menuIndex);
    for (auto [op, key] : {std::pair{m_lowerOperator, &DesignKey::CheckLowerBoundOperator},
                           std::pair{m_upperOperator, &DesignKey::CheckUpperBoundOperator}}) {
        const QString stored = m_field.value(*key).toString();
        const int index = int(LMTableDesignRules::boundOperators().indexOf(stored));
        op->setCurrentIndex(index < 0 ? 0 : index);
    }
    m_loading = false;
}

// ---- Plain bindings

void LMTableOptionsPane::setFlag(const QString &key, bool on)
{
    if (m_field.isNull())
        return;
    m_field.set(key, Value(on));
    if (QCheckBox *box = m_flags.value(key); box && box->isChecked() != on) {
        m_loading = true;
        box->setChecked(on);
        m_loading = false;
    }
}

void LMTableOptionsPane::setText(const QString &key, const QString &text)
{
    if (m_field.isNull() || m_loading)
        return;
    m_field.set(key, Value(text));
    if (QLineEdit *edit = m_texts.value(key); edit && edit->text() != text)
        edit->setText(text);
}

void LMTableOptionsPane::humanKey(bool checked)
{
    if (m_field.isNull())
        return;
    m_editor->setHumanKey(m_mapIndex, checked);
    m_loading = true;
    m_flags.value(DesignKey::HumanKey)->setChecked(m_field.value(DesignKey::HumanKey).toBool());
    m_loading = false;
}

// ---- Options

Value LMTableOptionsPane::optionsArray(bool create)
{
    Value options = m_field.value(DesignKey::Options);
    if (!options.isArray() && create) {
        options = Value::array();
        m_field.set(DesignKey::Options, options);
    }
    return options;
}

QStringList LMTableOptionsPane::optionTitles() const
{
    QStringList titles;
    const Value options = m_field.value(DesignKey::Options);
    for (int i = 0; i < options.size(); ++i)
        titles.append(options.at(i).stringValue());
    return titles;
}

void LMTableOptionsPane::optionsAddButton()
{
    if (m_field.isNull())
        return;
    optionsArray(true).append(Value(""));
    m_loading = true;
    auto *item = new QListWidgetItem(QString());
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_options->addItem(item);
    m_options->setCurrentItem(item);
    m_loading = false;
    rebuildDefaultMenu();
    if (m_options->isVisible())
        m_options->editItem(item);
}

void LMTableOptionsPane::selectOption(int index)
{
    m_options->setCurrentRow(index);
}

void LMTableOptionsPane::optionsRemoveButton()
{
    Value options = optionsArray(false);
    const int index = m_options->currentRow();
    if (m_field.isNull() || index < 0 || index >= options.size())
        return;
    options.removeAt(index);
    m_loading = true;
    delete m_options->takeItem(index);
    m_loading = false;
    rebuildDefaultMenu();
}

void LMTableOptionsPane::setOptionTitle(int index, const QString &title)
{
    Value options = optionsArray(false);
    if (index < 0 || index >= options.size())
        return;
    options.replace(index, Value(title));
    if (QListWidgetItem *item = m_options->item(index); item && item->text() != title) {
        m_loading = true;
        item->setText(title);
        m_loading = false;
    }
    rebuildDefaultMenu();
}

void LMTableOptionsPane::rebuildDefaultMenu()
{
    const int oldIndex = m_defaultMenu->currentIndex();
    const QString oldTitle = oldIndex >= 0 ? m_defaultMenu->itemText(oldIndex) : QString();
    const QStringList titles = optionTitles();
    int index = oldIndex >= 0 ? int(titles.indexOf(oldTitle)) : -1;
    if (index < 0 && oldIndex >= 0 && oldIndex < titles.size())
        index = oldIndex;
    m_loading = true;
    m_defaultMenu->clear();
    m_defaultMenu->addItems(titles);
    m_defaultMenu->setCurrentIndex(index);
    m_loading = false;
    // The stored default follows what the menu shows, so it never names an option that is gone.
    m_field.set(DesignKey::Default, Value(index >= 0 ? titles.at(index) : QString("")));
}

QStringList LMTableOptionsPane::defaultMenuTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_defaultMenu->count(); ++i)
        titles.append(m_defaultMenu->itemText(i));
    return titles;
}

int LMTableOptionsPane::defaultMenuIndex() const
{
    return m_defaultMenu->currentIndex();
}

void LMTableOptionsPane::optionsDefaultMenu(int index)
{
    if (m_field.isNull() || index < 0 || index >= m_defaultMenu->count())
        return;
    if (m_defaultMenu->currentIndex() != index) {
        m_loading = true;
        m_defaultMenu->setCurrentIndex(index);
        m_loading = false;
    }
    m_field.set(DesignKey::Default, Value(m_defaultMenu->itemText(index)));
}

// ---- Date

void LMTableOptionsPane::dateDefaultField(double secondsSinceReferenceDate)
{
    if (m_field.isNull())
        return;
    m_field.set(DesignKey::Default, Value(OXDatabase::stringFromDate(Value::date(secondsSinceReferenceDate))));
    const QDateTime shown = ReferenceDate::toDateTime(secondsSinceReferenceDate);
    if (m_dateDefault->dateTime() != shown) {
        m_loading = true;
        m_dateDefault->setDateTime(shown);
        m_loading = false;
    }
}

double LMTableOptionsPane::shownDefaultDate() const
{
    return ReferenceDate::fromDateTime(m_dateDefault->dateTime());
}

// ---- Number

void LMTableOptionsPane::formatterMenu(const QString &title)
{
    if (m_field.isNull())
        return;
    const QString pattern = LMTableDesignRules::formatPatternForMenuTitle(title);
    if (pattern.isNull())
        return;
    m_loading = true;
    m_formatMenu->setCurrentIndex(int(LMTableDesignRules::formatMenuTitles().indexOf(title)));
    m_formatField->setText(pattern);
    m_loading = false;
    m_field.set(DesignKey::Format, Value(pattern));
}

void LMTableOptionsPane::formatterField(const QString &pattern)
{
    if (m_field.isNull())
        return;
    m_field.set(DesignKey::Format, Value(pattern));
    if (m_formatField->text() != pattern) {
        m_loading = true;
        m_formatField->setText(pattern);
        m_loading = false;
    }
}

QString LMTableOptionsPane::formatFieldText() const
{
    return m_formatField->text();
}

QString LMTableOptionsPane::formatMenuTitle() const
{
    return m_formatMenu->currentText();
}

void LMTableOptionsPane::setBound(bool upper, const QString &op, const QString &bound)
{
    if (m_field.isNull())
        return;
    const QString &key = upper ? DesignKey::CheckUpperBound : DesignKey::CheckLowerBound;
    m_field.set(upper ? DesignKey::CheckUpperBoundOperator : DesignKey::CheckLowerBoundOperator, Value(op));
    m_field.set(key, Value(bound));
    m_loading = true;
    QComboBox *box = upper ? m_upperOperator : m_lowerOperator;
    box->setCurrentIndex(std::max(0, int(LMTableDesignRules::boundOperators().indexOf(op))));
    m_texts.value(key)->setText(bound);
    m_loading = false;
}
