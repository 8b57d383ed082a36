// LMRelationshipsLine: one relationship on the diagram, from a start field to an end field or end table.
#pragma once

#include "Value.h"

#include <QString>

struct LMRelationshipsLine {
    QString startTable;
    QString startField;
    int startFieldIndex = -1;
    QString endTable;
    QString endField;         // empty for a one-way line
    int endFieldIndex = -1;   // -1: the line ends in the table
    int relationshipType = 0; // 0, 1, 2, or -1 for any other stored value

    bool endsInTable() const { return endFieldIndex < 0 || endField.isEmpty(); }
    // The relationship record in the diagram's key order, "Relationship Type" and "Ends In Table" as texts.
    Value archived() const;
};
