// LMBackupController: edits backup definitions in the document's live array and posts manual backups.
#include "LMBackupController.h"

#include "BackupCredentials.h"
#include "LMPackageWrapper.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "Ui.h"

using namespace LMBackupDefinition;

LMBackupController::LMBackupController(MyDocument *document, Value backups, QObject *parent)
    : QObject(parent), m_document(document), m_backups(backups.isArray() ? backups : Value::array())
{
    if (m_document && !backups.isArray())
        m_document->setBackups(m_backups);
    if (m_backups.size() > 0)
        select(0);
}

void LMBackupController::select(int index)
{
    m_selected = (index >= 0 && index < m_backups.size()) ? index : -1;
    updateDescription();
    emit selectionChanged();
}

Value LMBackupController::selected() const
{
    return m_selected < 0 ? Value() : m_backups.at(m_selected);
}

void LMBackupController::addButton()
{
    m_backups.append(newDefinition());
    if (m_document)
        m_document->setChanged(true);
    emit listChanged();
    select(m_backups.size() - 1);
}

void LMBackupController::removeButton()
{
    if (m_selected < 0) {
        Ui::instance().beep();
        return;
    }
    m_backups.removeAt(m_selected);
    if (m_document)
        m_document->setChanged(true);
    emit listChanged();
    select(qMin(m_selected, m_backups.size() - 1));
}

void LMBackupController::store(const QString &key, const Value &value)
{
    Value definition = selected();
    if (!definition.isDict()) {
        Ui::instance().beep();
        return;
    }
    definition.set(key, value);
    if (m_document)
        m_document->setChanged(true);
}

void LMBackupController::backupName(const QString &name)
{
    store(Key::Name, name);
    emit listChanged();
}

void LMBackupController::type(const QString &kind)
{
    store(Key::Type, kind);
    updateDescription();
    emit listChanged();
}

void LMBackupController::username(const QString &text)
{
    store(Key::Username, text);
}

void LMBackupController::password(const QString &text)
{
    store(Key::Password, text);
}

bool LMBackupController::server(const QString &text)
{
    if (text.isEmpty() || !selected().isDict()) {
        Ui::instance().beep();
        return false;
    }
    store(Key::Server, text);
    updateDescription();
    emit listChanged();
    return true;
}

void LMBackupController::directory(const QString &text)
{
    store(Key::Directory, text);
}

void LMBackupController::deleteRuleMaintainAll()
{
    store(Key::DeleteRule, DeleteRule::MaintainAll);
}

void LMBackupController::deleteRuleJustKeepLatest()
{
    store(Key::DeleteRule, DeleteRule::JustKeepLatest);
}

void LMBackupController::deleteRuleDeleteAfter(qint64 days)
{
    store(Key::DeleteRule, DeleteRule::DeleteAfter);
    store(Key::DeleteAfterDays, days);
}

void LMBackupController::setFlag(const QString &key, bool on)
{
    store(key, on);
}

void LMBackupController::setNumber(const QString &key, qint64 number)
{
    store(key, number);
}

void LMBackupController::setUnits(const QString &key, const QString &units)
{
    store(key, units);
}

void LMBackupController::backupAtEveryTime(double secondsSinceReferenceDate)
{
    store(Key::BackupAtEveryTime, Value::date(secondsSinceReferenceDate));
}

void LMBackupController::emailThisAddress_Text(const QString &address)
{
    store(Key::EmailThisAddressText, address);
}

FieldState LMBackupController::fieldState() const
{
    return LMBackupDefinition::fieldState(selected().value(Key::Type).toString());
}

void LMBackupController::updateDescription()
{
    const Value definition = selected();
    const QString line = definition.isDict()
                             ? LMBackupDefinition::descriptionLine(definition.value(Key::Type).toString(),
                                                                   definition.value(Key::Server).toString())
                             : QString();
    if (line == m_description)
        return;
    m_description = line;
    emit descriptionChanged(line);
}

bool LMBackupController::manuallyDoBackup()
{
    const Value definition = selected();
    if (!definition.isDict() || !m_document) {
        Ui::instance().beep();
        return false;
    }
    const QString package = m_document->fileName();
    if (package.isEmpty()) {
        // Only a saved package can be copied: the working copy may be in the middle of an edit.
        Ui::instance().runAlert(Alert::make(QStringLiteral("The document has not been saved yet."),
                                            QStringLiteral("Save the document before backing it up.")),
                                m_document->window());
        return false;
    }
    QString error;
    const Value wrapper = LMPackageWrapper::wrap(package, &error);
    if (wrapper.isNull()) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("The document could not be backed up."), error),
                                m_document->window());
        return false;
    }
    // The password leaves this process only sealed: the session bus is readable by every program of the user.
    Value request = BackupCredentials::sealedDefinition(definition);
    request.set(Key::FileWrapper, wrapper);
    NotificationCenter::distributedCenter().post(BackupNotification, nullptr, request);
    return true;
}
