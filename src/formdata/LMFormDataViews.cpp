// LMFormDataViews: the factory of form data entry tabs.
#include "LMFormDataViews.h"
#include "DesignVocabulary.h"

#include "FDFormGenerator.h"
#include "FDKeys.h"
#include "LMFormDataContainer.h"
#include "LMFormDataController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

namespace {
// The first form of a table, made when the table has none.
QString formForTable(MyDocument *document, const QString &table)
{
    const Value forms = document->forms();
    for (int i = 0; i < forms.size(); ++i)
        if (forms.at(i).value(FDKeys::kContentTable).toString() == table)
            return forms.at(i).value(FDKeys::kName).toString();
    return FDFormGenerator::generateFormForTable(document, table);
}
} // namespace

std::unique_ptr<LMViewController> makeFormDataController(const LMViewContext &context, const LMViewRequest &request)
{
    if (!context.document)
        return nullptr;
    QString form = request.name;
    Value query;
    if (!request.queryName.isEmpty()) {
        query = context.document->queryNamed(request.queryName);
        const QString table = request.table.isEmpty() ? query.value(DesignKey::TableName).toString() : request.table;
        if (!context.document->formNamed(form).isDict() && !table.isEmpty())
            form = formForTable(context.document, table);
    }
    if (!context.document->formNamed(form).isDict())
        return nullptr;
    auto container = std::make_unique<LMFormDataContainer>(context.document, form, context.window, context.navigator);
    if (query.isDict())
        container->mainEditor()->openQuery(query);
    return container;
}

void registerFormDataViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::FormData, &makeFormDataController);
}
