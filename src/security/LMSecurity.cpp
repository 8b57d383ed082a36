// LMSecurity: the confirmation texts of the three levels and the sheet that records the chosen one.
#include "LMSecurity.h"

#include "Alert.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

int LMSecurity::levelNumber(const QString &name)
{
    return int(levelNames().indexOf(name)) + 1;
}

QString LMSecurity::confirmationText(const QString &name)
{
    if (name == QLatin1String("High"))
        return QStringLiteral("This setting permits only one admin user. All other admins will be converted to "
                              "developer accounts leaving this account as the sole admin.\n\nAre you sure you want "
                              "to continue?");
    if (name == QLatin1String("Unsecured"))
        return QStringLiteral("This setting will remove all protection from the database. Enabling it will make it "
                              "easy for intruders to to read/write data, even locking admins out. It is NOT "
                              "RECOMMENDED.\n\nAre you sure you want to continue?");
    if (name == QLatin1String("Low"))
        return QStringLiteral("This setting permits multiple admin users. However it is not as secure as the high "
                              "setting and can be broken more easily. \n\nAre you sure you want to continue?");
    return QString();
}

bool LMSecurity::confirmLevel(MyDocument *document, const QString &level, QWidget *window)
{
    const int number = levelNumber(level);
    if (number == 0 || !document)
        return false;
    Alert alert = Alert::make(QStringLiteral("Security Level: %1").arg(level), confirmationText(level),
                              {QStringLiteral("OK"), QStringLiteral("Cancel")});
    alert.style = Alert::Style::Warning;
    if (Ui::instance().runAlert(alert, window) != 0)
        return false;
    document->setSecurityLevel(number);
    document->setChanged(true);
    return true;
}

void LMSecurity::openForCurrent(MyDocument *document, QWidget *window)
{
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Security"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Security level of this database:")));
    auto *levels = new QComboBox;
    levels->addItems(levelNames());
    if (document->levelSet())
        levels->setCurrentIndex(document->securityLevel() - 1);
    layout->addWidget(levels);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (confirmLevel(document, levels->currentText(), &dialog))
            dialog.accept();
    });
    dialog.exec();
}
