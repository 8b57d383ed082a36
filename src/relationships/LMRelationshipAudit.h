// LMRelationshipAudit: keeps the document's relationship records in step with the table designs.
#pragma once

class OXDatabase;

namespace LMRelationshipAudit {
// One pass over the document's "Lines": removes at most one stale record (then stops), reverses records
// whose start field is gone but whose end field remains, and turns records whose end field is gone one-way.
// True when a record was changed or removed (the document is then marked changed).
bool auditRelationships(OXDatabase &database);
// Makes OXDatabase::auditRelationships run this audit; the application calls it once at start-up.
void install();
} // namespace LMRelationshipAudit
