// LMReportViews: the "Reports" view kind is the paged report view.
#include "LMReportViews.h"

#include "LMReportView.h"
#include "LMViewRegistry.h"

void registerReportViews(LMViewRegistry &registry)
{
    registry.setFactory(ViewKind::Reports, makeReportView);
}
