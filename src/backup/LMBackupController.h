// LMBackupController: the behaviour of the backup window: the selected definition, its edits, manual backups.
#pragma once

#include "LMBackupDefinition.h"
#include "Value.h"

#include <QObject>
#include <QPointer>

#include "MyDocument.h"

class LMBackupController : public QObject {
    Q_OBJECT
public:
    // Edits `backups` in place (an absent array is replaced by a new empty one, which the document then keeps).
    LMBackupController(MyDocument *document, Value backups, QObject *parent = nullptr);

    Value backups() const { return m_backups; }
    int selectedIndex() const { return m_selected; }
    void select(int index);
    // The selected definition (shared), or null when none is selected.
    Value selected() const;

    void addButton();
    void removeButton();

    // One action per control, each writing its value into the selected definition.
    void backupName(const QString &name);
    void type(const QString &kind);
    void username(const QString &text);
    void password(const QString &text);
    // An empty server is refused with a beep; answers whether it was stored.
    bool server(const QString &text);
    void directory(const QString &text);
    void deleteRuleMaintainAll();
    void deleteRuleJustKeepLatest();
    void deleteRuleDeleteAfter(qint64 days);
    // The trigger and retry check boxes, periodic and retry fields (keys of LMBackupDefinition::Key).
    void setFlag(const QString &key, bool on);
    void setNumber(const QString &key, qint64 number);
    void setUnits(const QString &key, const QString &units);
    void backupAtEveryTime(double secondsSinceReferenceDate);
    void alertUserWithDialog(bool on) { setFlag(LMBackupDefinition::Key::AlertUserWithDialog, on); }
    void emailThisAddress_(bool on) { setFlag(LMBackupDefinition::Key::EmailThisAddress, on); }
    void emailThisAddress_Text(const QString &address);

    QString descriptionLine() const { return m_description; }
    LMBackupDefinition::FieldState fieldState() const;

    // Hands the selected definition and a wrapper of the document's package to the backup agent.
    // False (with an alert shown) when there is nothing to back up.
    bool manuallyDoBackup();

signals:
    void listChanged();
    void selectionChanged();
    void descriptionChanged(const QString &line);

private:
    void store(const QString &key, const Value &value);
    void updateDescription();

    QPointer<MyDocument> m_document;
    Value m_backups;
    int m_selected = -1;
    QString m_description;
};
