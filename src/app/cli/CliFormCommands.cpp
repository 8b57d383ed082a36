// orvix-cli commands over forms: form (a stored form as JSON), add-form, generate-form.
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "FDFormGenerator.h"
#include "FDFormJson.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
int runForm(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    const Value form = doc->formNamed(args[1]);
    if (!form.isDict())
        return cli.fail(QStringLiteral("no form named \"%1\"").arg(args[1]));
    cli.out() << QString::fromUtf8(QJsonDocument(FDFormJson::toJson(form).toObject()).toJson(QJsonDocument::Indented));
    cli.out().flush();
    return 0;
}

int runAddForm(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    QJsonObject json;
    if (!cli.readJsonObject(args[1], QStringLiteral("a JSON form"), &json))
        return 1;
    QString error;
    const std::optional<Value> form = FDFormJson::fromJson(json, &error);
    if (!form)
        return cli.fail(QStringLiteral("\"%1\" is not a form: %2").arg(args[1], error));
    // The name sheet offers only the document's tables, and "None".
    const QString table = form->value(DesignKey::ContentTable).toString();
    if (!table.isEmpty() && table != QLatin1String("None") && !doc->database()->tablesList().contains(table))
        return cli.refuse(Alert::make(QStringLiteral("Invalid Form"),
                                      QStringLiteral("The form's content table is not in this document.")));
    const QString name = form->value(DesignKey::Name).toString();
    if (!FDFormGenerator::addForm(doc.get(), *form))
        return cli.fail(name.isEmpty() ? QStringLiteral("the form has no \"Name\"")
                                       : QStringLiteral("\"%1\" is already taken").arg(name),
                        3);
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runGenerateForm(CliContext &cli, const QStringList &args)
{
    QStringList positional;
    QString name;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--name")) {
            if (i + 1 >= args.size())
                return cli.fail(QStringLiteral("--name needs a form name"), 2);
            name = args[++i];
        } else {
            positional << args[i];
        }
    }
    if (positional.size() == 3 && name.isEmpty())
        name = positional.takeLast();
    if (positional.size() != 2)
        return cli.fail(QStringLiteral("'generate-form' takes PACKAGE TABLE [NAME] (see orvix-cli --help)"), 2);
    auto doc = cli.openPackage(positional[0]);
    if (!doc)
        return 1;
    const QString table = positional[1];
    if (!doc->database()->tablesList().contains(table))
        return cli.fail(QStringLiteral("no table named \"%1\"").arg(table));
    if (name.isEmpty())
        name = table;
    if (!FDFormGenerator::generateFormWithWindow(doc.get(), table, name))
        return cli.fail(QStringLiteral("a form named \"%1\" already exists").arg(name), 3);
    return cli.savePackage(*doc, positional[0]) ? 0 : 1;
}

const CliRegistration registration({
    {"form", "PACKAGE NAME",
     "print a stored form as JSON (frames and integers in their stored texts), as add-form reads it", 2, 2, runForm},
    {"add-form", "PACKAGE DESIGN.json", "add a form from its JSON; refused when the name is empty or taken", 2, 2,
     runAddForm},
    {"generate-form", "PACKAGE TABLE [NAME | --name NAME]",
     "generate a form with one control per field of TABLE, named NAME (the table's name when none is given);\n"
     "refused when a form of that name exists",
     2, 4, runGenerateForm},
});
} // namespace
