// LMRelationshipsDiagram: boxes are found by table name, so raising a box never disturbs the lines.
#include "LMRelationshipsDiagram.h"
#include "DesignVocabulary.h"

#include "LMRelationship.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QLineF>
#include <QtMath>

namespace {
constexpr double kCascade = 20;
constexpr double kLineTolerance = 4;

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    const double t = lengthSquared > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / lengthSquared, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

int typeOf(const Value &record)
{
    const int type = LMRelationship::relationshipType(record);
    return (type >= 0 && type <= 2) ? type : -1;
}
} // namespace

LMRelationshipsDiagram::LMRelationshipsDiagram(OXDatabase *database, const Value &relationships, QObject *parent)
    : QObject(parent), m_database(database)
{
    m_boxes = loadBoxes(relationships.value(RelationshipKey::Boxes));
    loadLines(relationships.value(RelationshipKey::Lines));
    m_chooser = QList<bool>(chooserTables().size(), false);
}

LMRelationshipsBox LMRelationshipsDiagram::makeBox(const QString &table, const QPointF &origin) const
{
    LMRelationshipsBox box;
    box.name = table;
    box.origin = origin;
    box.fields = relationshipFields(table);
    for (const QString &field : box.fields)
        box.datatypes.append(m_database ? m_database->typeForTable(table, field) : QString());
    return box;
}

QList<LMRelationshipsBox> LMRelationshipsDiagram::loadBoxes(const Value &records) const
{
    QList<LMRelationshipsBox> boxes;
    const QStringList tables = tablesList();
    for (const Value &record : records.toList()) {
        const QString name = record.value(QStringLiteral("Name")).toString();
        if (!tables.contains(name))
            continue;
        boxes.append(makeBox(
            name, QPointF(record.value(QStringLiteral("x")).toDouble(), record.value(QStringLiteral("y")).toDouble())));
    }
    return boxes;
}

void LMRelationshipsDiagram::loadLines(const Value &records)
{
    const QStringList tables = tablesList();
    for (const Value &record : records.toList()) {
        LMRelationshipsLine line;
        line.startTable = LMRelationship::startTable(record);
        line.startField = LMRelationship::startField(record);
        line.endTable = LMRelationship::endTable(record);
        if (!tables.contains(line.startTable) || !tables.contains(line.endTable) ||
            !relationshipFields(line.startTable).contains(line.startField))
            continue;
        line.relationshipType = typeOf(record);
        if (!LMRelationship::endsInTable(record)) {
            line.endField = LMRelationship::endField(record);
            if (!relationshipFields(line.endTable).contains(line.endField))
                continue;
        }
        reindex(line);
        m_lines.append(line);
    }
}

void LMRelationshipsDiagram::reindex(LMRelationshipsLine &line) const
{
    line.startFieldIndex = int(relationshipFields(line.startTable).indexOf(line.startField));
    line.endFieldIndex = line.endField.isEmpty() ? -1 : int(relationshipFields(line.endTable).indexOf(line.endField));
    if (line.endFieldIndex < 0)
        line.endField.clear();
}

void LMRelationshipsDiagram::renameTable(const QString &oldName, const QString &newName)
{
    for (LMRelationshipsBox &box : m_boxes) {
        if (box.name == oldName)
            box.name = newName;
    }
    for (LMRelationshipsLine &line : m_lines) {
        if (line.startTable == oldName)
            line.startTable = newName;
        if (line.endTable == oldName)
            line.endTable = newName;
    }
}

void LMRelationshipsDiagram::refresh()
{
    const QStringList tables = tablesList();
    QList<LMRelationshipsBox> boxes;
    for (const LMRelationshipsBox &box : std::as_const(m_boxes)) {
        if (tables.contains(box.name))
            boxes.append(makeBox(box.name, box.origin));
    }
    m_boxes = boxes;
    // Lines whose tables or start field went away go too; a lost end field leaves the line one-way.
    QList<LMRelationshipsLine> lines;
    for (LMRelationshipsLine line : std::as_const(m_lines)) {
        if (!tables.contains(line.startTable) || !tables.contains(line.endTable) ||
            !relationshipFields(line.startTable).contains(line.startField))
            continue;
        reindex(line);
        lines.append(line);
    }
    if (lines.size() != m_lines.size())
        m_selected = -1;
    m_lines = lines;
    m_chooser = QList<bool>(tables.size(), false);
}

Value LMRelationshipsDiagram::cleanUpAndArchive() const
{
    Value boxes = Value::array();
    for (const LMRelationshipsBox &box : m_boxes)
        boxes.append(box.archived());
    return Value::dict({{RelationshipKey::Boxes, boxes}, {RelationshipKey::Lines, archivedLines()}});
}

Value LMRelationshipsDiagram::archivedLines(int except) const
{
    Value lines = Value::array();
    for (int i = 0; i < m_lines.size(); ++i) {
        if (i != except)
            lines.append(m_lines.at(i).archived());
    }
    return lines;
}

int LMRelationshipsDiagram::boxIndex(const QString &table) const
{
    for (int i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes.at(i).name == table)
            return i;
    }
    return -1;
}

QStringList LMRelationshipsDiagram::tablesList() const
{
    return m_database ? m_database->tablesList() : QStringList();
}

QStringList LMRelationshipsDiagram::relationshipFields(const QString &table) const
{
    return m_database ? m_database->relationshipNamesForTable(table) : QStringList();
}

void LMRelationshipsDiagram::markChanged()
{
    if (m_database && m_database->document())
        m_database->document()->setChanged(true);
    emit changed();
}

bool LMRelationshipsDiagram::checkLine(const LMRelationshipsLine &line) const
{
    return LMRelationship::isValidNewRecord(line.archived(), archivedLines());
}

bool LMRelationshipsDiagram::addLine(const QString &startTable, const QString &startField, const QString &endTable,
                                     const QString &endField)
{
    LMRelationshipsLine line;
    line.startTable = startTable;
    line.startField = startField;
    line.endTable = endTable;
    line.endField = endField;
    reindex(line);
    if (line.startFieldIndex < 0 || !tablesList().contains(endTable) || !checkLine(line))
        return false;
    m_lines.append(line);
    markChanged();
    return true;
}

// ---- Table chooser

QStringList LMRelationshipsDiagram::chooserTables() const
{
    return tablesList();
}

void LMRelationshipsDiagram::setChooserValue(int row, bool on)
{
    if (row >= 0 && row < m_chooser.size())
        m_chooser[row] = on;
}

void LMRelationshipsDiagram::addBox(const QString &table)
{
    if (boxIndex(table) >= 0 || !tablesList().contains(table))
        return;
    const QPointF origin =
        m_boxes.isEmpty() ? QPointF(kCascade, kCascade) : m_boxes.last().origin + QPointF(kCascade, kCascade);
    m_boxes.append(makeBox(table, origin));
    markChanged();
}

void LMRelationshipsDiagram::editOKButton()
{
    const QStringList tables = chooserTables();
    for (int i = 0; i < tables.size(); ++i) {
        if (chooserValue(i))
            addBox(tables.at(i));
    }
    editCancelButton();
}

void LMRelationshipsDiagram::editAllButton()
{
    for (const QString &table : chooserTables())
        addBox(table);
    editCancelButton();
}

void LMRelationshipsDiagram::editCancelButton()
{
    m_chooser = QList<bool>(chooserTables().size(), false);
}

// ---- Mouse and keys

int LMRelationshipsDiagram::boxAt(const QPointF &point) const
{
    for (int i = int(m_boxes.size()) - 1; i >= 0; --i) {
        if (m_boxes.at(i).rect().contains(point))
            return i;
    }
    return -1;
}

bool LMRelationshipsDiagram::lineEnds(const LMRelationshipsLine &line, QPointF *start, QPointF *end) const
{
    const int s = boxIndex(line.startTable);
    const int e = boxIndex(line.endTable);
    if (s < 0 || e < 0)
        return false;
    const LMRelationshipsBox &a = m_boxes.at(s);
    const LMRelationshipsBox &b = m_boxes.at(e);
    const QRectF startRow = line.startFieldIndex >= 0 ? a.rowRect(line.startFieldIndex) : a.titleRect();
    const QRectF endRow = line.endsInTable() ? b.titleRect() : b.rowRect(line.endFieldIndex);
    const bool rightwards = b.rect().center().x() >= a.rect().center().x();
    *start = QPointF(rightwards ? startRow.right() : startRow.left(), startRow.center().y());
    *end = QPointF(rightwards ? endRow.left() : endRow.right(), endRow.center().y());
    if (s == e)
        *end = QPointF(endRow.right(), endRow.center().y());
    return true;
}

int LMRelationshipsDiagram::lineAt(const QPointF &point) const
{
    for (int i = int(m_lines.size()) - 1; i >= 0; --i) {
        QPointF a, b;
        if (lineEnds(m_lines.at(i), &a, &b) && distanceToSegment(point, a, b) <= kLineTolerance)
            return i;
    }
    return -1;
}

void LMRelationshipsDiagram::mouseDown(const QPointF &point)
{
    m_drag = Drag::None;
    m_dragStart = m_dragPoint = point;
    const int hit = boxAt(point);
    if (hit >= 0) {
        const LMRelationshipsBox box = m_boxes.takeAt(hit);
        m_boxes.append(box);
        m_dragBox = int(m_boxes.size()) - 1;
        m_dragField = box.fieldIndexAt(point);
        m_drag = m_dragField >= 0 ? Drag::Line : Drag::Box;
        emit changed();
        return;
    }
    selectRelationship(lineAt(point));
}

void LMRelationshipsDiagram::mouseDragged(const QPointF &point)
{
    if (m_drag == Drag::Box && m_dragBox >= 0 && m_dragBox < m_boxes.size()) {
        m_boxes[m_dragBox].origin += point - m_dragPoint;
        m_dragPoint = point;
        markChanged();
        return;
    }
    m_dragPoint = point;
    if (m_drag == Drag::Line)
        emit changed();
}

void LMRelationshipsDiagram::mouseUp(const QPointF &point)
{
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag != Drag::Line || m_dragBox < 0 || m_dragBox >= m_boxes.size()) {
        emit changed();
        return;
    }
    const LMRelationshipsBox start = m_boxes.at(m_dragBox);
    const int target = boxAt(point);
    if (target < 0 || target == m_dragBox) {
        emit changed();
        return;
    }
    const LMRelationshipsBox &end = m_boxes.at(target);
    const int endField = end.fieldIndexAt(point);
    if (endField >= 0)
        addLine(start.name, start.fields.value(m_dragField), end.name, end.fields.at(endField));
    else if (end.titleContains(point))
        addLine(start.name, start.fields.value(m_dragField), end.name, QString());
    emit changed();
}

bool LMRelationshipsDiagram::keyUp(int key)
{
    if ((key != Qt::Key_Delete && key != Qt::Key_Backspace) || m_selected < 0 || m_selected >= m_lines.size())
        return false;
    m_lines.removeAt(m_selected);
    m_selected = -1;
    markChanged();
    return true;
}

// ---- Options pane

bool LMRelationshipsDiagram::selectRelationship(int index)
{
    m_selected = (index >= 0 && index < m_lines.size()) ? index : -1;
    emit changed();
    return m_selected >= 0;
}

bool LMRelationshipsDiagram::acceptsChange(int index, const LMRelationshipsLine &changedLine) const
{
    return LMRelationship::isValidNewRecord(changedLine.archived(), archivedLines(index));
}

bool LMRelationshipsDiagram::startFieldAction(const QString &table, const QString &field)
{
    if (m_selected < 0)
        return false;
    const QStringList fields = relationshipFields(table);
    if (fields.isEmpty() || (!field.isEmpty() && !fields.contains(field)))
        return false;
    LMRelationshipsLine line = m_lines.at(m_selected);
    line.startTable = table;
    line.startField = field.isEmpty() ? fields.first() : field;
    reindex(line);
    if (!acceptsChange(m_selected, line))
        return false;
    m_lines[m_selected] = line;
    markChanged();
    return true;
}

bool LMRelationshipsDiagram::endFieldAction(const QString &table, const QString &field)
{
    if (m_selected < 0)
        return false;
    LMRelationshipsLine line = m_lines.at(m_selected);
    const QStringList fields = relationshipFields(table);
    if (line.endsInTable()) {
        // A one-way line needs only the table.
        if (!tablesList().contains(table))
            return false;
        line.endTable = table;
    } else {
        if (fields.isEmpty() || (!field.isEmpty() && !fields.contains(field)))
            return false;
        line.endTable = table;
        line.endField = field.isEmpty() ? fields.first() : field;
    }
    reindex(line);
    if (!acceptsChange(m_selected, line))
        return false;
    m_lines[m_selected] = line;
    markChanged();
    return true;
}

bool LMRelationshipsDiagram::x_to_y(int segment)
{
    if (m_selected < 0)
        return false;
    LMRelationshipsLine &line = m_lines[m_selected];
    if (line.endsInTable()) {
        if (segment != 0 && segment != 1)
            return false;
        line.relationshipType = segment;
    } else if (segment == 2) {
        std::swap(line.startTable, line.endTable);
        std::swap(line.startField, line.endField);
        std::swap(line.startFieldIndex, line.endFieldIndex);
        line.relationshipType = 1;
    } else if (segment >= 0 && segment <= 3) {
        line.relationshipType = segment == 3 ? 2 : segment;
    } else {
        return false;
    }
    markChanged();
    return true;
}

bool LMRelationshipsDiagram::inverse(bool on)
{
    if (m_selected < 0 || !m_database)
        return false;
    LMRelationshipsLine &line = m_lines[m_selected];
    if (!on) {
        line.endField.clear();
        line.endFieldIndex = -1;
        markChanged();
        return true;
    }
    if (!line.endsInTable())
        return true;
    Value record = line.archived();
    if (!LMRelationship::setEndsInTable(record, false, *m_database, archivedLines(m_selected)))
        return false;
    line.endField = LMRelationship::endField(record);
    reindex(line);
    markChanged();
    return !line.endsInTable();
}

QStringList LMRelationshipsDiagram::segmentImages() const
{
    if (m_selected >= 0 && m_lines.at(m_selected).endsInTable())
        return {QStringLiteral("RelXY_NoneToOne"), QStringLiteral("RelXY_NoneToMany")};
    return {QStringLiteral("RelXY_OneToOne"), QStringLiteral("RelXY_OneToMany"), QStringLiteral("RelXY_ManyToOne"),
            QStringLiteral("RelXY_ManyToMany")};
}

int LMRelationshipsDiagram::selectedSegment() const
{
    if (m_selected < 0)
        return -1;
    const LMRelationshipsLine &line = m_lines.at(m_selected);
    if (line.relationshipType < 0)
        return -1;
    if (line.endsInTable())
        return qMin(line.relationshipType, 1);
    return line.relationshipType == 2 ? 3 : line.relationshipType;
}
