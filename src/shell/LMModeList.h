// LMModeList: the column of modes "Overview" … "Scripts", showing only those the login allows.
#pragma once

#include <QListWidget>

class LMLogin;

class LMModeList : public QListWidget {
    Q_OBJECT
public:
    explicit LMModeList(QWidget *parent = nullptr);

    void reload(const LMLogin *login);
    // The modes shown, top to bottom (rows are numbered after filtering).
    QStringList modes() const;
    int rowOfMode(const QString &mode) const;
    // Selects without running the mode list's own action.
    void selectModeSilently(const QString &mode);

    static const QStringList &allModes();

signals:
    void modeChosen(const QString &mode);
};
