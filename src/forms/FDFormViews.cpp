// FDFormViews: the forms library's registrations.
#include "FDFormViews.h"

#include "FDFormGenerator.h"
#include "LMTableDesignFormQuestion.h"

namespace FDFormViews {
void installFormGenerator()
{
    LMTableDesignFormQuestion::setFormGenerator(&FDFormGenerator::generateFormForTable);
}
} // namespace FDFormViews
