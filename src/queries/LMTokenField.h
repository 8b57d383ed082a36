// LMTokenField: a one-line field that reads its text as a list of tokens separated by commas.
#pragma once

#include <QLineEdit>
#include <QStringList>

class LMTokenField : public QLineEdit {
    Q_OBJECT
public:
    explicit LMTokenField(QWidget *parent = nullptr);

    // The tokens: the text split at commas, each trimmed, empty ones left out.
    QStringList tokens() const;
    // Shows the tokens joined with ", ".
    void setTokens(const QStringList &tokens);

signals:
    // The user changed the tokens (typing or tidying when editing ends).
    void tokensEdited(const QStringList &tokens);

private:
    void tidy();
};
