// LMReportViews: the reports library's views for the window's registry.
#pragma once

class LMViewRegistry;

void registerReportViews(LMViewRegistry &registry);
