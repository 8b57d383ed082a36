// GridFixture: documents with tables and rows for the record grid tests, and a few grid-driving helpers.
#pragma once

#include "Value.h"

#include <QList>
#include <QString>
#include <initializer_list>
#include <memory>
#include <utility>

class MyDocument;
class LMTableEditView;
class QWidget;

namespace GridFixture {
using Entries = std::initializer_list<std::pair<QString, Value>>;

// A field as the design editor adds it, then `extra` on top.
Value field(const QString &name, const QString &type, Entries extra = {});
// A table design of the "id" field followed by `fields`.
Value table(const QString &name, const QList<Value> &fields);

// A new document holding the SQLite tables and designs of `designs`; null with `error` set on failure.
std::unique_ptr<MyDocument> newDocument(const QList<Value> &designs, QString *error = nullptr);
// Inserts one empty row and returns its id ("" on failure).
QString insertRow(MyDocument &document, const QString &table);
// Writes stored text straight into a cell.
void setCell(MyDocument &document, const QString &table, const QString &column, const QString &id, const QString &text);
// The stored text of one cell; a null string when there is no such row.
QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id);
int rowCount(MyDocument &document, const QString &table);
// Every statement that changed rows so far (sqlite3_total_changes).
int totalChanges(MyDocument &document);
} // namespace GridFixture

char *toString(const Value &value);
