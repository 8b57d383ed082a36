// LMRelationshipAudit: the audit walk over "Lines" and its installation into the connection's hook.
#include "LMRelationshipAudit.h"
#include "DesignVocabulary.h"

#include "LMRelationship.h"
#include "MyDocument.h"
#include "OXDatabase.h"

namespace {
// Step 3: a record whose end field is not a "Relationship" field of the end table becomes one-way.
bool reduceToOneWay(Value record, OXDatabase &database)
{
    const QString endField = LMRelationship::endField(record);
    if (!endField.isEmpty() && database.relationshipNamesForTable(LMRelationship::endTable(record)).contains(endField))
        return false;
    const bool changed = record.contains(RelationshipKey::EndField) || !LMRelationship::endsInTable(record);
    record.remove(RelationshipKey::EndField);
    if (!LMRelationship::endsInTable(record))
        record.set(RelationshipKey::EndsInTable, QStringLiteral("1"));
    return changed;
}
} // namespace

namespace LMRelationshipAudit {

bool auditRelationships(OXDatabase &database)
{
    MyDocument *document = database.document();
    if (!document)
        return false;
    Value lines = document->relationships().value(RelationshipKey::Lines);
    if (!lines.isArray())
        return false;
    const QStringList tables = database.tablesList();
    bool changed = false;
    for (int i = 0; i < lines.size(); ++i) {
        Value record = lines.at(i);
        const QString start = LMRelationship::startTable(record), end = LMRelationship::endTable(record);
        if (!record.isDict() || !tables.contains(start) || !tables.contains(end)) {
            lines.removeAt(i);
            document->setChanged(true);
            return true;
        }
        if (!database.relationshipNamesForTable(start).contains(LMRelationship::startField(record))) {
            const QString endField = LMRelationship::endField(record);
            if (endField.isEmpty() || !database.relationshipNamesForTable(end).contains(endField)) {
                lines.removeAt(i);
                document->setChanged(true);
                return true;
            }
            record.set(RelationshipKey::StartTable, end);
            record.set(RelationshipKey::StartField, endField);
            record.set(RelationshipKey::EndTable, start);
            record.remove(RelationshipKey::EndField);
            changed = true;
        }
        changed = reduceToOneWay(record, database) || changed;
    }
    if (changed)
        document->setChanged(true);
    return changed;
}

void install()
{
    OXDatabase::setRelationshipAuditor(&auditRelationships);
}

} // namespace LMRelationshipAudit
