// LMQueryOpening: resolving a saved query to its table and form.
#include "LMQueryOpening.h"
#include "DesignVocabulary.h"

#include "LMQueryDefinition.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Ui.h"

namespace LMQueryOpening {
namespace {
SwitchHandler &handler()
{
    static SwitchHandler installed;
    return installed;
}
} // namespace

std::optional<Target> targetForQuery(MyDocument &document, const QString &name, bool inForm, QWidget *window)
{
    const Value query = document.queryNamed(name);
    const QString table = query.value(LMQueryDefinition::kTableName).toString();
    OXDatabase *db = document.database();
    if (query.isNull() || table.isEmpty() || !db || !db->tablesList().contains(table)) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("Invalid Query"),
                                            QStringLiteral("This does not have a valid content table and cannot be "
                                                           "opened.")),
                                window ? window : document.window());
        return std::nullopt;
    }
    Target target{query, table, QString()};
    if (inForm) {
        const Value forms = document.forms();
        for (int i = 0; i < forms.size() && target.form.isEmpty(); ++i)
            if (forms.at(i).value(DesignKey::ContentTable).toString() == table)
                target.form = forms.at(i).value(LMQueryDefinition::kName).toString();
    }
    return target;
}

void setSwitchHandler(SwitchHandler h)
{
    handler() = std::move(h);
}

bool switchToQueryView(MyDocument *document, const QString &name, bool inForm)
{
    if (!handler())
        return false;
    return handler()(document, name, inForm);
}
} // namespace LMQueryOpening
