// LMRecordCommands: the model work of a record grid's Add, Delete, Insert and Uninsert: new rows, deleted rows,
// and records linked to or unlinked from a subtable's parent row. No widget: the grid asks the questions,
// shows the outcome and reloads.
#pragma once

#include "Alert.h"

#include <QString>
#include <optional>

class LMSubtableLinks;
class MyDocument;
class OXDatabase;

class LMRecordCommands {
public:
    // None of these is owned; `links` is the grid's own and is kept current by every command.
    LMRecordCommands(OXDatabase *database, MyDocument *document, LMSubtableLinks &links)
        : m_database(database), m_document(document), m_links(links)
    {
    }

    struct Added {
        enum class Outcome {
            Added,   // the row exists (and, in a subtable, is linked to the parent row)
            Failed,  // the INSERT failed: `alert` says so, nothing was linked
            Refused, // the parent row took no more links: the new row was deleted again
        };
        Outcome outcome = Outcome::Failed;
        QString id; // the new row's id (Added)
        std::optional<Alert> alert;
    };
    // Inserts an empty row into `table`; in a subtable it is linked to the parent row, which needs the parent
    // grid to be there (`parentPresent`).
    Added addRecord(const QString &table, bool parentPresent);
    // Deletes a record of a top-level grid.
    void deleteRecord(const QString &table, const QString &id);
    // Deletes a subtable's record from the database, and its link from the parent row first so the parent
    // never lists a record that no longer exists.
    void deleteLinkedRecord(const QString &table, const QString &id, bool parentPresent);
    // Takes a record out of the subtable (and the parent row's links) without deleting it.
    void unlinkRecord(const QString &id, bool parentPresent);
    // Links an existing record chosen in the insert sheet; false when the parent row takes no more.
    bool linkExistingRecord(const QString &id, bool parentPresent);

    // The sheet of a link the parent row refused.
    static Alert tooManyRecords();

private:
    void markChanged();

    OXDatabase *m_database = nullptr;
    MyDocument *m_document = nullptr;
    LMSubtableLinks &m_links;
};
