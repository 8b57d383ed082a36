// LMTokenField: tokenising a comma-separated line.
#include "LMTokenField.h"

LMTokenField::LMTokenField(QWidget *parent) : QLineEdit(parent)
{
    setPlaceholderText(QStringLiteral("item, item, …"));
    connect(this, &QLineEdit::textEdited, this, [this] { emit tokensEdited(tokens()); });
    connect(this, &QLineEdit::editingFinished, this, &LMTokenField::tidy);
}

QStringList LMTokenField::tokens() const
{
    QStringList result;
    for (const QString &part : text().split(QLatin1Char(','))) {
        const QString token = part.trimmed();
        if (!token.isEmpty())
            result.append(token);
    }
    return result;
}

void LMTokenField::setTokens(const QStringList &tokens)
{
    setText(tokens.join(QStringLiteral(", ")));
}

void LMTokenField::tidy()
{
    // Show the tokens as they are stored, so what the user sees is what the filter compares.
    const QString shown = tokens().join(QStringLiteral(", "));
    if (shown != text())
        setText(shown);
}
