// LMFormViews: one factory and one generator; the window knows nothing else of forms.
#include "LMFormViews.h"

#include "FDFormGenerator.h"
#include "LMFormDesignController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

std::unique_ptr<LMViewController> makeFormDesignController(const LMViewContext &context, const LMViewRequest &request)
{
    if (!context.document)
        return nullptr;
    return std::make_unique<LMFormDesignController>(request.name, context.document, context.window, context.navigator);
}

void registerFormViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::FormDesign, &makeFormDesignController);
    registry.setFormGenerator([](MyDocument &document, const QString &table) {
        return FDFormGenerator::generateFormForTable(&document, table);
    });
}
