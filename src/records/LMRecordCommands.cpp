// LMRecordCommands: adding, deleting, linking and unlinking the records of a grid.
#include "LMRecordCommands.h"

#include "DesignVocabulary.h"
#include "LMSubtableLinks.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

Alert LMRecordCommands::tooManyRecords()
{
    return Alert::make(QStringLiteral("Too Many Records"),
                       QStringLiteral("You can't add any more records to this subtable."));
}

void LMRecordCommands::markChanged()
{
    if (m_document)
        m_document->setChanged(true);
}

LMRecordCommands::Added LMRecordCommands::addRecord(const QString &table, bool parentPresent)
{
    markChanged();
    Added added;
    m_database->performQuery(QStringLiteral("INSERT INTO %1 (`%2`) VALUES (NULL)")
                                 .arg(QLiteDatabase::quoteIdentifier(table), DesignKey::IdFieldName));
    // A failed INSERT leaves the last inserted id of some earlier row: nothing may be linked or selected.
    if (m_database->lastErrorID() != QLSuccess) {
        added.alert = Alert::make(
            QStringLiteral("An Error Occurred"),
            QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(m_database->lastError()));
        return added;
    }
    if (!m_links.isSubtable()) {
        added.outcome = Added::Outcome::Added;
        return added;
    }
    const std::shared_ptr<QLiteCursor> cursor =
        m_database->executeQuery(QStringLiteral("SELECT `id` FROM %1 WHERE id='%2'")
                                     .arg(QLiteDatabase::quoteIdentifier(table))
                                     .arg(m_database->lastRowInserted()));
    QString newId = cursor && cursor->rowCount() > 0
                        ? cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + DesignKey::IdFieldName)
                        : QString();
    if (DesignVocabulary::isNullLike(newId))
        newId.clear();
    if (!parentPresent || newId.isEmpty() ||
        !LMSubtableLinks::linkInParent(m_database, m_links.relationship(), m_links.parentRowid(), newId,
                                       m_links.isBackwards())) {
        // The refused row was never linked; leaving it would put an empty record into the other table.
        if (!newId.isEmpty())
            m_database->deleteFromTable(table, newId);
        added.outcome = Added::Outcome::Refused;
        added.alert = tooManyRecords();
        return added;
    }
    m_links.append(newId);
    added.outcome = Added::Outcome::Added;
    added.id = newId;
    return added;
}

void LMRecordCommands::deleteRecord(const QString &table, const QString &id)
{
    markChanged();
    m_database->deleteFromTable(table, id);
}

void LMRecordCommands::deleteLinkedRecord(const QString &table, const QString &id, bool parentPresent)
{
    markChanged();
    if (parentPresent)
        LMSubtableLinks::unlinkInParent(m_database, m_links.relationship(), m_links.parentRowid(), id,
                                        m_links.isBackwards());
    m_database->deleteFromTable(table, id);
    m_links.remove(id);
}

void LMRecordCommands::unlinkRecord(const QString &id, bool parentPresent)
{
    m_links.remove(id);
    if (parentPresent)
        LMSubtableLinks::unlinkInParent(m_database, m_links.relationship(), m_links.parentRowid(), id,
                                        m_links.isBackwards());
    markChanged();
}

bool LMRecordCommands::linkExistingRecord(const QString &id, bool parentPresent)
{
    if (m_links.parentIsFull())
        return false;
    if (!parentPresent || !LMSubtableLinks::linkInParent(m_database, m_links.relationship(), m_links.parentRowid(), id,
                                                         m_links.isBackwards()))
        return false;
    m_links.append(id);
    return true;
}
