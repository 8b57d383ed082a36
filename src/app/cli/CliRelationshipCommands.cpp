// orvix-cli commands over relationships: relate.
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "LMRelationship.h"
#include "MyDocument.h"
#include "OXDatabase.h"

namespace {
int runRelate(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    OXDatabase *db = doc->database();
    const QString startTable = args[1], startField = args[2], endTable = args[3];
    const QString endField = args[4] == QLatin1String("-") ? QString() : args[4];
    bool typeOk = false;
    const int type = args[5].toInt(&typeOk);
    if (!typeOk || type < 0 || type > 2)
        return cli.fail(QStringLiteral("the relationship type must be 0, 1 or 2, not \"%1\"").arg(args[5]), 2);
    for (const QString &table : {startTable, endTable})
        if (!db->tablesList().contains(table))
            return cli.fail(QStringLiteral("no table named \"%1\"").arg(table));
    if (!db->relationshipNamesForTable(startTable).contains(startField))
        return cli.fail(QStringLiteral("\"%1\" is not a Relationship field of \"%2\"").arg(startField, startTable));
    if (!endField.isEmpty() && !db->relationshipNamesForTable(endTable).contains(endField))
        return cli.fail(QStringLiteral("\"%1\" is not a Relationship field of \"%2\"").arg(endField, endTable));

    Value relationships = doc->relationships();
    Value lines = relationships.value(RelationshipKey::Lines);
    if (!lines.isArray()) {
        lines = Value::array();
        relationships.set(RelationshipKey::Lines, lines);
    }
    const Value record = LMRelationship::makeRecord(startTable, startField, endTable, endField, type);
    if (!LMRelationship::isValidNewRecord(record, lines))
        return cli.fail(QStringLiteral("a field of this relationship already takes part in another one"));
    lines.append(record);
    doc->setChanged(true);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

const CliRegistration registration({
    {"relate", "PACKAGE START_TABLE START_FIELD END_TABLE END_FIELD TYPE",
     "add a relationship between two \"Relationship\" fields; END_FIELD \"-\"\nmakes it one-way; TYPE 0 one to "
     "one, 1 one to many, 2 many to many",
     6, 6, runRelate},
});
} // namespace
