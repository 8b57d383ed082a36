// LMSubtableLinks: a subtable's id list and the links of its records to the parent row.
#include "LMSubtableLinks.h"

#include "DesignVocabulary.h"
#include "LMRelationshipManager.h"
#include "QLiteDatabase.h"

#include <QStringList>

namespace {
QString quotedId(const QString &id)
{
    return QStringLiteral("'%1'").arg(id);
}
} // namespace

LMSubtableLinks::LMSubtableLinks(OXDatabase *database, const Value &relationship, const QString &parentRowid,
                                 bool isBackwards, const QString &commaIndexes)
    : m_database(database), m_relationship(relationship), m_parentRowid(parentRowid), m_isBackwards(isBackwards)
{
    if (relationship.isNull() || DesignVocabulary::isNullLike(commaIndexes))
        return;
    QStringList quoted;
    for (const QString &id : commaIndexes.split(QLatin1Char(',')))
        if (!id.trimmed().isEmpty())
            quoted << quotedId(QLiteDatabase::escapeQuotesFromString(id.trimmed()));
    m_idList = quoted.join(QLatin1Char(','));
}

bool LMSubtableLinks::isEmpty() const
{
    return m_idList.isEmpty() || m_idList == QLatin1String("'<null>'") || m_idList == QLatin1String("'(null)'") ||
           m_idList == QLatin1String("''");
}

void LMSubtableLinks::append(const QString &id)
{
    if (isEmpty())
        m_idList = quotedId(id);
    else
        m_idList += QStringLiteral(",'%1'").arg(id);
}

bool LMSubtableLinks::remove(const QString &id)
{
    QStringList elements = m_idList.split(QLatin1Char(','));
    const bool removed = elements.removeAll(quotedId(id)) > 0;
    m_idList = elements.join(QLatin1Char(','));
    return removed;
}

bool LMSubtableLinks::linkInParent(OXDatabase *database, const Value &relationship, const QString &parentRowid,
                                   const QString &id, bool backwards)
{
    LMRelationshipManager manager(database, relationship);
    return backwards ? manager.addRowIndexToRowAtChildIndex(id, parentRowid)
                     : manager.addRowIndexToRowAtParentIndex(id, parentRowid);
}

bool LMSubtableLinks::unlinkInParent(OXDatabase *database, const Value &relationship, const QString &parentRowid,
                                     const QString &id, bool backwards)
{
    LMRelationshipManager manager(database, relationship);
    return backwards ? manager.removeRowIndexToRowAtChildIndex(id, parentRowid)
                     : manager.removeRowIndexFromRowAtParentIndex(id, parentRowid);
}

bool LMSubtableLinks::parentIsFull() const
{
    LMRelationshipManager manager(m_database, m_relationship);
    // The parent row is an end row when the subtable was opened from the end side.
    const std::optional<QString> existing = m_isBackwards ? manager.rawRowIndexesOfRowAtChildIndex(m_parentRowid)
                                                          : manager.rawRowIndexesOfRowAtParentIndex(m_parentRowid);
    return manager.relationshipType() == 0 && existing.has_value();
}
