// LMRelationshipsBox and LMRelationshipsLine: geometry and archiving of the diagram's parts.
#include "LMRelationshipsBox.h"

#include "LMRelationship.h"
#include "LMRelationshipsLine.h"

int LMRelationshipsBox::fieldIndexAt(const QPointF &point) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (rowRect(i).contains(point))
            return i;
    }
    return -1;
}

Value LMRelationshipsBox::archived() const
{
    return Value::dict({{QStringLiteral("Name"), name},
                        {QStringLiteral("x"), Value(origin.x())},
                        {QStringLiteral("y"), Value(origin.y())}});
}

Value LMRelationshipsLine::archived() const
{
    const int type = (relationshipType >= 0 && relationshipType <= 2) ? relationshipType : -1;
    return LMRelationship::makeRecord(startTable, startField, endTable, endsInTable() ? QString() : endField, type);
}
