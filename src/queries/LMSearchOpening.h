// LMSearchOpening: how the quick search and the item finder open an item they found.
#pragma once

#include <QString>

class LMDocumentNavigator;

namespace LMSearchOpening {
// Tables open their records, queries their grid, forms their data entry, reports and scripts their editor.
// `type` is the kind's mode ("Tables", …); false for an unknown kind or when nothing opened.
bool switchToObject(LMDocumentNavigator &navigator, const QString &name, const QString &type);
} // namespace LMSearchOpening
