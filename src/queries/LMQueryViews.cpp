// LMQueryViews: none of the queries library's views is built yet; their placeholders stay in place.
#include "LMQueryViews.h"

#include "LMViewRegistry.h"

void registerQueryViews(LMViewRegistry &registry)
{
    Q_UNUSED(registry)
}
