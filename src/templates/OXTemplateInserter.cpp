// OXTemplateInserter: the name check, then tables, designs and relationships appended in order.
#include "OXTemplateInserter.h"
#include "DesignVocabulary.h"

#include "LMRelationshipAudit.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXTemplateFile.h"
#include "Ui.h"

using namespace OXTemplateFile;

namespace OXTemplateInserter {

bool collides(MyDocument &document, const Value &templateDictionary)
{
    const QStringList tables = document.database() ? document.database()->tablesList() : QStringList();
    const Value newTables = arrayOf(templateDictionary, Tables);
    for (int i = 0; i < newTables.size(); ++i)
        if (tables.contains(newTables.at(i).value(DesignKey::Name).toString()))
            return true;
    const QPair<QString, Value> kinds[] = {{Queries, document.queries()},
                                           {Forms, document.forms()},
                                           {Reports, document.reports()},
                                           {Scripts, document.scripts()}};
    for (const auto &[key, collection] : kinds) {
        const Value items = arrayOf(templateDictionary, key);
        for (int i = 0; i < items.size(); ++i)
            if (MyDocument::indexOfItemNamed(collection, items.at(i).value(DesignKey::Name).toString()) >= 0)
                return true;
    }
    return false;
}

Result insert(MyDocument &document, const Value &templateDictionary)
{
    if (!document.database())
        return Result::NoDocument;
    if (collides(document, templateDictionary)) {
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Name collision"),
                        QStringLiteral("The names of one or more objects in the template are the same as the names "
                                       "of objects in the current document. Orvix could not add the template to the "
                                       "document.")),
            document.window());
        return Result::NameCollision;
    }
    // Copies: the template value may be inserted again elsewhere and must not share containers.
    const Value tables = arrayOf(templateDictionary, Tables).deepCopy();
    Value documentTables = document.tables();
    for (int i = 0; i < tables.size(); ++i) {
        document.database()->createTableFromDesign(tables.at(i));
        documentTables.append(tables.at(i));
    }
    for (const QString &key : {Queries, Forms, Reports, Scripts}) {
        const Value items = arrayOf(templateDictionary, key).deepCopy();
        Value target = key == Queries   ? document.queries()
                       : key == Forms   ? document.forms()
                       : key == Reports ? document.reports()
                                        : document.scripts();
        for (int i = 0; i < items.size(); ++i)
            target.append(items.at(i));
    }
    const Value relationships = templateDictionary.value(Relationships);
    if (relationships.isDict() && !relationships.isEmpty()) {
        Value mine = document.relationships();
        for (const QString &key : {RelationshipKey::Boxes, RelationshipKey::Lines}) {
            const Value added = relationships.value(key);
            if (!added.isArray())
                continue;
            Value list = mine.value(key);
            if (!list.isArray()) {
                list = Value::array();
                mine.set(key, list);
            }
            const Value copies = added.deepCopy();
            for (int i = 0; i < copies.size(); ++i)
                list.append(copies.at(i));
        }
    }
    document.setChanged(true);
    if (document.viewHost()) {
        document.viewHost()->reloadSourceList();
        document.viewHost()->refreshAllViews();
    }
    LMRelationshipAudit::auditRelationships(*document.database());
    return Result::Inserted;
}

} // namespace OXTemplateInserter
