// Alert: the texts and buttons of one alert or sheet, as a value that validation hands back.
#pragma once

#include <QString>
#include <QStringList>

struct Alert {
    enum class Style { Warning, Informational, Critical };

    QString messageText;
    QString informativeText;
    QStringList buttons{QStringLiteral("OK")};
    Style style = Style::Warning;
    // When set, the alert shows a check box with this title ("Do not ask again"); see Ui::runSuppressibleAlert.
    QString suppressionText;

    static Alert make(const QString &message, const QString &informative,
                      const QStringList &buttons = {QStringLiteral("OK")})
    {
        Alert a;
        a.messageText = message;
        a.informativeText = informative;
        a.buttons = buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
        return a;
    }

    bool operator==(const Alert &o) const
    {
        return messageText == o.messageText && informativeText == o.informativeText && buttons == o.buttons;
    }
};
