// LMSecurity: the security level sheet ("Unsecured", "Low", "High") with its confirmation.
#pragma once

#include <QString>
#include <QStringList>

class MyDocument;
class QWidget;

class LMSecurity {
public:
    static QStringList levelNames()
    {
        return {QStringLiteral("Unsecured"), QStringLiteral("Low"), QStringLiteral("High")};
    }
    // 1, 2 or 3; 0 for an unknown name.
    static int levelNumber(const QString &name);
    static QString confirmationText(const QString &name);

    // The first OK: asks the confirmation for `level`; when confirmed, records the level on the document.
    static bool confirmLevel(MyDocument *document, const QString &level, QWidget *window = nullptr);
    // The sheet for the current document: chooses a level, then confirms it.
    static void openForCurrent(MyDocument *document, QWidget *window);
};
