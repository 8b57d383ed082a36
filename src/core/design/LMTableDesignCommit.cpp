// LMTableDesignCommit: the change sets of an unedited stored design and of a table not yet created.
#include "LMTableDesignCommit.h"

#include "DesignVocabulary.h"

LMTableDesignCommit LMTableDesignCommit::forDesign(const Value &tableDesign)
{
    LMTableDesignCommit commit;
    commit.tableName = tableDesign.value(DesignKey::Name).toString();
    commit.schema = tableDesign.value(DesignKey::Fields).isArray() ? tableDesign.value(DesignKey::Fields).deepCopy()
                                                                   : Value::array();
    for (int i = 0; i < commit.schema.size(); ++i) {
        const QString name = commit.schema.at(i).value(DesignKey::Name).toString();
        commit.columnMapLeft << name;
        commit.columnMapRight << name;
    }
    return commit;
}

LMTableDesignCommit LMTableDesignCommit::forNewTable(const QString &tableName)
{
    LMTableDesignCommit commit;
    commit.tableName = tableName;
    commit.schema = Value::array({DesignVocabulary::idField()});
    commit.columnMapLeft << QString();
    commit.columnMapRight << QString();
    commit.isNewTable = true;
    return commit;
}
