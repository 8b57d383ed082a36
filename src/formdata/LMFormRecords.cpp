// LMFormRecords: the SELECT of a form editor and the lines of its record list.
#include "LMFormRecords.h"

#include "DesignVocabulary.h"
#include "FDKeys.h"
#include "LMGridFilter.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

LMFormRecords::LMFormRecords(MyDocument *document, const QString &formName, bool nested, const QString &commaIndexes)
    : m_document(document), m_database(document ? document->database() : nullptr), m_name(formName),
      m_commaIndexes(commaIndexes), m_nested(nested)
{
    if (m_document)
        m_contentTable = m_document->formNamed(formName).value(FDKeys::kContentTable).toString();
    setHumanKey(QString());
}

bool LMFormRecords::hasContentTable() const
{
    return m_database && !m_contentTable.isEmpty() && m_contentTable != QLatin1String("None") &&
           m_database->tablesList().contains(m_contentTable);
}

QString LMFormRecords::buildAllColumns() const
{
    const QStringList names = m_database ? m_database->allNamesForTable(m_contentTable) : QStringList();
    if (names.isEmpty())
        return QStringLiteral("*");
    QStringList quoted;
    for (const QString &name : names)
        quoted << QStringLiteral("`%1`").arg(name);
    return quoted.join(QStringLiteral(", "));
}

QString LMFormRecords::query() const
{
    if (m_nested)
        return QStringLiteral("SELECT %1 FROM `%2` WHERE `id` IN (%3)")
            .arg(buildNonMediaColumns(), m_contentTable, m_commaIndexes);
    return QStringLiteral("SELECT %1 FROM `%2`").arg(buildNonMediaColumns(), m_contentTable);
}

QString LMFormRecords::standardQuery(bool allColumns) const
{
    QString sql = QStringLiteral("SELECT ") + (allColumns ? buildAllColumns() : buildNonMediaColumns()) +
                  QStringLiteral(" FROM `%1` ").arg(m_contentTable);
    // An open filter without a complete condition restricts nothing (an empty WHERE would be an SQL error).
    const QString where = m_filter && m_filter->isOpen() ? m_filter->whereClause() : QString();
    if (!m_nested) {
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE %1 ").arg(where);
    } else if (where.isEmpty()) {
        sql += QStringLiteral(" WHERE id IN (%1) ").arg(m_commaIndexes);
    } else {
        sql += QStringLiteral(" WHERE (%1) AND (id IN (%2)) ").arg(where, m_commaIndexes);
    }
    return sql;
}

bool LMFormRecords::idListIsEmpty() const
{
    return m_commaIndexes.isEmpty() || m_commaIndexes == QLatin1String("'<null>'") ||
           m_commaIndexes == QLatin1String("'(null)'");
}

void LMFormRecords::appendId(const QString &id)
{
    const QString quoted = QStringLiteral("'%1'").arg(QLiteDatabase::escapeQuotesFromString(id));
    if (idListIsEmpty())
        m_commaIndexes = quoted;
    else
        m_commaIndexes += QLatin1Char(',') + quoted;
}

bool LMFormRecords::removeId(const QString &id)
{
    const QString quoted = QStringLiteral("'%1'").arg(QLiteDatabase::escapeQuotesFromString(id));
    QStringList elements = m_commaIndexes.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const bool removed = elements.removeAll(quoted) > 0;
    m_commaIndexes = elements.join(QLatin1Char(','));
    return removed;
}

bool LMFormRecords::containsId(const QString &id) const
{
    return m_commaIndexes.split(QLatin1Char(',')).contains(QStringLiteral("'%1'").arg(id));
}

void LMFormRecords::setHumanKey(const QString &field)
{
    const QStringList names = m_database ? m_database->allNamesForTable(m_contentTable) : QStringList();
    if (!field.isEmpty() && names.contains(field))
        m_humanKey = field;
    else
        m_humanKey = m_database ? m_database->humanKeyForTable(m_contentTable) : QString();
}

void LMFormRecords::markHumanKey(const QString &field)
{
    setHumanKey(field);
    if (!m_database)
        return;
    Value fields = m_database->tableDesign(m_contentTable).value(DesignKey::Fields);
    bool changed = false;
    for (int i = 0; i < fields.size(); ++i) {
        Value entry = fields.at(i);
        const bool isKey = entry.value(DesignKey::Name).toString() == m_humanKey;
        const bool wasKey = entry.contains(DesignKey::HumanKey) && entry.value(DesignKey::HumanKey).toInt() == 1;
        if (isKey != wasKey) {
            if (isKey)
                entry.set(DesignKey::HumanKey, 1);
            else
                entry.remove(DesignKey::HumanKey);
            changed = true;
        }
    }
    if (changed && m_document)
        m_document->setChanged(true);
}

void LMFormRecords::reloadData()
{
    m_ids.clear();
    m_lines.clear();
    m_newLines.clear();
    if (!hasContentTable())
        return;
    const std::shared_ptr<QLiteCursor> cursor = m_database->executeQuery(standardSelectQuery());
    if (!cursor)
        return;
    const QString idColumn = m_contentTable + QStringLiteral(".id");
    const QString keyColumn = m_contentTable + QLatin1Char('.') + m_humanKey;
    for (quint32 row = 0; row < cursor->rowCount(); ++row) {
        const std::optional<QLiteRow> record = cursor->rowAtIndex(row);
        if (!record)
            continue;
        m_ids << record->stringForColumn(idColumn);
        const QString stored = record->stringForColumn(keyColumn);
        QString line;
        if (!DesignVocabulary::isNullLike(stored) && stored != kNewRecordMarker) {
            const Value native = m_database->dbToNativeForTable(stored, m_contentTable, m_humanKey);
            line = m_database->addFormattingToObject(native, m_contentTable, m_humanKey).text;
        }
        const bool isNew = line.isEmpty() || line == kNewRecordMarker;
        m_lines << (isNew ? kNewRecord : line);
        m_newLines << isNew;
    }
}

QString LMFormRecords::idAt(int index) const
{
    return index >= 0 && index < m_ids.size() ? m_ids.at(index) : QString();
}

bool LMFormRecords::isNewRecordLine(int index) const
{
    return index >= 0 && index < m_newLines.size() && m_newLines.at(index);
}
