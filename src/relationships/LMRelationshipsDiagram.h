// LMRelationshipsDiagram: the model behind the relationships diagram: boxes, lines, selection, drawing and
// the options pane's edits, with the one-field-one-relationship rule enforced.
#pragma once

#include "LMRelationshipsBox.h"
#include "LMRelationshipsLine.h"
#include "Value.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

class OXDatabase;

class LMRelationshipsDiagram : public QObject {
    Q_OBJECT
public:
    // Loads the relationships dictionary: boxes and lines naming a table or field that no longer exists are
    // dropped. Nothing is written back until cleanUpAndArchive.
    LMRelationshipsDiagram(OXDatabase *database, const Value &relationships, QObject *parent = nullptr);

    // Follows a table rename into the boxes and lines (the document renamed its own records already).
    void renameTable(const QString &oldName, const QString &newName);
    // Reloads the boxes' field lists from the designs (tables and fields may have changed).
    void refresh();
    // {"Boxes": archived boxes, "Lines": archived lines}, a new dictionary.
    Value cleanUpAndArchive() const;

    const QList<LMRelationshipsBox> &boxesRef() const { return m_boxes; }
    const QList<LMRelationshipsLine> &linesRef() const { return m_lines; }
    int selectedLineIndex() const { return m_selected; }
    int boxIndex(const QString &table) const;

    // Whether a new line keeps every "Relationship" field in one relationship at most.
    bool checkLine(const LMRelationshipsLine &line) const;
    // Adds a line of type 0 when checkLine accepts it.
    bool addLine(const QString &startTable, const QString &startField, const QString &endTable,
                 const QString &endField);

    // The table chooser: every table with an on/off switch.
    QStringList chooserTables() const;
    bool chooserValue(int row) const { return m_chooser.value(row, false); }
    void setChooserValue(int row, bool on);
    // Adds a box for every table switched on (OK) or for every table (All), each 20 points below and right
    // of the previous one; a table that already has a box is not added twice. Cancel just resets the switches.
    void editOKButton();
    void editAllButton();
    void editCancelButton();
    void addBox(const QString &table);

    // Mouse: a press on a field row starts drawing a line, elsewhere on a box raises it and starts moving it,
    // on a line selects it, on nothing clears the selection.
    void mouseDown(const QPointF &point);
    void mouseDragged(const QPointF &point);
    void mouseUp(const QPointF &point);
    // Delete and Backspace remove the selected line; the rows' link lists stay as they are.
    bool keyUp(int key);
    // While drawing: the start point and the current point of the rubber band.
    bool isDrawingLine() const { return m_drag == Drag::Line; }
    QPointF dragStart() const { return m_dragStart; }
    QPointF dragPoint() const { return m_dragPoint; }

    // Geometry of a line's two ends; false when one of its tables has no box.
    bool lineEnds(const LMRelationshipsLine &line, QPointF *start, QPointF *end) const;
    // The line under a point (within a few points), or -1.
    int lineAt(const QPointF &point) const;

    // Options pane on the selected line.
    bool selectRelationship(int index);
    // Tables for the pop-ups and the fields they offer.
    QStringList tablesList() const;
    QStringList relationshipFields(const QString &table) const;
    // A table without "Relationship" fields, or a change that would break the one-field rule, keeps the
    // previous choice and answers false.
    bool startFieldAction(const QString &table, const QString &field = QString());
    bool endFieldAction(const QString &table, const QString &field = QString());
    // Type segments: two-way 0 one-to-one, 1 one-to-many, 2 many-to-one (swaps the ends, type 1), 3 many;
    // one-way 0 and 1.
    bool x_to_y(int segment);
    // Off: one-way. On: two-way with the end table's first free "Relationship" field; false when none is free.
    bool inverse(bool on);
    // The segment images the options pane shows for the selected line.
    QStringList segmentImages() const;
    int selectedSegment() const;

signals:
    void changed();

private:
    enum class Drag { None, Box, Line };
    void markChanged();
    QList<LMRelationshipsBox> loadBoxes(const Value &records) const;
    void loadLines(const Value &records);
    LMRelationshipsBox makeBox(const QString &table, const QPointF &origin) const;
    Value archivedLines(int except = -1) const;
    int boxAt(const QPointF &point) const;
    void reindex(LMRelationshipsLine &line) const;
    bool acceptsChange(int index, const LMRelationshipsLine &changed) const;

    OXDatabase *m_database;
    QList<LMRelationshipsBox> m_boxes; // drawing order, last on top
    QList<LMRelationshipsLine> m_lines;
    int m_selected = -1;
    QList<bool> m_chooser;

    Drag m_drag = Drag::None;
    int m_dragBox = -1;
    int m_dragField = -1;
    QPointF m_dragStart;
    QPointF m_dragPoint;
};
