// DesignFixture: table designs and new documents holding them, shared by the tests of every layer.
#pragma once

#include "DesignVocabulary.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <initializer_list>
#include <memory>
#include <utility>

class MyDocument;

namespace DesignFixture {
using Entries = std::initializer_list<std::pair<QString, Value>>;

// A field as the design editor adds it (every "always" key with its new value), then `extra` on top.
Value field(const QString &name, const QString &type, Entries extra = {});
// The "id" field every new table starts with.
using DesignVocabulary::idField;
// A table design of the "id" field followed by `fields`.
Value table(const QString &name, const QList<Value> &fields);

// A new document whose database has the SQLite tables of `designs` and whose `tables` holds them.
// Null (with QFAIL-friendly `error`) when the document or a table could not be made.
std::unique_ptr<MyDocument> newDocument(const QList<Value> &designs, QString *error = nullptr);
// A new document whose database has the SQLite table of `design` and whose `tables` holds it.
// Null (with QFAIL-friendly `error`) when the document or the table could not be made.
std::unique_ptr<MyDocument> newDocumentWithTable(const Value &design, QString *error = nullptr);
// Inserts one empty row into `table` and returns its id as text ("" on failure).
QString insertRow(MyDocument &document, const QString &table);
// The stored text of one cell, read back through a SELECT; a null string when there is no such row.
QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id);
} // namespace DesignFixture

// Readable Value output in failed QCOMPARE messages (found by argument-dependent lookup).
char *toString(const Value &value);
