// LMRelationshipManager: link lists read by SELECT, written by UPDATE, linked with the type limits.
#include "LMRelationshipManager.h"
#include "DesignVocabulary.h"

#include "LMRelationship.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

LMRelationshipManager::LMRelationshipManager(OXDatabase *database, const Value &relationship)
    : m_database(database), m_relationship(relationship)
{
}

int LMRelationshipManager::relationshipType() const
{
    return LMRelationship::relationshipType(m_relationship);
}

bool LMRelationshipManager::hasInverse() const
{
    return LMRelationship::hasInverse(m_relationship);
}

QString LMRelationshipManager::tableOfSide(bool isChild) const
{
    return isChild ? LMRelationship::endTable(m_relationship) : LMRelationship::startTable(m_relationship);
}

QString LMRelationshipManager::fieldOfSide(bool isChild) const
{
    if (!isChild)
        return LMRelationship::startField(m_relationship);
    // A one-way record keeps no reverse links, whatever an "End Field" left behind says.
    return hasInverse() ? LMRelationship::endField(m_relationship) : QString();
}

std::optional<QString> LMRelationshipManager::rawList(const QString &table, const QString &field,
                                                      const QString &id) const
{
    if (!m_database || table.isEmpty() || field.isEmpty())
        return std::nullopt;
    const std::shared_ptr<QLiteCursor> cursor = m_database->executeQuery(
        QStringLiteral("SELECT * FROM %1 WHERE %1.`id` = '%2'")
            .arg(QLiteDatabase::quoteIdentifier(table), QLiteDatabase::prepareStringForQuery(id)));
    if (!cursor || cursor->rowCount() == 0)
        return std::nullopt;
    const QString text = cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + field);
    if (DesignVocabulary::isNullLike(text))
        return std::nullopt;
    return text;
}

bool LMRelationshipManager::writeList(const QString &table, const QString &field, const QString &list,
                                      const QString &id)
{
    if (!m_database || table.isEmpty() || field.isEmpty())
        return false;
    m_database->performQuery(QStringLiteral("UPDATE %1 SET %2 = '%3' WHERE `id` = '%4'")
                                 .arg(QLiteDatabase::quoteIdentifier(table), QLiteDatabase::quoteIdentifier(field),
                                      QLiteDatabase::prepareStringForQuery(list),
                                      QLiteDatabase::prepareStringForQuery(id)));
    return m_database->lastErrorID() == QLSuccess;
}

std::optional<QString> LMRelationshipManager::rawRowIndexesOfRowAtParentIndex(const QString &parentId) const
{
    return rawList(tableOfSide(false), fieldOfSide(false), parentId);
}

std::optional<QString> LMRelationshipManager::rawRowIndexesOfRowAtChildIndex(const QString &childId) const
{
    return rawList(tableOfSide(true), fieldOfSide(true), childId);
}

QStringList LMRelationshipManager::rowIndexesOfRowAtParentIndex(const QString &parentId) const
{
    return LMRelationship::splitLinkList(rawRowIndexesOfRowAtParentIndex(parentId));
}

QStringList LMRelationshipManager::rowIndexesOfRowAtChildIndex(const QString &childId) const
{
    return LMRelationship::splitLinkList(rawRowIndexesOfRowAtChildIndex(childId));
}

bool LMRelationshipManager::setRowIndexesToRowAtParentIndex(const QString &list, const QString &parentId)
{
    return writeList(tableOfSide(false), fieldOfSide(false), list, parentId);
}

bool LMRelationshipManager::setRowIndexesToRowAtChildIndex(const QString &list, const QString &childId)
{
    return writeList(tableOfSide(true), fieldOfSide(true), list, childId);
}

bool LMRelationshipManager::addRowIndexToRowAtParentIndex(const QString &childId, const QString &parentId)
{
    return addRowIndex(childId, parentId, false);
}

bool LMRelationshipManager::addRowIndexToRowAtChildIndex(const QString &parentId, const QString &childId)
{
    return addRowIndex(parentId, childId, true);
}

bool LMRelationshipManager::addRowIndex(const QString &index, const QString &row, bool isChild)
{
    if (!m_database)
        return false;
    const std::optional<QString> current = rawList(tableOfSide(isChild), fieldOfSide(isChild), row);
    // The start row of the pair and the end row of the pair, whichever of `row` and `index` they are.
    const QString startRow = isChild ? index : row;
    const QString endRow = isChild ? row : index;
    const int type = relationshipType();
    if (type == 0 || type == 1) {
        const bool startLinked = rawRowIndexesOfRowAtParentIndex(startRow).has_value();
        const bool endLinked = rawRowIndexesOfRowAtChildIndex(endRow).has_value();
        if (startLinked || (type == 0 && endLinked))
            return false;
    }

    if (!m_database->beginAtomicWrites())
        return false;
    // The end side of a one-way record has no list of its own: only the start row's list changes.
    const bool writesRow = !fieldOfSide(isChild).isEmpty();
    if (writesRow && !writeList(tableOfSide(isChild), fieldOfSide(isChild),
                                current ? *current + QLatin1Char(',') + index : index, row)) {
        m_database->rollbackAtomicWrites();
        return false;
    }
    if (hasInverse() || isChild) {
        const std::optional<QString> other = rawList(tableOfSide(!isChild), fieldOfSide(!isChild), index);
        if (!writeList(tableOfSide(!isChild), fieldOfSide(!isChild), other ? *other + QLatin1Char(',') + row : row,
                       index)) {
            m_database->rollbackAtomicWrites();
            return false;
        }
    }
    return m_database->commitAtomicWrites();
}

bool LMRelationshipManager::removeRowIndexFromRowAtParentIndex(const QString &childId, const QString &parentId)
{
    return removeRowIndex(childId, parentId, false);
}

bool LMRelationshipManager::removeRowIndexToRowAtChildIndex(const QString &parentId, const QString &childId)
{
    return removeRowIndex(parentId, childId, true);
}

namespace {
// The list without any occurrence of `id`; "(null)" when there was no list at all.
QString listWithout(const std::optional<QString> &list, const QString &id)
{
    if (!list)
        return QStringLiteral("(null)");
    QStringList ids = list->split(QLatin1Char(','));
    ids.removeAll(id);
    return ids.join(QLatin1Char(','));
}
} // namespace

bool LMRelationshipManager::removeRowIndex(const QString &index, const QString &row, bool isChild)
{
    if (!m_database)
        return false;
    if (!m_database->beginAtomicWrites())
        return false;
    const QString table = tableOfSide(isChild), field = fieldOfSide(isChild);
    if (!field.isEmpty() && !writeList(table, field, listWithout(rawList(table, field, row), index), row)) {
        m_database->rollbackAtomicWrites();
        return false;
    }
    if (hasInverse() || isChild) {
        const QString otherTable = tableOfSide(!isChild), otherField = fieldOfSide(!isChild);
        if (!writeList(otherTable, otherField, listWithout(rawList(otherTable, otherField, index), row), index)) {
            m_database->rollbackAtomicWrites();
            return false;
        }
    }
    return m_database->commitAtomicWrites();
}
