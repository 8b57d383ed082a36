// LMBackup: the window that edits the current document's backup definitions (a thin face over its controller).
#pragma once

#include "LMBackupController.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QToolBar;

class LMBackup : public QWidget {
    Q_OBJECT
public:
    // initWithDocument:backup: — keeps both and shows the window "Backup".
    LMBackup(MyDocument *document, Value backups, QWidget *parent = nullptr);

    LMBackupController &controller() { return m_controller; }

private:
    void reloadList();
    void showSelected();
    QCheckBox *flag(const QString &title, const QString &key);

    LMBackupController m_controller;
    QToolBar *m_toolbar;
    QListWidget *m_list;
    QLineEdit *m_name, *m_username, *m_password, *m_server, *m_directory, *m_emailText;
    QLabel *m_description;
    QComboBox *m_type, *m_everyUnits, *m_retryUnits;
    QRadioButton *m_maintainAll, *m_keepLatest, *m_deleteAfter;
    QSpinBox *m_deleteAfterDays, *m_everyNumber, *m_retryNumber;
    QDateTimeEdit *m_everyTime;
    QList<QPair<QCheckBox *, QString>> m_flags;
    bool m_loading = false;
};
