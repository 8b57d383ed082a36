// orvix-cli commands of form data entry: form-records (the record list of a form) and form-set (a value
// written through a form's control).
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "FDControlArchiver.h"
#include "FDKeys.h"
#include "FEBinding.h"
#include "FEScriptHooks.h"
#include "FETypedText.h"
#include "LMFormRecords.h"
#include "LMGridFilter.h"
#include "LMQueryFilterView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"

using namespace FDKeys;

namespace {
// A saved query's conditions over the form, as an open filter.
class SavedQueryFilter : public LMGridFilter {
public:
    explicit SavedQueryFilter(const Value &query) : m_where(LMQueryFilterView::whereSQLForQueryDictionary(query)) {}
    bool isOpen() const override { return true; }
    QString whereQuery() const override
    {
        return m_where.isEmpty() ? QString() : QStringLiteral(" WHERE %1 ").arg(m_where);
    }
    QString whereClause() const override { return m_where; }

private:
    QString m_where;
};

int runFormRecords(CliContext &cli, const QStringList &args)
{
    QStringList positional;
    QString queryName;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--query")) {
            if (i + 1 >= args.size())
                return cli.fail(QStringLiteral("--query needs a query name"), 2);
            queryName = args[++i];
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return cli.usage(2);
    auto doc = cli.openPackage(positional[0]);
    if (!doc)
        return 1;
    if (!doc->formNamed(positional[1]).isDict())
        return cli.fail(QStringLiteral("no form named \"%1\"").arg(positional[1]));
    LMFormRecords records(doc.get(), positional[1]);
    if (!records.hasContentTable())
        return cli.fail(QStringLiteral("the form \"%1\" has no valid content table").arg(positional[1]));
    std::unique_ptr<SavedQueryFilter> filter;
    if (!queryName.isEmpty()) {
        const Value query = doc->queryNamed(queryName);
        if (!query.isDict())
            return cli.fail(QStringLiteral("no query named \"%1\"").arg(queryName));
        if (query.value(DesignKey::TableName).toString() != records.contentTable())
            return cli.fail(QStringLiteral("the query \"%1\" does not filter the table \"%2\"")
                                .arg(queryName, records.contentTable()));
        filter = std::make_unique<SavedQueryFilter>(query);
        records.setFilter(filter.get());
    }
    records.reloadData();
    for (const QString &line : records.lines())
        cli.out() << line << '\n';
    cli.out().flush();
    return 0;
}

// The control entry of a form by its name (or its UUID).
Value controlEntry(const Value &form, const QString &name)
{
    const Value entries = form.value(kControls);
    for (int i = 0; i < entries.size(); ++i) {
        const Value info = entries.at(i).value(kInfo);
        if (info.value(kScriptBridgeName).toString() == name || info.value(kUUID).toString() == name)
            return entries.at(i);
    }
    return Value();
}

int runFormSet(CliContext &cli, const QStringList &args)
{
    const QString &formName = args[1], &id = args[2], &controlName = args[3], &text = args[4];
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    const Value form = doc->formNamed(formName);
    if (!form.isDict())
        return cli.fail(QStringLiteral("no form named \"%1\"").arg(formName));
    LMFormRecords records(doc.get(), formName);
    if (!records.hasContentTable())
        return cli.fail(QStringLiteral("the form \"%1\" has no valid content table").arg(formName));
    const Value entry = controlEntry(form, controlName);
    if (!entry.isDict())
        return cli.fail(QStringLiteral("no control named \"%1\" in the form \"%2\"").arg(controlName, formName));
    OXDatabase &db = *doc->database();
    const QString table = records.contentTable();
    const std::shared_ptr<QLiteCursor> cursor = db.executeQuery(
        QStringLiteral("SELECT `id` FROM `%1` WHERE id='%2'").arg(table, QLiteDatabase::prepareStringForQuery(id)));
    if (!cursor || cursor->rowCount() == 0)
        return cli.fail(QStringLiteral("no record %1 in the table \"%2\"").arg(id, table));
    const Value info = entry.value(kInfo);
    const QString field = FEBinding::boundField(db, table, info, kValuePath);
    if (field.isEmpty())
        return cli.fail(QStringLiteral("the control \"%1\" is not bound to a field of \"%2\"").arg(controlName, table));
    const std::optional<Value> control = FDControlArchiver::unarchiveControl(entry.value(kControlData).toData());
    const std::optional<FEControlValue> value =
        FETypedText::valueForText(entry.value(kClass).toString(), control.value_or(Value()), text, db, table, field);
    if (!value) {
        // The control cannot take that text, as a user could not have typed or chosen it.
        cli.ui().beep();
        return 3;
    }
    FEScriptHooks::sendMessageFromControl(doc.get(), formName, info, FEScriptHooks::kWillAction);
    const FEBinding::SaveResult result = FEBinding::save(db, table, id, field, *value);
    if (result.refusal) {
        cli.ui().runAlert(*result.refusal);
        return 3;
    }
    if (result.written)
        doc->setChanged(true);
    FEScriptHooks::sendMessageFromControl(doc.get(), formName, info, FEScriptHooks::kDidAction);
    FEScriptHooks::sendMessageFromControl(doc.get(), formName, info, QString());
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

const CliRegistration registration({
    {"form-records", "PACKAGE FORM [--query NAME]",
     "print the record list of a form as the form shows it, one human-key text a line (with --query, the records "
     "the saved query selects)",
     2, 4, runFormRecords},
    {"form-set", "PACKAGE FORM ID CONTROL TEXT",
     "write TEXT into record ID through the form's control named CONTROL, as typing and leaving it would "
     "(refused values print their alert and exit 3)",
     5, 5, runFormSet},
});
} // namespace
