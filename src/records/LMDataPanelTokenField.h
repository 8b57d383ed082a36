// LMDataPanelTokenField: the token field of the data panel for "List" fields: one token per comma-separated item.
#pragma once

#include "Value.h"

#include <QLineEdit>
#include <QStringList>

class LMDataPanelTokenField : public QLineEdit {
    Q_OBJECT
public:
    explicit LMDataPanelTokenField(QWidget *parent = nullptr);

    // The tokens as an array of strings (empty array for no tokens).
    Value objectValue() const;
    // An array of strings shows its items; anything else shows no tokens.
    void setObjectValue(const Value &value);

    // The items of typed text: split at commas, trimmed, empty items dropped.
    static QStringList tokensFromText(const QString &text);

private:
    // The items shown last and their text: untouched text answers them unchanged, so merely showing a
    // list never rewrites it (an item may hold a comma that typed text would split).
    Value m_shown;
    QString m_shownText;
};
