// LMDataPanelTokenField: shows list items joined with ", " and reads typed text back into items.
#include "LMDataPanelTokenField.h"

LMDataPanelTokenField::LMDataPanelTokenField(QWidget *parent) : QLineEdit(parent)
{
    setPlaceholderText(tr("Items, separated by commas"));
}

QStringList LMDataPanelTokenField::tokensFromText(const QString &text)
{
    QStringList tokens;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QString token = part.trimmed();
        if (!token.isEmpty())
            tokens.append(token);
    }
    return tokens;
}

Value LMDataPanelTokenField::objectValue() const
{
    if (text() == m_shownText)
        return m_shown;
    Value array = Value::array();
    for (const QString &token : tokensFromText(text()))
        array.append(Value(token));
    return array;
}

void LMDataPanelTokenField::setObjectValue(const Value &value)
{
    QStringList items;
    if (value.isArray()) {
        for (const Value &item : value.toList())
            items.append(item.isString() ? item.toString() : item.description());
    }
    m_shown = value.isArray() ? value : Value();
    m_shownText = items.join(QStringLiteral(", "));
    setText(m_shownText);
}
