// RelationshipFixture: a document with two tables of "Relationship" fields and rows, for relationship tests.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>
#include <memory>

class MyDocument;

namespace RelationshipFixture {
// A field as the design editor adds it.
Value field(const QString &name, const QString &type);
// A new document with "People" (Name, Employer, Mentor) and "Companies" (Name, Staff, Board), the last two
// of each "Relationship" fields, and `rows` empty rows in each table. Null with `error` set on failure.
std::unique_ptr<MyDocument> newDocument(int rows, QString *error);
// A relationship record as the diagram writes it; an empty end field makes it one-way.
Value record(const QString &startTable, const QString &startField, const QString &endTable, const QString &endField,
             const QString &type = QStringLiteral("0"));
// The stored text of one cell ("<null>" for NULL, a null string for no such row).
QString cell(MyDocument &document, const QString &table, const QString &column, const QString &id);
// Every row's stored text of one column, in id order.
QStringList column(MyDocument &document, const QString &table, const QString &column);
} // namespace RelationshipFixture

char *toString(const Value &value);
