// OXTemplateInserter: adds a template's designs to a document after checking that no name collides.
#pragma once

#include "Value.h"

class MyDocument;

namespace OXTemplateInserter {
enum class Result { Inserted, NameCollision, NoDocument };
// Shows "Name collision" (through the Ui seam) and changes nothing when a name is taken; otherwise creates the
// template's tables (empty), appends every design and the relationships, refreshes the views and audits.
Result insert(MyDocument &document, const Value &templateDictionary);
// Whether any design name of the template is already used in the document.
bool collides(MyDocument &document, const Value &templateDictionary);
} // namespace OXTemplateInserter
