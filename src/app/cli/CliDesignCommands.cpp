// orvix-cli commands over the stored designs: objects, design, add-query, add-report, add-script.
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "ValueJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
void printJson(CliContext &cli, const QJsonValue &json)
{
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    cli.out() << QString::fromUtf8(document.toJson(QJsonDocument::Indented));
    cli.out().flush();
}

int runObjects(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    QJsonObject designs;
    for (const ItemKind kind : ItemKinds::all())
        designs.insert(ItemKinds::mode(kind), ValueJson::toJson(doc->collection(kind)));
    designs.insert(RelationshipKey::Relationships, ValueJson::toJson(doc->relationships()));
    printJson(cli, designs);
    return 0;
}

int runDesign(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    const Value design = doc->tableNamed(args[1]);
    if (design.isNull())
        return cli.fail(QStringLiteral("no table named \"%1\"").arg(args[1]));
    printJson(cli, ValueJson::toJson(design));
    return 0;
}

// What an item of a kind must satisfy before it is added; an alert when it does not.
using ItemCheck = std::function<std::optional<Alert>(const MyDocument &, const Value &)>;

// Adds a design read from JSON to one of the document's collections, with the window's name rule: a name that
// is empty or already taken (exactly, case-sensitively) beeps and adds nothing.
int addItem(CliContext &cli, const QStringList &args, Value (MyDocument::*collection)() const, const ItemCheck &check)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    QJsonObject json;
    if (!cli.readJsonObject(args[1], QStringLiteral("a JSON design"), &json))
        return 1;
    QString error;
    const std::optional<Value> read = ValueJson::fromJson(json, &error);
    if (!read)
        return cli.fail(QStringLiteral("\"%1\" is not a design: %2").arg(args[1], error));
    const Value item = *read;
    const QString name = item.value(DesignKey::Name).toString();
    Value items = ((*doc).*collection)();
    if (name.isEmpty() || !MyDocument::itemNamed(items, name).isNull()) {
        Ui::instance().beep();
        return cli.fail(name.isEmpty() ? QStringLiteral("the design has no \"Name\"")
                                       : QStringLiteral("\"%1\" is already taken").arg(name),
                        3);
    }
    if (check)
        if (const auto alert = check(*doc, item))
            return cli.refuse(*alert);
    items.append(item);
    doc->setChanged(true);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

// A design that names a table must name one the document has ("None" and no table are allowed where given).
ItemCheck tableNamedBy(const QString &key, bool noneAllowed, const Alert &alert)
{
    return [key, noneAllowed, alert](const MyDocument &doc, const Value &item) -> std::optional<Alert> {
        const QString table = item.value(key).toString();
        if (noneAllowed && (table.isEmpty() || table == QLatin1String("None")))
            return std::nullopt;
        if (doc.database()->tablesList().contains(table))
            return std::nullopt;
        return alert;
    };
}

int runAddQuery(CliContext &cli, const QStringList &args)
{
    return addItem(cli, args, &MyDocument::queries,
                   tableNamedBy(DesignKey::TableName, false,
                                Alert::make(QStringLiteral("Invalid Query"),
                                            QStringLiteral("This does not have a valid content table and cannot be "
                                                           "opened."))));
}

int runAddReport(CliContext &cli, const QStringList &args)
{
    return addItem(cli, args, &MyDocument::reports,
                   tableNamedBy(DesignKey::ContentTable, true,
                                Alert::make(QStringLiteral("Invalid Report"),
                                            QStringLiteral("The report's content table is not in this document."))));
}

int runAddScript(CliContext &cli, const QStringList &args)
{
    return addItem(cli, args, &MyDocument::scripts, [](const MyDocument &, const Value &item) -> std::optional<Alert> {
        if (item.value(QStringLiteral("Code String")).isString())
            return std::nullopt;
        return Alert::make(QStringLiteral("Invalid Script"), QStringLiteral("The script has no \"Code String\"."));
    });
}

const CliRegistration registration({
    {"objects", "PACKAGE", "print the designs (tables, queries, forms, reports, scripts, relationships) as JSON", 1, 1,
     runObjects},
    {"design", "PACKAGE TABLE", "print one table's design as JSON, as add-table reads it", 2, 2, runDesign},
    {"add-query", "PACKAGE DESIGN.json", "add a saved query {\"Name\": ..., \"Table Name\": ..., ...}", 2, 2,
     runAddQuery},
    {"add-report", "PACKAGE DESIGN.json", "add a report {\"Name\": ..., \"Content Table\": ..., ...}", 2, 2,
     runAddReport},
    {"add-script", "PACKAGE DESIGN.json", "add a script {\"Name\": ..., \"Code String\": ...}", 2, 2, runAddScript},
});
} // namespace
